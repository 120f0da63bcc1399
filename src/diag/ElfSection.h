#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The bytes of one named section of an ELF file on disk, or nothing when the file is not an ELF
// file of this machine's byte order, has no such section, or is damaged. Reads only the headers
// and that section; every offset is checked against the file's size first.
std::optional<std::vector<char>> readElfSection(const std::string& path, const char* name,
                                                std::size_t maxSize);
