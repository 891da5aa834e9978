#include "commands/ListFormat.h"

#include "commands/Messages.h"
#include "fs/Names.h"

#include <sys/stat.h>

#include <cstdio>

namespace yk {

namespace {

// Width on a terminal: one column per UTF-8 character (the headings are Cyrillic).
size_t columns(const std::string &s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string padLeft(const std::string &s, size_t width) {
    const size_t w = columns(s);
    return w >= width ? s : std::string(width - w, ' ') + s;
}

std::string padRight(const std::string &s, size_t width) {
    const size_t w = columns(s);
    return w >= width ? s : s + std::string(width - w, ' ');
}

// Columns shared by every line: size, packed, ratio; then date and time.
std::string numbers(const std::string &size, const std::string &packed, const std::string &ratio) {
    return padLeft(size, 13) + " " + padLeft(packed, 13) + " " + padLeft(ratio, 6);
}

} // namespace

std::string ratioText(std::uint64_t packed, std::uint64_t size) {
    if (size == 0)
        return "-";
    const long double pct = static_cast<long double>(packed) * 100 / size;
    return std::to_string(static_cast<unsigned long long>(pct + 0.5L)) + "%";
}

namespace {

// Digits of `v`, at least `width` of them with leading zeros, written backwards from `end`.
char *digitsBefore(char *end, std::uint64_t v, int width = 1) {
    do {
        *--end = static_cast<char>('0' + v % 10);
        v /= 10;
        --width;
    } while (v > 0 || width > 0);
    return end;
}

void appendPadded(std::string &out, const char *s, std::size_t len, std::size_t width) {
    if (len < width)
        out.append(width - len, ' ');
    out.append(s, len);
}

void appendNumber(std::string &out, std::uint64_t v, std::size_t width) {
    char buf[24];
    char *end = buf + sizeof buf;
    const char *p = digitsBefore(end, v);
    appendPadded(out, p, static_cast<std::size_t>(end - p), width);
}

void appendRatio(std::string &out, std::uint64_t packed, std::uint64_t size) {
    if (size == 0) {
        appendPadded(out, "-", 1, 6);
        return;
    }
    const long double pct = static_cast<long double>(packed) * 100 / size;
    char buf[24];
    char *end = buf + sizeof buf;
    *--end = '%';
    const char *p = digitsBefore(end, static_cast<unsigned long long>(pct + 0.5L));
    appendPadded(out, p, static_cast<std::size_t>(buf + sizeof buf - p), 6);
}

void appendDateTime(std::string &out, std::time_t t, bool known) {
    struct tm tmv;
    if (!known || !localtime_r(&t, &tmv)) {
        out.append(17, ' ');
        return;
    }
    // "dd.mm.yyyy  hh:mm", without the cost of printf for every row of a long listing.
    char buf[17];
    digitsBefore(buf + 2, static_cast<std::uint64_t>(tmv.tm_mday), 2);
    buf[2] = '.';
    digitsBefore(buf + 5, static_cast<std::uint64_t>(tmv.tm_mon + 1), 2);
    buf[5] = '.';
    const int year = tmv.tm_year + 1900;
    if (year < 0 || year > 9999) {
        char wide[64];
        std::snprintf(wide, sizeof wide, "%02d.%02d.%04d  %02d:%02d", tmv.tm_mday, tmv.tm_mon + 1,
                      year, tmv.tm_hour, tmv.tm_min);
        out += wide;
        return;
    }
    digitsBefore(buf + 10, static_cast<std::uint64_t>(year), 4);
    buf[10] = buf[11] = ' ';
    digitsBefore(buf + 14, static_cast<std::uint64_t>(tmv.tm_hour), 2);
    buf[14] = ':';
    digitsBefore(buf + 17, static_cast<std::uint64_t>(tmv.tm_min), 2);
    out.append(buf, sizeof buf);
}

} // namespace

std::string dateTimeText(std::time_t t, bool known) {
    std::string s;
    appendDateTime(s, t, known);
    return s;
}

std::string modeText(mode_t mode) {
    std::string s(10, '-');
    // The type letter as ls shows it; an entry of an unknown type stays "-".
    static const struct {
        mode_t type;
        char letter;
    } kinds[] = {{S_IFDIR, 'd'}, {S_IFLNK, 'l'}, {S_IFCHR, 'c'},
                 {S_IFBLK, 'b'}, {S_IFIFO, 'p'}, {S_IFSOCK, 's'}};
    for (const auto &k : kinds)
        if ((mode & S_IFMT) == k.type)
            s[0] = k.letter;
    const char *letters = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i)
        if (mode & (0400 >> i))
            s[1 + i] = letters[i];
    if (mode & S_ISUID)
        s[3] = (mode & S_IXUSR) ? 's' : 'S';
    if (mode & S_ISGID)
        s[6] = (mode & S_IXGRP) ? 's' : 'S';
    if (mode & S_ISVTX)
        s[9] = (mode & S_IXOTH) ? 't' : 'T';
    return s;
}

std::string crcText(std::uint32_t crc) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", crc);
    return buf;
}

std::uint64_t shareOf(std::uint64_t total, std::uint64_t size, std::uint64_t sizeSum) {
    if (sizeSum == 0)
        return 0;
    return static_cast<std::uint64_t>(static_cast<long double>(total) * size / sizeSum + 0.5L);
}

std::string listHeader(bool full) {
    std::string s = numbers(msg::colSize, msg::colPacked, msg::colRatio) + "  " +
                    padRight(msg::colDate, 10) + "  " + padRight(msg::colTime, 5) + "  ";
    if (full)
        s += padRight(msg::colMethod, 12) + " " + padRight("CRC", 8) + " " +
             padRight(msg::colRights, 10) + " ";
    return s + msg::colName;
}

std::string listRule(bool full) {
    std::string s = std::string(13, '-') + " " + std::string(13, '-') + " " + std::string(6, '-') +
                    "  " + std::string(10, '-') + "  " + std::string(5, '-') + "  ";
    if (full)
        s += std::string(12, '-') + " " + std::string(8, '-') + " " + std::string(10, '-') + " ";
    return s + std::string(20, '-');
}

std::string listRow(const ListRow &r, bool full) {
    std::string s;
    appendListRow(s, r, full);
    return s;
}

void appendListRow(std::string &out, const ListRow &r, bool full) {
    appendNumber(out, r.size, 13);
    out += ' ';
    appendNumber(out, r.packed, 13);
    out += ' ';
    appendRatio(out, r.packed, r.size);
    out += "  ";
    appendDateTime(out, r.mtime, r.hasTime);
    out += "  ";
    if (full)
        out += padRight(r.method.empty() ? "-" : r.method, 12) + " " +
               padRight(r.hasCrc ? crcText(r.crc) : "-", 8) + " " + modeText(r.mode) + " ";
    out += printable(r.name);
}

std::string listTotals(std::uint64_t size, std::uint64_t packed, int entries,
                       std::uint64_t archiveSize) {
    return numbers(std::to_string(size), std::to_string(packed), ratioText(packed, size)) + "  " +
           msg::listTotals(entries, archiveSize);
}

} // namespace yk
