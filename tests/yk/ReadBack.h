#pragma once
// Reading an archive back through libarchive, for the tests of the writers.

#include "format/ArchiveReader.h"

#include <QString>

#include <archive.h>
#include <archive_entry.h>

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// One entry as libarchive's reader gives it; `Data` is the container its bytes are kept in.
template <typename Data> struct ReadBackOf {
    std::string name;
    Data data;
    mode_t mode = 0;
    std::string link;
};

// Every entry of the archive at `path` with its data.
template <typename Data>
bool readBack(const QString &path, std::vector<ReadBackOf<Data>> &out, yk::Error &error) {
    yk::ArchiveInput in(yk::ArchiveSource::file(path.toStdString()));
    if (!in.open(error))
        return false;
    struct archive *r = in.get();
    struct archive_entry *e;
    int rc;
    while ((rc = archive_read_next_header(r, &e)) == ARCHIVE_OK) {
        ReadBackOf<Data> b;
        b.name = yk::entryName(e);
        b.mode = archive_entry_mode(e);
        if (const char *l = archive_entry_symlink(e))
            b.link = l;
        unsigned char buf[1 << 16];
        la_ssize_t n;
        while ((n = archive_read_data(r, buf, sizeof buf)) > 0)
            b.data.insert(b.data.end(), buf, buf + n);
        if (n < 0) {
            error = in.failure();
            return false;
        }
        out.push_back(std::move(b));
    }
    if (rc != ARCHIVE_EOF) {
        error = in.failure();
        return false;
    }
    return true;
}
