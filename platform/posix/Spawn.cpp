#include "platform/posix/Spawn.h"

#include <sys/stat.h>
#include <unistd.h>

extern char **environ;

namespace platform::posix {

bool isExecutableFile(const QByteArray &path) {
    struct stat st;
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), X_OK) == 0;
}

StartedChild spawnDetached(const QByteArray &program, const QList<QByteArray> &args,
                           const QByteArray &workingDir) {
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e)
        env.append(*e);
    return startChild(program, args, env, workingDir, false, 80, 24, true);
}

} // namespace platform::posix
