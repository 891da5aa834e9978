#pragma once
// Where the program keeps its settings file.
#include <QByteArray>

namespace platform {

// $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config (HOME from the
// password database when unset or empty). No trailing '/', except for "/" itself.
QByteArray configDirectory();

} // namespace platform
