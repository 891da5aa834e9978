#include "commands/Options.h"

#include <cctype>

namespace yk {

bool hasArchiveExtension(const std::string &name) {
    if (name.size() < 3)
        return false;
    const std::string tail = name.substr(name.size() - 3);
    return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'y' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 'k';
}

std::string archiveFileForAdd(const std::string &archive) {
    return hasArchiveExtension(archive) ? archive : archive + ".yk";
}

} // namespace yk
