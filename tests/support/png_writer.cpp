#include "tests/support/png_writer.h"

#include <png.h>

#include <cstdio>
#include <stdexcept>

namespace mirva::test {

namespace {

// Packs one row of samples into the file's bit depth: 16-bit samples big-endian, smaller
// ones from the high bits of each byte on.
std::vector<png_byte> packRow(const PngSpec& desc, int y)
{
    constexpr int channelsOf[] = {1, 0, 3, 1, 2, 0, 4};  // by PNG_COLOR_TYPE_*
    const std::size_t perRow = static_cast<std::size_t>(desc.width * channelsOf[desc.colorType]);
    const auto bits = static_cast<std::size_t>(desc.bitDepth);
    std::vector<png_byte> row((perRow * bits + 7) / 8, 0);
    for (std::size_t i = 0; i < perRow; ++i) {
        const std::uint16_t v = desc.samples.at(static_cast<std::size_t>(y) * perRow + i);
        if (bits == 16) {
            row[2 * i] = static_cast<png_byte>(v >> 8);
            row[2 * i + 1] = static_cast<png_byte>(v);
        } else {
            row[i * bits / 8] = static_cast<png_byte>(row[i * bits / 8] | (v << (8 - bits - i * bits % 8)));
        }
    }
    return row;
}

}  // namespace

void writePng(const std::string& path, const PngSpec& desc)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("couldn't write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        throw std::runtime_error("libpng couldn't write " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(desc.width), static_cast<png_uint_32>(desc.height),
                 desc.bitDepth, desc.colorType, desc.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < desc.paletteRgb.size(); i += 3)
        palette.push_back({desc.paletteRgb[i], desc.paletteRgb[i + 1], desc.paletteRgb[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!desc.paletteAlpha.empty())
        png_set_tRNS(png, info, desc.paletteAlpha.data(), static_cast<int>(desc.paletteAlpha.size()), nullptr);
    if (desc.transparentGrey) {
        png_color_16 grey{};
        grey.gray = *desc.transparentGrey;
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    if (desc.gamma)
        png_set_gAMA(png, info, *desc.gamma);
    if (desc.backgroundRgb[0]) {
        png_color_16 background{};
        background.red = *desc.backgroundRgb[0];
        background.green = desc.backgroundRgb[1].value_or(0);
        background.blue = desc.backgroundRgb[2].value_or(0);
        background.gray = background.red;
        png_set_bKGD(png, info, &background);
    }
    png_write_info(png, info);

    std::vector<std::vector<png_byte>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < desc.height; ++y)
        rows.push_back(packRow(desc, y));
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

}  // namespace mirva::test
