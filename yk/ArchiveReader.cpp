#include "ArchiveReader.h"

#include <sys/stat.h>

namespace yk {

Reader openArchive(const ArchiveSource &source, std::string &error) {
    Reader r(archive_read_new());
    if (!r) {
        error = "нет памяти";
        return nullptr;
    }
    archive_read_support_format_7zip(r.get());
    const int rc = source.inMemory()
                       ? archive_read_open_memory(r.get(), source.data, source.size)
                       : archive_read_open_filename(r.get(), source.path.c_str(), 1 << 16);
    if (rc != ARCHIVE_OK) {
        error = archiveError(r.get());
        return nullptr;
    }
    return r;
}

std::string entryName(struct archive_entry *e) {
    if (const char *u = archive_entry_pathname_utf8(e))
        return u;
    if (const char *p = archive_entry_pathname(e))
        return p;
    return std::string();
}

std::string archiveError(struct archive *a) {
    const char *s = archive_error_string(a);
    return explainArchiveError(s ? s : "");
}

std::string explainArchiveError(const std::string &raw) {
    // libarchive speaks English; the user gets the gist in Russian and the detail as it came.
    static const struct {
        const char *needle;
        const char *text;
    } known[] = {
        {"bad CRC", "неверная контрольная сумма (CRC)"},
        {"Unrecognized archive format", "это не архив yk (формат 7z)"},
        {"runcated", "архив обрезан"},
        {"Decompression failed", "сжатые данные повреждены"},
        {"Damaged", "архив повреждён"},
        {"Failed to open", "не удалось открыть"},
        {"No such file", "нет такого файла"},
        {"Permission denied", "нет доступа"},
        {"Path contains '..'", "путь содержит «..»"},
        {"absolute path", "абсолютный путь"},
        {"symlink", "путь проходит через символическую ссылку"},
        {"Encrypted", "файл зашифрован, расшифровка не поддерживается"},
        {"Unsupported", "способ сжатия не поддерживается"},
    };
    if (raw.empty())
        return "неизвестная ошибка формата";
    for (const auto &k : known)
        if (raw.find(k.needle) != std::string::npos)
            return std::string(k.text) + " (" + raw + ")";
    return raw;
}

std::uint64_t archiveBytes(const ArchiveSource &source) {
    if (source.inMemory())
        return source.size;
    struct stat st;
    return stat(source.path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

} // namespace yk
