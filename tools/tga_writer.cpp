#include "tools/tga_writer.h"

#include <fstream>

#include "io/console.h"

namespace mirva {

std::vector<std::uint8_t> tgaFile(const Surface& image, int bits, bool topFirst)
{
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xFF); };
    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       byte(image.width()), byte(image.width() >> 8),
                                       byte(image.height()), byte(image.height() >> 8), byte(bits),
                                       byte((topFirst ? 0x20 : 0) | (bits == 32 ? 8 : 0))};
    for (int stored = 0; stored < image.height(); ++stored) {
        const int y = topFirst ? stored : image.height() - 1 - stored;
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y);
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                       static_cast<std::uint8_t>(p >> 16)});
            if (bits == 32)
                bytes.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    }
    return bytes;
}

void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
        Console::fatal("couldn't write '" + path + "'");
}

}  // namespace mirva
