#include "fs/Names.h"

namespace yk {

namespace {

constexpr unsigned kEscapeBase = 0xF700; // bytes 0x80..0xFF map to U+F780..U+F7FF

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
size_t utf8Length(const std::string &s, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (at(i + k) & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    if (cp >= 0xD800 && cp <= 0xDFFF)
        return 0;
    return len;
}

// Whether the `len`-byte UTF-8 sequence at s[i] is one of U+F780..U+F7FF.
bool isEscapeChar(const std::string &s, size_t i, size_t len) {
    if (len != 3)
        return false;
    const auto b0 = static_cast<unsigned char>(s[i]);
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    return b0 == 0xEF && b1 >= 0x9E && b1 <= 0x9F;
}

void appendUtf8(std::string &out, unsigned cp) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

} // namespace

std::vector<std::string> splitPath(const std::string &path) {
    std::vector<std::string> out;
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        out.push_back(path.substr(start, slash == std::string::npos ? slash : slash - start));
        if (slash == std::string::npos)
            return out;
        start = slash + 1;
    }
}

std::string storedName(const std::string &path, bool noPaths, bool *changed) {
    bool dropped = !path.empty() && path[0] == '/';
    std::string out;
    for (const std::string &part : splitPath(path)) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            dropped = true;
            continue;
        }
        if (noPaths)
            out = part;
        else
            out = joinPath(out, part);
    }
    if (changed)
        *changed = dropped;
    return out;
}

std::string encodeName(const std::string &bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t len = utf8Length(bytes, i);
        if (len == 0 || isEscapeChar(bytes, i, len)) {
            // Not UTF-8, or a character the escape itself uses: each byte on its own.
            const size_t n = len == 0 ? 1 : len;
            for (size_t k = 0; k < n; ++k)
                appendUtf8(out, kEscapeBase + static_cast<unsigned char>(bytes[i + k]));
            i += n;
        } else {
            out.append(bytes, i, len);
            i += len;
        }
    }
    return out;
}

std::string decodeName(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 == 0xEF && i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            const unsigned cp = ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && cp >= kEscapeBase + 0x80 &&
                cp <= kEscapeBase + 0xFF) {
                out += static_cast<char>(cp - kEscapeBase);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string printable(const std::string &name) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        const size_t len = utf8Length(name, i);
        // C1 controls U+0080..U+009F are C2 80..C2 9F in UTF-8.
        const bool c1 = len == 2 && c == 0xC2 && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        const bool control = c < 0x20 || c == 0x7F || c1 || (len == 0 && c >= 0x80 && c < 0xA0);
        if (!control) {
            const size_t n = len == 0 ? 1 : len;
            out.append(name, i, n);
            i += n;
            continue;
        }
        const unsigned code = c1 ? static_cast<unsigned char>(name[i + 1]) : c;
        switch (code) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\x";
            out += hex[code >> 4];
            out += hex[code & 15];
        }
        i += c1 ? 2 : 1;
    }
    return out;
}

std::string baseName(const std::string &name) {
    size_t end = name.size();
    while (end > 0 && name[end - 1] == '/')
        --end;
    const size_t slash = name.rfind('/', end == 0 ? 0 : end - 1);
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    return end > start ? name.substr(start, end - start) : std::string();
}

std::string dirName(const std::string &path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string joinPath(const std::string &dir, const std::string &name) {
    if (dir.empty())
        return name;
    if (dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

} // namespace yk
