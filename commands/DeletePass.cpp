#include "commands/DeletePass.h"

#include "platform/Files.h"

namespace commands {

int deleteRows(const QList<DeleteRow> &rows, const QByteArray &directory, const DeleteHooks &hooks,
               int lastIndex) {
    for (const DeleteRow &row : rows) {
        lastIndex = row.position;
        if (platform::deleteFile(platform::joinPath(directory, row.name))) {
            if (hooks.deleted)
                hooks.deleted();
        } else if (hooks.failed) {
            hooks.failed(row.name);
        }
    }
    return lastIndex;
}

int focusAfterDelete(int focusedRow, int lastIndex) {
    return focusedRow < lastIndex ? lastIndex - 1 : lastIndex;
}

} // namespace commands
