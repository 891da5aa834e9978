#include "app/PathRules.h"

namespace paths {

QByteArray absoluteClean(const QByteArray &path, const QByteArray &base) {
    const QByteArray full = path.startsWith('/') ? path : base + '/' + path;
    QList<QByteArray> parts;
    for (const QByteArray &part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return '/' + parts.join('/');
}

QByteArray parentOf(const QByteArray &path) {
    const int slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QList<QByteArray> components(const QByteArray &path) {
    QList<QByteArray> rows{QByteArray("/")};
    for (const QByteArray &part : path.split('/'))
        if (!part.isEmpty())
            rows.append(part);
    return rows;
}

QByteArray pathOfRow(const QByteArray &path, int row) {
    const QList<QByteArray> rows = components(path);
    QByteArray result("/");
    for (int i = 1; i <= row && i < rows.size(); ++i) {
        if (i > 1)
            result += '/';
        result += rows.at(i);
    }
    return result;
}

int pathRowIndent(int row) {
    return 4 * row + 2;
}

int subdirectoryIndent(const QByteArray &path) {
    return 4 * int(path.count('/')) + 6;
}

} // namespace paths
