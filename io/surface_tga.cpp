// TGA reader: uncompressed true-colour images (type 2), 24 or 32 bits per pixel,
// rows stored bottom first or (descriptor bit 5) top first. The ID field and a colour
// map are skipped. Files shorter than their header promises are refused instead of
// being read past their end.
#include "io/console.h"
#include "io/phile.h"
#include "io/surface.h"

namespace mirva {

namespace {

constexpr std::size_t kHeaderSize = 18;

unsigned read16(const PhileBlock& b, std::size_t at)
{
    return static_cast<unsigned>(b[at]) | static_cast<unsigned>(b[at + 1]) << 8;
}

[[noreturn]] void refuse(const char* what, const std::string& name)
{
    Console::fatal(std::string("Surface: ") + what + " targa file '" + name + "'");
}

}  // namespace

void SurfaceReaders::readTga(Surface& surface, const std::string& name)
{
    const PhileBlock file = Phile::load(name);
    if (file.size() < kHeaderSize)
        refuse("truncated", name);

    const unsigned idLength = file[0];
    const unsigned imageType = file[2];
    const unsigned mapLength = read16(file, 5);
    const unsigned mapEntryBits = file[7];
    const int width = static_cast<int>(read16(file, 12));
    const int height = static_cast<int>(read16(file, 14));
    const unsigned bytesPerPixel = file[16] / 8u;
    const bool topFirst = (file[17] & 0x20) != 0;

    if (imageType != 2)
        refuse("unsupported feature in", name);
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        refuse("unsupported color depth in", name);
    if (width == 0 || height == 0)
        refuse("no pixels (width or height 0) in", name);
    refuseOversize(name, static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));

    const std::size_t start = kHeaderSize + idLength + mapLength * mapEntryBits / 8u;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    if (start > file.size() || (file.size() - start) / rowBytes < static_cast<std::size_t>(height))
        refuse("truncated", name);

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const std::uint8_t* in = file.data() + start;
    for (int stored = 0; stored < height; ++stored) {
        const int row = topFirst ? stored : height - 1 - stored;
        std::uint32_t* out = pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x, in += bytesPerPixel) {
            const std::uint8_t alpha = bytesPerPixel == 4 ? in[3] : 255;
            out[x] = packArgb(alpha, in[2], in[1], in[0]);
        }
    }
    surface.adopt(std::move(pixels), width, height);
}

}  // namespace mirva
