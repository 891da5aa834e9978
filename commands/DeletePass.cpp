#include "commands/DeletePass.h"

#include "platform/DirHandle.h"

namespace commands {

void deleteRows(const QList<DeleteRow> &rows, const platform::DirectoryHandle &directory,
                const DeleteHooks &hooks, int &lastIndex) {
    for (const DeleteRow &row : rows) {
        lastIndex = row.position;
        if (directory.removeEntry(row.name)) {
            if (hooks.deleted)
                hooks.deleted();
        } else if (hooks.failed) {
            hooks.failed(row.name);
        }
    }
}

int focusAfterDelete(int focusedRow, int lastIndex) {
    return focusedRow < lastIndex ? lastIndex - 1 : lastIndex;
}

} // namespace commands
