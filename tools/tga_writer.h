#pragma once
// Writing images as uncompressed true-colour TGA files (type 2), the form the show's maps
// are committed in: 24 bits, or 32 with an 8-bit alpha channel; rows stored bottom first
// (the usual order) or top first.
#include <cstdint>
#include <string>
#include <vector>

#include "io/surface.h"

namespace mirva {

std::vector<std::uint8_t> tgaFile(const Surface& image, int bits, bool topFirst = false);

// Writes the bytes to `path`; a failed write ends the program naming the file.
void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace mirva
