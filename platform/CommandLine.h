#pragma once
// Command lines in the Windows convention: one text that a started program splits into its
// arguments. Blanks and tabs separate arguments; double quotes group; backslashes are literal
// except before a double quote, where each pair gives one backslash and an odd one escapes it.
// Pure functions on bytes: any byte but NUL may stand in an argument.
#include <QByteArray>
#include <QList>

namespace platform {

// Splits a command line into its arguments ("a\"b" "c d" -> a"b, c d).
QList<QByteArray> splitCommandLine(const QByteArray &line);

// One argument written so that splitCommandLine gives it back unchanged. An argument without
// a blank, a tab or a double quote is returned as it is; an empty one becomes "".
QByteArray quoteArgument(const QByteArray &arg);

} // namespace platform
