#pragma once
// The coders a 7z folder may name: their display names, whether libarchive decodes them and the
// memory they ask for, from one table.

#include <cstdint>
#include <string>
#include <vector>

namespace yk {

// The display name of one coder: its 7z identifier bytes and properties ("LZMA2:8m", "?0401").
std::string coderName(const std::vector<std::uint8_t> &id, const std::vector<std::uint8_t> &props);

// Whether libarchive decodes the coder, and the memory it asks for (dictionary or model size).
bool coderSupported(const std::vector<std::uint8_t> &id);
bool coderEncrypts(const std::vector<std::uint8_t> &id);
std::uint64_t coderMemory(const std::vector<std::uint8_t> &id,
                          const std::vector<std::uint8_t> &props);

// The filter of `names` (one folder's coders, by name) that libarchive cannot apply with the
// folder's compressor, or ""; `compressor` is set to the compressor's name.
std::string filterNotApplied(const std::vector<std::string> &names, std::string &compressor);

} // namespace yk
