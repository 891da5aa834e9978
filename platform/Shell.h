#pragma once
// Handing a file or an address to the desktop's default program.
#include <QByteArray>

namespace platform {

// Starts the desktop's opener (xdg-open) on target, detached: no wait, no zombie left behind,
// standard streams on /dev/null. The target's bytes are passed as they are.
// Returns false only when the opener could not be started at all.
bool shellOpen(const QByteArray &target);

} // namespace platform
