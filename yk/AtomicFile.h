#pragma once
// A new version of a file, written beside it and put in its place only when complete: until
// commit() the old file is untouched, and a kill at any moment leaves it whole. The new data
// lives in an unnamed file (O_TMPFILE) where the file system allows, so an interrupted run leaves
// nothing behind; elsewhere in a hidden temporary file that is removed on failure.

#include <string>

namespace yk {

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    ~AtomicFile();

    // Creates the temporary file in the target's directory. False with `error` set on failure.
    bool open(const std::string &target, std::string &error);
    int fd() const { return fd_; }

    // Flushes the data, gives it the old file's permissions (or the usual ones for a new file),
    // renames it over the target and flushes the directory.
    bool commit(std::string &error);

private:
    std::string target_;
    std::string tempPath_; // empty for an unnamed file
    int fd_ = -1;
};

} // namespace yk
