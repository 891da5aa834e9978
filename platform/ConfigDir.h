#pragma once
// Where the program keeps its settings file.
#include <QByteArray>

namespace platform {

// $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config (HOME from the
// password database when unset). No trailing '/'.
QByteArray configDirectory();

} // namespace platform
