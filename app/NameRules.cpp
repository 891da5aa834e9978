#include "app/NameRules.h"

namespace names {

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
    // Called for every row of a refresh: look at the last four bytes in place, copying nothing.
    const qsizetype size = name.size();
    if (size < 4 || name.at(size - 4) != '.')
        return false;
    char ext[3];
    for (int i = 0; i < 3; ++i) {
        const char c = name.at(size - 3 + i);
        ext[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    const auto is = [&ext](const char *known) {
        return ext[0] == known[0] && ext[1] == known[1] && ext[2] == known[2];
    };
    return is("exe") || is("com") || is("bat") || is("pif");
}

namespace {

// Folds a name made of ASCII and two-byte UTF-8 characters (Latin, Greek, Cyrillic, Hebrew,
// Arabic...) character by character, which gives what QString's folding gives for them without
// its three conversions; every refresh folds each name once. False for anything else: longer
// sequences, invalid bytes, or a character whose folded form needs three bytes.
bool foldTwoByteUtf8(const QByteArray &rawName, QByteArray &key) {
    key.resize(rawName.size()); // folding within this range never lengthens a name
    char *out = key.data();
    const auto *p = reinterpret_cast<const unsigned char *>(rawName.constData());
    const unsigned char *const end = p + rawName.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            *out++ = char(lead >= 'A' && lead <= 'Z' ? lead - 'A' + 'a' : lead);
            ++p;
            continue;
        }
        // 0xC0 and 0xC1 would start overlong forms, which QString turns into replacement marks.
        if (lead < 0xC2 || lead > 0xDF || end - p < 2 || (p[1] & 0xC0) != 0x80)
            return false;
        const char32_t folded = QChar::toCaseFolded(char32_t(((lead & 0x1F) << 6) | (p[1] & 0x3F)));
        if (folded < 0x80) {
            *out++ = char(folded);
        } else if (folded < 0x800) {
            *out++ = char(0xC0 | (folded >> 6));
            *out++ = char(0x80 | (folded & 0x3F));
        } else {
            return false;
        }
        p += 2;
    }
    key.truncate(out - key.constData());
    return true;
}

} // namespace

QByteArray sortKey(const QByteArray &rawName) {
    // Most names are plain ASCII: fold them without leaving bytes, sharing the name's own bytes
    // when nothing changes.
    bool ascii = true;
    for (char c : rawName) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return rawName.toLower();
    QByteArray key;
    if (foldTwoByteUtf8(rawName, key))
        return key;
    return QString::fromUtf8(rawName).toCaseFolded().toUtf8();
}

QString displayName(const QByteArray &rawName) {
    return QString::fromUtf8(rawName);
}

} // namespace names
