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

TEST(FlatMaps, ShapesAreCutOutByAlphaAndThePatternStaysDim)
{
    const Surface petal = petalImage(), middle = middleImage(), inner = innerImage();
    EXPECT_EQ(channel(petal, 0, 0, 24) + channel(petal, 0, 127, 24) + channel(middle, 0, 0, 24), 0);
    EXPECT_EQ(std::pair(channel(petal, 32, 64, 24), channel(middle, 32, 32, 24)), std::pair(255, 255));
    int brightest = 0;
    for (int y = 0; y < inner.height(); ++y)
        for (int x = 0; x < inner.width(); ++x)
            for (int shift : {0, 8, 16})
                brightest = std::max(brightest, channel(inner, x, y, shift));
    EXPECT_GT(brightest, 40);
    EXPECT_LT(brightest, 80);
}

TEST(FlatMaps, TheBrushIsASoftDabAndTheEnvironmentHasSkyAboveAndGroundBelow)
{
    const Surface brush = brushImage(), environment = environmentImage();
    EXPECT_EQ(channel(brush, 0, 0, 24) + channel(brush, 64, 0, 24) + channel(brush, 0, 32, 24), 0);
    EXPECT_GT(channel(brush, 64, 32, 24), 100);
    EXPECT_GT(channel(brush, 64, 32, 16), 200);  // white, to be tinted
    // Looked up as a sphere map: row 0 is a normal pointing up, the last row down.
    EXPECT_GT(channel(environment, 128, 20, 0), channel(environment, 128, 20, 16) + 60);
    EXPECT_GT(channel(environment, 128, 235, 16), channel(environment, 128, 235, 0) + 25);
}

TEST(ShowAnimations, TheOrbTurnsOnATransparentBackgroundAndComesRound)
{
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    FlicPlayer player;
    player.load(kOrbAnimFile);
    ASSERT_TRUE(player.loaded());
    ASSERT_EQ(std::tuple(player.frameCount(), player.width(), player.height()),
              std::tuple(kOrbFrames, kOrbSize, kOrbSize));
    std::vector<std::uint16_t> pixels(kOrbSize * kOrbSize), first;
    int moved = 0;
    for (int frame = 0; frame <= kOrbFrames; ++frame) {
        const std::vector<std::uint16_t> before = pixels;
        player.decodeFrame(pixels.data(), kOrbSize * 2);
        if (frame == 0)
            first = pixels;
        else if (frame < kOrbFrames)
            moved += pixels != before;
        // Corners: the background, fully transparent; the middle: opaque.
        EXPECT_EQ(pixels.front() >> 12 | pixels.back() >> 12, 0) << "frame " << frame;
        EXPECT_EQ(pixels[kOrbSize * kOrbSize / 2 + kOrbSize / 2] >> 12, 0xF);
    }
    EXPECT_EQ(moved, kOrbFrames - 1);
    EXPECT_TRUE(pixels == first) << "the ring frame brings the first picture back";
}

}  // namespace
}  // namespace mirva
