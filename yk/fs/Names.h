#pragma once
// How names travel between the disk and the archive. The archive keeps names as Unicode text;
// POSIX names are bytes. Bytes that are not UTF-8 are carried as the private-use characters
// U+F780..U+F7FF (one per byte) and turned back into the same bytes on extraction. A name that
// really holds one of those characters has that character's three bytes escaped the same way,
// so the escape is never ambiguous and every name survives a round trip byte for byte.

#include <string>
#include <vector>

namespace yk {

// The name to store for a path relative to the working directory: "." components and empty ones
// dropped, any leading "/" and every ".." component removed (`changed` tells the caller so it can
// say so), only the last component when `noPaths`. Empty when nothing is left.
std::string storedName(const std::string &path, bool noPaths, bool *changed = nullptr);

// The pieces of `path` between its slashes, empty ones too ("/a//b" gives "", "a", "", "b").
std::vector<std::string> splitPath(const std::string &path);

// Disk bytes to archive text and back.
std::string encodeName(const std::string &bytes);
std::string decodeName(const std::string &text);

// A name as it may be shown on a terminal: control characters (C0, DEL and C1, also C1 bytes
// outside UTF-8) written as "\n", "\r", "\t" or "\xHH", so that a name can neither move the
// cursor nor pass for another line.
std::string printable(const std::string &name);

// The last component of a stored name ("a/b/c" gives "c"); trailing slashes ignored.
std::string baseName(const std::string &name);

// The directory part of a path ("a/b/c" gives "a/b", "c" gives "").
std::string dirName(const std::string &path);

// Joins a directory and a name with one "/" ("" and "x" give "x").
std::string joinPath(const std::string &dir, const std::string &name);

} // namespace yk
