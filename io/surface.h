#pragma once
// Surface: the program's in-memory image.
//
// Pixels are 32-bit A8R8G8B8 values (memory order blue, green, red, alpha), rows from
// top to bottom with no padding. Every file format is converted to this one layout on
// load, so textures and fonts never see a file format. TGA (uncompressed true colour,
// 24 or 32 bit) is read here; PNG through libpng; JPEG names are recognised and refused.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace mirva {

static_assert(std::endian::native == std::endian::little,
              "pixels are 0xAARRGGBB values stored blue, green, red, alpha");

enum ImageFormat { IMAGE_TGA = 0, IMAGE_JPEG = 1, IMAGE_PNG = 2 };

struct SurfaceRect {
    int left = -1, top = -1, right = -1, bottom = -1;
};

class Surface {
public:
    Surface() = default;
    explicit Surface(const std::string& name);  // loads the file
    Surface(int width, int height);             // opaque black

    void load(const std::string& name);
    void create(int width, int height);  // opaque black
    void release();                      // empty: no pixels, size 0
    void clear();                        // every byte 0 (transparent black)

    // Copies a width x height block of `source` at (sx, sy) to (x, y), row by row.
    // The block must lie inside both surfaces; a height below 1 copies nothing.
    void copy(int x, int y, const Surface& source, int sx, int sy, int width, int height);

    // Writes the image as an 8-bit RGBA PNG file (tools and offline rendering).
    void savePng(const std::string& name) const;

    // 0 TGA, 1 JPEG, 2 PNG from the name's ending; any other ending is fatal.
    static int determineImageFormat(const std::string& name);

    // The largest image a load accepts, in pixels each way: the largest texture the
    // graphics device can use. The engine sets it when it creates the device; until then
    // it is kDefaultLargestImage each way. A larger image is refused, naming the file and
    // its size, before any of its pixels are allocated.
    static constexpr int kDefaultLargestImage = 16384;
    static void setLargestImage(int width, int height);
    static int largestImageWidth();
    static int largestImageHeight();

    std::uint32_t* pixels() { return pixels_.data(); }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    void setPixel(int x, int y, std::uint32_t argb) { pixels_[index(x, y)] = argb; }
    int width() const { return width_; }
    int height() const { return height_; }
    const SurfaceRect& rect() const { return rect_; }
    bool empty() const { return pixels_.empty(); }

private:
    friend struct SurfaceReaders;
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    void adopt(std::vector<std::uint32_t> pixels, int width, int height);

    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    SurfaceRect rect_;
};

// The file readers; each ends the program with a message naming the file on failure.
struct SurfaceReaders {
    static void readTga(Surface& surface, const std::string& name);
    static void readPng(Surface& surface, const std::string& name);
    // Ends the program when a file's image is larger than the largest image.
    static void refuseOversize(const std::string& name, std::uint64_t width, std::uint64_t height);
};

inline std::uint32_t packArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<std::uint32_t>(a) << 24 | static_cast<std::uint32_t>(r) << 16 |
           static_cast<std::uint32_t>(g) << 8 | b;
}

}  // namespace mirva
