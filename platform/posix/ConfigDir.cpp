#include "platform/ConfigDir.h"

#include "platform/Files.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

QByteArray homeFromPasswd() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buf(size_t(size), '\0');
    passwd pw;
    passwd *found = nullptr;
    while (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == ERANGE &&
           buf.size() < (1u << 20))
        buf.resize(buf.size() * 2);
    return found && found->pw_dir ? QByteArray(found->pw_dir) : QByteArray();
}

} // namespace

QByteArray configDirectory() {
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    // A relative value is invalid and must be ignored.
    if (xdg.startsWith('/'))
        return withoutTrailingSlash(xdg);
    QByteArray home = qgetenv("HOME");
    if (home.isEmpty())
        home = homeFromPasswd();
    home = withoutTrailingSlash(home);
    return (home == "/" ? QByteArray() : home) + "/.config";
}

} // namespace platform
