// The flare, the zoomer's inner pattern, the flower's petal and middle, and the painted
// objects' brush and environment.
#include "tools/flat_maps.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/tga_writer.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;

std::uint8_t level(float value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

std::uint32_t argb(float a, float r, float g, float b)
{
    return packArgb(level(a), level(r), level(g), level(b));
}

// 0 inside, 1 outside, blended over about one pixel at `edge` (distance in pixels).
float outside(float distance, float edge)
{
    return std::clamp(distance - edge + 0.5f, 0.0f, 1.0f);
}

// Calls `paint(x, y, u, v)` for every pixel with u, v from -1 to 1 over the pixel centres
// (v up), and stores what it returns.
template <typename Paint>
Surface painted(int width, int height, Paint paint)
{
    Surface image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width) * 2 - 1;
            const float v = 1 - (static_cast<float>(y) + 0.5f) / static_cast<float>(height) * 2;
            image.setPixel(x, y, paint(x, y, u, v));
        }
    return image;
}

}  // namespace

Surface flareImage()
{
    return painted(128, 128, [](int, int, float u, float v) {
        const float r = std::sqrt(u * u + v * v), angle = std::atan2(v, u);
        const float fade = std::clamp((1 - r) * 4, 0.0f, 1.0f);
        const float core = std::exp(-r * r * 60), halo = 0.45f * std::exp(-r * r * 7);
        const float ring = 0.18f * std::exp(-std::pow((r - 0.72f) / 0.05f, 2.0f));
        const float rays = 0.5f * std::pow(std::abs(std::cos(3 * angle)), 60.0f) * std::max(0.0f, 1 - r);
        const float red = (core + halo * 1.0f + ring * 0.45f + rays) * fade;
        const float green = (core + halo * 0.72f + ring * 0.7f + rays * 0.9f) * fade;
        const float blue = (core + halo * 0.42f + ring * 1.0f + rays * 0.8f) * fade;
        return argb(std::max({red, green, blue}), red, green, blue);
    });
}

Surface innerImage()
{
    return painted(256, 256, [](int, int, float u, float v) {
        const float r = std::sqrt(u * u + v * v), angle = std::atan2(v, u);
        const float arms = 0.5f + 0.5f * std::sin(5 * angle + 12 * r);
        const float envelope = std::clamp(1 - r, 0.0f, 1.0f) * (0.35f + 0.65f * std::clamp(r * 3, 0.0f, 1.0f));
        const float strength = 0.42f * arms * envelope;
        const float warm = 0.5f + 0.5f * std::cos(6 * r);   // orange near the middle and at the rim
        return argb(1, strength * (0.55f + 0.45f * warm), strength * (0.2f + 0.4f * warm),
                    strength * (1.0f - 0.6f * warm));
    });
}

Surface petalImage()
{
    constexpr int kWidth = 64, kHeight = 128;
    return painted(kWidth, kHeight, [](int, int y, float u, float) {
        // s: 1 at the tip (top row), 0 at the base.
        const float s = 1 - (static_cast<float>(y) + 0.5f) / kHeight;
        // Tapering from the base up to its widest at s 0.6, then a round (elliptic) tip.
        const float halfWidth = s < 0.6f ? 0.2f + 0.7f * std::sin(kPi / 2 * s / 0.6f)
                                         : 0.9f * std::sqrt(std::max(0.0f, 1 - std::pow((s - 0.6f) / 0.4f, 2.0f)));
        const float edge = halfWidth * kWidth / 2, distance = std::abs(u) * kWidth / 2;
        const float alpha = 1 - outside(distance, edge);
        const float vein = 0.22f * std::exp(-std::pow(u / 0.07f, 2.0f)) * (1 - s * 0.6f);
        const float shade = 0.72f + 0.28f * std::sqrt(s) - vein - 0.15f * std::pow(std::abs(u) / std::max(halfWidth, 0.01f), 4.0f);
        return argb(alpha, shade, shade, shade);
    });
}

