#include "tools/show_anim.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace mirva {

namespace {

// Colour index ranges of the orb (0 is the background).
constexpr int kSwirlFirst = 1, kSwirlColours = 128;
constexpr int kBladeFirst = 129, kBladeColours = 48;   // dark at the hub, light outside
constexpr int kCoreFirst = 177, kCoreColours = 16;     // white-hot in the middle
constexpr int kRimFirst = 193, kRimColours = 48;       // lit from the top left
constexpr int kSparkFirst = 241, kSparkColours = 15;   // the spark's tail to its head

constexpr double kPi = std::numbers::pi;
constexpr double kRadius = 118.0;   // the orb's edge, inside the rim
constexpr double kRimWidth = 8.0;
constexpr double kHub = 16.0;       // blades start outside the hub
constexpr int kBlades = 3;

FlcColour mix(FlcColour a, FlcColour b, double t)
{
    const auto channel = [t](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
    };
    return {channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue)};
}

// A closed gradient through these stops, at position t in [0, 1).
FlcColour cyclic(const std::vector<FlcColour>& stops, double t)
{
    const double at = t * static_cast<double>(stops.size());
    const auto i = static_cast<std::size_t>(at) % stops.size();
    return mix(stops[i], stops[(i + 1) % stops.size()], at - std::floor(at));
}

// A position in [0, count - 1] of a ramp of `count` colours for t in [0, 1].
int ramp(double t, int count)
{
    return static_cast<int>(std::lround(std::clamp(t, 0.0, 1.0) * (count - 1)));
}

// The swirl's colour index at (dx, dy) from the centre: bands that wind round with the
// angle and ripple with the distance.
int swirlIndex(double dx, double dy, double r)
{
    const double angle = std::atan2(dy, dx);
    const double wave = angle / (2 * kPi) * 2.0 * kSwirlColours + r * 0.9 + 9.0 * std::sin(r / 11.0) +
                        6.0 * std::sin(dx / 23.0) * std::cos(dy / 19.0);
    const long band = std::lround(std::floor(wave));
    return kSwirlFirst + static_cast<int>(((band % kSwirlColours) + kSwirlColours) % kSwirlColours);
}

// Whether a blade covers the angle, the blades turned by `turn` radians; a blade is a
// wedge that narrows outwards and bends back.
bool onBlade(double angle, double r, double turn)
{
    const double sector = 2 * kPi / kBlades;
    double a = std::fmod(angle - turn - r * 0.006, sector);
    if (a < 0)
        a += sector;
    const double halfWidth = 0.30 - 0.16 * (r / kRadius);
    return a < halfWidth || a > sector - halfWidth;
}

// How far behind the spark's head the angle lies, in radians (0 to 2 pi).
double behindSpark(double angle, int frame)
{
    const double head = 2 * kPi * frame / kOrbFrames;
    return std::fmod(head - angle + 4 * kPi, 2 * kPi);
}

}  // namespace

FlcBytes orbFrame(int frame)
{
    FlcBytes indices(static_cast<std::size_t>(kOrbSize) * kOrbSize, 0);
    const double turn = 2 * kPi / kBlades * frame / kOrbFrames;
    const double core = kHub * (0.55 + 0.3 * std::sin(2 * kPi * frame / kOrbFrames * 4));
    const double centre = (kOrbSize - 1) / 2.0;
    for (int y = 0; y < kOrbSize; ++y)
        for (int x = 0; x < kOrbSize; ++x) {
            const double dx = x - centre, dy = y - centre;
            const double r = std::hypot(dx, dy);
            const double angle = std::atan2(dy, dx);
            int index = 0;
            if (r >= kRadius + kRimWidth) {
                index = 0;
            } else if (r >= kRadius) {
                const double behind = behindSpark(angle, frame);
                if (behind < 0.6)
                    index = kSparkFirst + ramp(1.0 - behind / 0.6, kSparkColours);
                else   // lit where the rim's normal faces the light at the top left
                    index = kRimFirst + ramp(((-dx - dy) / (r * std::numbers::sqrt2) + 1) / 2, kRimColours);
            } else if (r < core) {
                index = kCoreFirst + ramp(1.0 - r / core, kCoreColours);
            } else if (r > kHub && onBlade(angle, r, turn)) {
                index = kBladeFirst + ramp((r - kHub) / (kRadius - kHub), kBladeColours);
            } else {
                index = swirlIndex(dx, dy, r);
            }
            indices[static_cast<std::size_t>(y) * kOrbSize + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(index);
        }
    return indices;
}

FlcPalette orbPalette()
{
    FlcPalette palette{};
    const std::vector<FlcColour> swirl = {{20, 10, 60},   {90, 20, 140},   {230, 60, 150},
                                          {255, 170, 60}, {255, 240, 150}, {60, 160, 220}};
    const auto fill = [&palette](int first, int count, auto colour) {
        for (int i = 0; i < count; ++i)
            palette[static_cast<std::size_t>(first + i)] = colour(i / double(count - 1));
    };
    for (int i = 0; i < kSwirlColours; ++i)
        palette[static_cast<std::size_t>(kSwirlFirst + i)] = cyclic(swirl, i / double(kSwirlColours));
    fill(kBladeFirst, kBladeColours, [](double t) { return mix({40, 50, 70}, {210, 225, 240}, t); });
    fill(kCoreFirst, kCoreColours, [](double t) { return mix({255, 120, 40}, {255, 255, 230}, t); });
    fill(kRimFirst, kRimColours, [](double t) { return mix({90, 50, 0}, {255, 230, 120}, t); });
    fill(kSparkFirst, kSparkColours, [](double t) { return mix({60, 150, 255}, {240, 250, 255}, t); });
    return palette;
}

FlcWriter orbAnimation()
{
    FlcWriter writer(kOrbSize, kOrbSize, 40);
    const FlcPalette palette = orbPalette();
    for (int frame = 0; frame < kOrbFrames; ++frame)
        writer.addFrame(orbFrame(frame), palette);
    return writer;
}

std::vector<std::string> writeShowAnimations(const std::string& dataDir)
{
    const std::filesystem::path root(dataDir);
    std::filesystem::create_directories(root / "anims");
    orbAnimation().write((root / kOrbAnimFile).string());
    return {kOrbAnimFile};
}

}  // namespace mirva
