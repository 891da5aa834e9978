#include "commands/Options.h"

namespace yk {

std::string archiveFileForAdd(const std::string &archive) {
    return hasArchiveExtension(archive) ? archive : archive + ArchiveExtension;
}

} // namespace yk
