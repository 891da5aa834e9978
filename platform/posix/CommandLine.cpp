#include "platform/CommandLine.h"

namespace platform {

namespace {
bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

QList<QByteArray> splitCommandLine(const QByteArray &line) {
    QList<QByteArray> args;
    const int n = int(line.size());
    int i = 0;
    for (;;) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n)
            break;
        QByteArray arg;
        bool quoted = false;
        while (i < n && (quoted || !isSeparator(line[i]))) {
            if (line[i] == '\\') {
                int slashes = 0;
                while (i < n && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && line[i] == '"') {
                    arg.append(QByteArray(slashes / 2, '\\'));
                    if (slashes % 2 == 1) {
                        arg.append('"');
                        ++i;
                    }
                    // An even run leaves the quote to act as a quote.
                } else {
                    arg.append(QByteArray(slashes, '\\'));
                }
                continue;
            }
            if (line[i] == '"') {
                // Inside quotes, "" stands for one double quote and the group goes on.
                if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg.append('"');
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg.append(line[i]);
            ++i;
        }
        args.append(arg);
    }
    return args;
}

QByteArray quoteArgument(const QByteArray &arg) {
    // An empty argument must stay one: unquoted, the next word would take its place.
    if (arg.isEmpty())
        return "\"\"";
    if (!arg.contains(' ') && !arg.contains('\t') && !arg.contains('"'))
        return arg;
    QByteArray out;
    out.reserve(arg.size() + 2);
    out.append('"');
    int slashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            // Double the backslashes before it, and one more to escape the quote itself.
            out.append(QByteArray(slashes * 2 + 1, '\\'));
            out.append('"');
        } else {
            out.append(QByteArray(slashes, '\\'));
            out.append(c);
        }
        slashes = 0;
    }
    // Backslashes before the closing quote must not escape it.
    out.append(QByteArray(slashes * 2, '\\'));
    out.append('"');
    return out;
}

} // namespace platform
