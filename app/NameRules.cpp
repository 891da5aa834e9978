#include "app/NameRules.h"

namespace names {

QByteArray joinPath(const QByteArray &dir, const QByteArray &name) {
    if (dir.endsWith('/'))
        return dir + name;
    return dir + '/' + name;
}

QByteArray baseName(const QByteArray &path) {
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

QString baseName(const QString &path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

QString extension(const QString &name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString archiveNameProposal(const QString &fileName) {
    int length = std::min<int>(8, fileName.size() - extension(fileName).size());
    // Never cut a character in half.
    if (length > 0 && length < fileName.size() && fileName.at(length - 1).isHighSurrogate())
        --length;
    return fileName.left(length);
}

bool isExecutableName(const QByteArray &name) {
    const int dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArray ext = name.mid(dot).toLower();
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".pif";
}

QByteArray sortKey(const QByteArray &rawName) {
    // Most names are plain ASCII: fold them without leaving bytes.
    bool ascii = true;
    for (char c : rawName) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return rawName.toLower();
    return QString::fromUtf8(rawName).toCaseFolded().toUtf8();
}

QString displayName(const QByteArray &rawName) {
    return QString::fromUtf8(rawName);
}

} // namespace names
