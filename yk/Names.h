#pragma once
// How names travel between the disk and the archive. The archive keeps names as Unicode text;
// POSIX names are bytes. Bytes that are not UTF-8 are carried as the private-use characters
// U+F780..U+F7FF (one per byte) and turned back into the same bytes on extraction, so any name
// survives a round trip. (A name that really holds those characters comes back as raw bytes.)

#include <string>

namespace yk {

// The name to store for a path relative to the working directory: "." components and empty ones
// dropped, any leading "/" and every ".." component removed (`changed` tells the caller so it can
// say so), only the last component when `noPaths`. Empty when nothing is left.
std::string storedName(const std::string &path, bool noPaths, bool *changed = nullptr);

// Disk bytes to archive text and back.
std::string encodeName(const std::string &bytes);
std::string decodeName(const std::string &text);

// The last component of a stored name ("a/b/c" gives "c"); trailing slashes ignored.
std::string baseName(const std::string &name);

// The directory part of a path ("a/b/c" gives "a/b", "c" gives "").
std::string dirName(const std::string &path);

// Joins a directory and a name with one "/" ("" and "x" give "x").
std::string joinPath(const std::string &dir, const std::string &name);

} // namespace yk
