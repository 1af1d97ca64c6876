#include "io/surface.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <new>

#include "io/console.h"

namespace mirva {

namespace {

// Read by the loaders on any thread, set by the engine on the main thread.
std::atomic<int> largestWidth{Surface::kDefaultLargestImage};
std::atomic<int> largestHeight{Surface::kDefaultLargestImage};

}  // namespace

Surface::Surface(const std::string& name)
{
    load(name);
}

Surface::Surface(int width, int height)
{
    create(width, height);
}

void Surface::adopt(std::vector<std::uint32_t> pixels, int width, int height)
{
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    rect_ = {0, 0, width, height};
}

void Surface::create(int width, int height)
{
    release();
    if (width < 0 || height < 0)
        Console::fatal(formatText("Surface: invalid size %d x %d", width, height));
    std::vector<std::uint32_t> pixels;
    try {
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), packArgb(255, 0, 0, 0));
    } catch (const std::bad_alloc&) {
        Console::fatal(formatText("Surface: no memory for %d x %d pixels", width, height));
    }
    adopt(std::move(pixels), width, height);
}

void Surface::release()
{
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = height_ = 0;
    rect_ = {};
}

void Surface::clear()
{
    std::fill(pixels_.begin(), pixels_.end(), 0u);
}

void Surface::copy(int x, int y, const Surface& source, int sx, int sy, int width, int height)
{
    if (height < 1 || width < 1)
        return;
    const auto inside = [](const Surface& s, int px, int py, int w, int h) {
        return px >= 0 && py >= 0 && px + w <= s.width_ && py + h <= s.height_;
    };
    // Callers keep blocks inside both surfaces; one that does not is a program fault,
    // reported instead of writing outside the pixels.
    if (!inside(*this, x, y, width, height) || !inside(source, sx, sy, width, height))
        Console::fatal(formatText("Surface: block copy of %d x %d from (%d, %d) to (%d, %d) "
                                  "lies outside the surfaces",
                                  width, height, sx, sy, x, y));
    for (int r = 0; r < height; ++r)
        std::memmove(&pixels_[index(x, y + r)], &source.pixels_[source.index(sx, sy + r)],
                     static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

int Surface::determineImageFormat(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto endsWith = [&lower](const char* ending) {
        const std::size_t n = std::strlen(ending);
        return lower.size() >= n && lower.compare(lower.size() - n, n, ending) == 0;
    };
    if (endsWith("tga"))
        return IMAGE_TGA;
    if (endsWith("jpg") || endsWith("jpeg"))
        return IMAGE_JPEG;
    if (endsWith("png"))
        return IMAGE_PNG;
    Console::fatal("Surface: Unsupported file format in file '" + name + "'");
}

void Surface::setLargestImage(int width, int height)
{
    largestWidth = width;
    largestHeight = height;
}

int Surface::largestImageWidth()
{
    return largestWidth;
}

int Surface::largestImageHeight()
{
    return largestHeight;
}

void SurfaceReaders::refuseOversize(const std::string& name, std::uint64_t width, std::uint64_t height)
{
    const int w = Surface::largestImageWidth(), h = Surface::largestImageHeight();
    if (width <= static_cast<std::uint64_t>(w) && height <= static_cast<std::uint64_t>(h))
        return;
    Console::fatal(formatText("Surface: image '%s' is %llu x %llu pixels, larger than the %d x %d the device can use",
                              name.c_str(), static_cast<unsigned long long>(width),
                              static_cast<unsigned long long>(height), w, h));
}

void Surface::load(const std::string& name)
{
    release();
    switch (determineImageFormat(name)) {
    case IMAGE_TGA:
        SurfaceReaders::readTga(*this, name);
        break;
    case IMAGE_PNG:
        SurfaceReaders::readPng(*this, name);
        break;
    default:
        Console::fatal("JPEGLib not included");
    }
}

}  // namespace mirva
