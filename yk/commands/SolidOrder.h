#pragma once
// The order in which an add puts its new entries into a solid block: grouped by extension, then
// by file name, then by path. Files of one kind, and files of one name in different directories,
// then lie side by side, where the compressor's window finds what they share.

#include <string>
#include <vector>

namespace yk {

struct Source;

// The extension of the last component of `name` ("/"-separated), ASCII letters in lower case:
// what follows its last dot; none for a name that starts with its only dot (".profile").
std::string solidExtension(const std::string &name);

// Sorts `items` into that order (by their stored names; equal keys cannot occur, as stored names
// are unique).
void sortForSolid(std::vector<Source> &items);

} // namespace yk
