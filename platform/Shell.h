#pragma once
// Handing a file or an address to the desktop's default program.
#include <QByteArray>

namespace platform {

// Starts the desktop's opener (xdg-open) on target, detached: no wait, no zombie left behind,
// standard streams on /dev/null, a session of its own. The target's bytes are passed as they
// are, except that a relative target beginning with '-' is passed as "./target" so that the
// opener cannot take it for an option.
// Returns false only when the opener could not be started at all (not found, not executable,
// out of processes), or when target is empty.
bool shellOpen(const QByteArray &target);

// The program shellOpen starts: a name looked up in PATH or a path. Empty restores xdg-open.
// For tests, and for desktops whose opener has another name.
void setShellOpener(const QByteArray &program);

} // namespace platform
