// Writes an archive whose entries try to leave the extraction directory, the way a hostile
// archive would: "../name", an absolute name, a link pointing up and a file written through it,
// beside one harmless file. Usage: yk_craft OUTPUT ABSOLUTE_NAME

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool add(struct archive *a, const char *name, const char *data, const char *link = nullptr) {
    struct archive_entry *e = archive_entry_new();
    archive_entry_set_pathname(e, name);
    archive_entry_set_perm(e, 0644);
    if (link) {
        archive_entry_set_filetype(e, AE_IFLNK);
        archive_entry_set_symlink(e, link);
        archive_entry_set_size(e, 0);
    } else {
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, static_cast<la_int64_t>(std::strlen(data)));
    }
    bool ok = archive_write_header(a, e) == ARCHIVE_OK;
    if (ok && !link)
        ok = archive_write_data(a, data, std::strlen(data)) ==
             static_cast<la_ssize_t>(std::strlen(data));
    archive_entry_free(e);
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: yk_craft OUTPUT ABSOLUTE_NAME\n");
        return 2;
    }
    struct archive *a = archive_write_new();
    archive_write_set_format_7zip(a);
    archive_write_set_format_option(a, "7zip", "compression", "copy");
    if (archive_write_open_filename(a, argv[1]) != ARCHIVE_OK)
        return 1;
    const std::string absolute = argv[2];
    const bool ok = add(a, "../escaped-dotdot.txt", "dotdot\n") &&
                    add(a, "inner/../../escaped-inner.txt", "inner\n") &&
                    add(a, absolute.c_str(), "absolute\n") && add(a, "up", "x", "..") &&
                    add(a, "up/escaped-link.txt", "through link\n") &&
                    add(a, "harmless.txt", "harmless\n");
    const bool closed = archive_write_close(a) == ARCHIVE_OK;
    archive_write_free(a);
    return ok && closed ? 0 : 1;
}
