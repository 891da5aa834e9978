#pragma once
// Deleting the selected files of the file list, the program's only own work on files.
#include <QByteArray>
#include <QList>
#include <functional>

namespace platform {
class DirectoryHandle;
}

namespace commands {

// A selected row as it stood when the pass began: its position and its exact name.
struct DeleteRow {
    int position;
    QByteArray name;
};

struct DeleteHooks {
    std::function<void()> deleted;                  // after each file removed
    std::function<void(const QByteArray &)> failed; // per file not removed, with its name
};

// Removes each row's file from the directory that was listed, in the given order, never a
// directory and never through a link in the directory's place. The rows are taken before the
// first deletion, so a rebuild of the list while a failure is reported changes nothing in the
// pass. lastIndex is set to each row's position before its file is deleted, so a refresh that
// falls due while a failure is reported already sees it.
void deleteRows(const QList<DeleteRow> &rows, const platform::DirectoryHandle &directory,
                const DeleteHooks &hooks, int &lastIndex);

// Where the file list's focus goes after the rebuild that follows a deletion: one row up
// when the rebuilt list's focus stands above the last visited row, else onto its position.
int focusAfterDelete(int focusedRow, int lastIndex);

} // namespace commands
