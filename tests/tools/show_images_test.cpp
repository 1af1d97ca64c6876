// The images of the flat effects and the painted objects, and the orb animation, as
// committed in data/ (the same bytes the tools write, says the committed-data test): a
// petal, a middle and a brush that are see-through around their shapes, an inner pattern
// dim enough for the zoomer's feedback, an environment that reads as sky and ground when a
// normal looks it up, and an orb that turns on a transparent background and comes round.
#include <algorithm>

#include <gtest/gtest.h>

#include "io/flic_player.h"
#include "io/surface.h"
#include "tests/support/files.h"
#include "tools/flat_maps.h"
#include "tools/show_anim.h"

namespace mirva {
namespace {

int channel(const Surface& image, int x, int y, int shift)
{
    return static_cast<int>((image.pixel(x, y) >> shift) & 0xFF);
}

// What the effects rely on, as (image, x, y, channel's shift, lowest, highest).
TEST(FlatMaps, ShapesAreCutOutTheBrushIsAWhiteDabThePatternStaysDimAndTheSkyIsAbove)
{
    const Surface petal = petalImage(), middle = middleImage(), brush = brushImage(), environment = environmentImage();
    const struct {
        const Surface& image;
        int x, y, shift, lowest, highest;
    } points[] = {
        {petal, 0, 0, 24, 0, 0},       {petal, 0, 127, 24, 0, 0},     {petal, 32, 64, 24, 255, 255},
        {middle, 0, 0, 24, 0, 0},      {middle, 32, 32, 24, 255, 255}, {brush, 0, 0, 24, 0, 0},
        {brush, 64, 0, 24, 0, 0},      {brush, 0, 32, 24, 0, 0},       {brush, 64, 32, 24, 101, 255},
        {brush, 64, 32, 16, 201, 255},  // white, to be tinted
    };
    for (const auto& p : points) {
        const int value = channel(p.image, p.x, p.y, p.shift);
        EXPECT_TRUE(value >= p.lowest && value <= p.highest) << value << " at " << p.x << "," << p.y << ", " << p.shift;
    }
    // Looked up as a sphere map: row 0 is a normal pointing up (blue sky), the last row down.
    EXPECT_GT(channel(environment, 128, 20, 0), channel(environment, 128, 20, 16) + 60);
    EXPECT_GT(channel(environment, 128, 235, 16), channel(environment, 128, 235, 0) + 25);
    // The inner pattern, dim enough for the zoomer's feedback.
    const Surface inner = innerImage();
    int brightest = 0;
    for (int y = 0; y < inner.height(); ++y)
        for (int x = 0; x < inner.width(); ++x)
            for (int shift : {0, 8, 16})
                brightest = std::max(brightest, channel(inner, x, y, shift));
    EXPECT_TRUE(brightest > 40 && brightest < 80) << brightest;
}

TEST(ShowAnimations, TheOrbTurnsOnATransparentBackgroundAndComesRound)
{
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    FlicPlayer player;
    player.load(kOrbAnimFile);
    ASSERT_EQ(std::tuple(player.frameCount(), player.width(), player.height()),
              std::tuple(kOrbFrames, kOrbSize, kOrbSize));
    std::vector<std::uint16_t> pixels(kOrbSize * kOrbSize), first, before;
    for (int frame = 0; frame <= kOrbFrames; ++frame) {
        before = pixels;
        player.decodeFrame(pixels.data(), kOrbSize * 2);
        first = frame == 0 ? pixels : first;
        // Every frame turns the orb; the ring frame brings the first picture back.
        EXPECT_TRUE(frame == kOrbFrames ? pixels == first : pixels != before) << "frame " << frame;
        // Corners: the background, fully transparent; the middle: opaque.
        EXPECT_EQ(pixels.front() >> 12 | pixels.back() >> 12, 0) << "frame " << frame;
        EXPECT_EQ(pixels[kOrbSize * kOrbSize / 2 + kOrbSize / 2] >> 12, 0xF);
    }
}

}  // namespace
}  // namespace mirva
