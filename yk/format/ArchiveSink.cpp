#include "format/ArchiveSink.h"

#include "format/ArchiveReader.h"
#include "format/SolidWriter.h"
#include "format/StoreWriter.h"

#include <cstring>

namespace yk {

namespace {

class LibarchiveSink : public ArchiveSink {
public:
    explicit LibarchiveSink(int fd) : w_(archive_write_new()), fd_(fd) {}
    ~LibarchiveSink() override { archive_write_free(w_); }

    // PPMd (method 2), the one method libarchive writes for us.
    bool open(Error &error) override {
        archive_write_set_format_7zip(w_);
        if (archive_write_set_format_option(w_, "7zip", "compression", "ppmd") != ARCHIVE_OK)
            return failed(error);
        archive_write_set_bytes_per_block(w_, 1 << 16);
        archive_write_set_bytes_in_last_block(w_, 1);
        return archive_write_open_fd(w_, fd_) == ARCHIVE_OK || failed(error);
    }

    bool header(struct archive_entry *e, Error &error) override {
        return archive_write_header(w_, e) >= ARCHIVE_WARN || failed(error);
    }
    bool data(const void *bytes, std::size_t size, Error &error) override {
        return archive_write_data(w_, bytes, size) == static_cast<la_ssize_t>(size) ||
               failed(error);
    }
    bool close(Error &error) override {
        return archive_write_close(w_) == ARCHIVE_OK || failed(error);
    }
    void abandon() override { archive_write_fail(w_); }

private:
    bool failed(Error &error) const {
        error = archiveError(w_);
        return false;
    }

    struct archive *w_;
    int fd_;
};

StoreTime timeOf(bool set, time_t sec, long nsec) {
    StoreTime t;
    t.set = set;
    if (set) {
        t.sec = static_cast<std::int64_t>(sec);
        t.nsec = nsec;
    }
    return t;
}

// Entries through one of the archiver's own writers (StoreWriter or SolidWriter).
class OwnSink : public ArchiveSink {
public:
    explicit OwnSink(std::unique_ptr<EntryStream> w) : w_(std::move(w)) {}

    bool open(Error &error) override { return w_->open(error); }

    bool header(struct archive_entry *e, Error &error) override {
        StoreEntry s;
        s.name = entryName(e);
        s.mode = static_cast<std::uint32_t>(archive_entry_mode(e));
        s.mtime = timeOf(archive_entry_mtime_is_set(e), archive_entry_mtime(e),
                         archive_entry_mtime_nsec(e));
        s.ctime = timeOf(archive_entry_ctime_is_set(e), archive_entry_ctime(e),
                         archive_entry_ctime_nsec(e));
        s.atime = timeOf(archive_entry_atime_is_set(e), archive_entry_atime(e),
                         archive_entry_atime_nsec(e));
        // A link keeps its target as its data, as libarchive's writer and reader have it.
        const char *target = nullptr;
        switch (archive_entry_filetype(e)) {
        case AE_IFREG:
            if (archive_entry_size_is_set(e) && archive_entry_size(e) > 0)
                s.size = static_cast<std::uint64_t>(archive_entry_size(e));
            break;
        case AE_IFLNK:
            target = archive_entry_symlink(e);
            s.size = target ? std::strlen(target) : 0;
            break;
        default:
            break;
        }
        if (!w_->add(s, error))
            return false;
        return target == nullptr || w_->write(target, s.size, error);
    }

    bool data(const void *bytes, std::size_t size, Error &error) override {
        return w_->write(bytes, size, error);
    }
    bool close(Error &error) override { return w_->close(error); }

private:
    std::unique_ptr<EntryStream> w_;
};

} // namespace

std::unique_ptr<ArchiveSink> openSink(int method, int fd, Error &error) {
    std::unique_ptr<ArchiveSink> s;
    if (method == 0)
        s = std::make_unique<OwnSink>(std::make_unique<StoreWriter>(fd));
    else if (method == 1)
        s = std::make_unique<OwnSink>(std::make_unique<SolidWriter>(fd, SolidSettings()));
    else
        s = std::make_unique<LibarchiveSink>(fd);
    return s->open(error) ? std::move(s) : nullptr;
}

} // namespace yk