Surface middleImage()
{
    constexpr int kSize = 64;
    return painted(kSize, kSize, [](int, int, float u, float v) {
        const float r = std::sqrt(u * u + v * v);
        const float alpha = 1 - outside(r * kSize / 2, 0.94f * kSize / 2);
        // Seeds on the sunflower spiral: seed n at radius 0.09 sqrt(n), angle n x 137.5 degrees.
        float seeds = 0;
        for (int n = 1; n < 110; ++n) {
            const float radius = 0.088f * std::sqrt(static_cast<float>(n)), angle = static_cast<float>(n) * 2.3999632f;
            const float du = u - radius * std::cos(angle), dv = v - radius * std::sin(angle);
            seeds = std::max(seeds, std::exp(-(du * du + dv * dv) / 0.0012f));
        }
        const float shade = (0.95f - 0.35f * seeds) * (1 - 0.25f * r * r);
        return argb(alpha, shade, shade, shade);
    });
}

Surface brushImage()
{
    return painted(128, 64, [](int, int, float u, float v) {
        // Bristles across the dab (v): each paints a streak along u, of its own strength
        // and length, so the ends come out ragged.
        const float streak = 0.5f + 0.25f * std::sin(37 * v + 1.3f) + 0.15f * std::sin(71 * v + 0.4f) +
                             0.1f * std::sin(113 * v + 2.1f);
        const float end = 0.82f + 0.1f * std::sin(23 * v + 0.7f) + 0.05f * std::sin(59 * v + 2.6f);
        // A soft-edged oval, cut off by the bristle ends along u.
        const float oval = std::clamp((1 - (u * u) / (end * end) - (v * v) / 0.72f) / 0.4f, 0.0f, 1.0f);
        const float alpha = oval * std::sqrt(oval) * (0.6f + 0.4f * streak);
        const float shade = 0.86f + 0.14f * streak;
        return argb(alpha, shade, shade, shade);
    });
}

Surface environmentImage()
{
    return painted(256, 256, [](int, int, float u, float v) {
        // The normal this pixel stands for; outside the disc, the rim's.
        const float r = std::sqrt(u * u + v * v), scale = r > 1 ? 1 / r : 1;
        const float x = u * scale, y = v * scale, z = -std::sqrt(std::max(0.0f, 1 - x * x - y * y));
        float red, green, blue;
        if (y >= 0) {
            const float t = std::pow(y, 0.6f);   // horizon to zenith
            red = 0.86f + (0.16f - 0.86f) * t;
            green = 0.88f + (0.36f - 0.88f) * t;
            blue = 0.94f + (0.84f - 0.94f) * t;
        } else {
            const float t = std::pow(-y, 0.7f);  // horizon to nadir
            red = 0.56f + (0.22f - 0.56f) * t;
            green = 0.48f + (0.17f - 0.48f) * t;
            blue = 0.36f + (0.11f - 0.36f) * t;
        }
        // A sun up to the left, in front: a white disc in a warm glow.
        const float sx = -0.45f, sy = 0.55f, sz = -0.70f, length = std::sqrt(sx * sx + sy * sy + sz * sz);
        const float away = 1 - (x * sx + y * sy + z * sz) / length;
        const float glow = 0.6f * std::exp(-away * 25) + (away < 0.004f ? 1.0f : 0.0f);
        return argb(1, red + glow, green + glow * 0.9f, blue + glow * 0.7f);
    });
}

std::vector<std::string> writeFlatMaps(const std::string& dataDir)
{
    std::filesystem::create_directories(std::filesystem::path(dataDir) / "maps");
    const struct {
        const char* file;
        Surface image;
        int bits;
    } maps[] = {{kFlareFile, flareImage(), 24}, {kInnerFile, innerImage(), 24},
                {kPetalFile, petalImage(), 32}, {kMiddleFile, middleImage(), 32},
                {kBrushFile, brushImage(), 32}, {kEnvironmentFile, environmentImage(), 24}};
    std::vector<std::string> written;
    for (const auto& map : maps) {
        writeFileBytes((std::filesystem::path(dataDir) / map.file).string(), tgaFile(map.image, map.bits));
        written.emplace_back(map.file);
    }
    return written;
}

}  // namespace mirva
