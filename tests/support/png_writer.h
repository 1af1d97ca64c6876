#pragma once
// Writes PNG files of every colour type with libpng, so image tests work on real files
// made by another writer than our reader.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mirva::test {

struct PngSpec {
    int width = 0;
    int height = 0;
    int colorType = 2;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    // Samples as they go into the file: one value per channel (palette index for
    // palette images), row by row; 16-bit samples are written big-endian by the writer.
    std::vector<std::uint16_t> samples;
    std::vector<std::uint8_t> paletteRgb;            // 3 bytes an entry
    std::vector<std::uint8_t> paletteAlpha;          // tRNS for palette images
    std::optional<std::uint16_t> transparentGrey;    // tRNS for grey images
    std::optional<double> gamma;                     // gAMA
    std::optional<std::uint16_t> backgroundRgb[3];   // bKGD for colour images
};

void writePng(const std::string& path, const PngSpec& desc);

}  // namespace mirva::test
