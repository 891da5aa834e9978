#pragma once
// The process's working directory, as exact bytes.
#include <QByteArray>

namespace platform {

bool setWorkingDirectory(const QByteArray &dir); // chdir
QByteArray workingDirectory();                   // getcwd, any length; empty on failure

} // namespace platform
