// The images of the flat effects and the painted objects as committed in data/: the same
// bytes the tool writes, a petal, a middle and a brush that are see-through around their
// shapes, an inner pattern dim enough for the zoomer's feedback, and an environment that
// reads as sky and ground when a normal looks it up.
#include <algorithm>

#include <gtest/gtest.h>

#include "io/surface.h"
#include "tests/support/files.h"
#include "tools/flat_maps.h"

namespace mirva {
namespace {

TEST(FlatMaps, ShapesAreCutOutByAlphaAndThePatternStaysDim)
{
    const auto alpha = [](const Surface& image, int x, int y) { return image.pixel(x, y) >> 24; };
    const Surface petal = petalImage(), middle = middleImage();
    EXPECT_EQ(alpha(petal, 0, 0), 0u);
    EXPECT_EQ(alpha(petal, 0, 127), 0u);
    EXPECT_EQ(alpha(petal, 32, 64), 255u);
    EXPECT_EQ(alpha(middle, 0, 0), 0u);
    EXPECT_EQ(alpha(middle, 32, 32), 255u);

    const Surface inner = innerImage();
    std::uint32_t brightest = 0;
    for (int y = 0; y < inner.height(); ++y)
        for (int x = 0; x < inner.width(); ++x)
            for (int shift : {0, 8, 16})
                brightest = std::max(brightest, (inner.pixel(x, y) >> shift) & 0xFF);
    EXPECT_GT(brightest, 40u);
    EXPECT_LT(brightest, 80u);
}

TEST(FlatMaps, TheBrushIsASoftDabAndTheEnvironmentHasSkyAboveAndGroundBelow)
{
    const auto channel = [](const Surface& image, int x, int y, int shift) {
        return static_cast<int>((image.pixel(x, y) >> shift) & 0xFF);
    };
    const Surface brush = brushImage(), environment = environmentImage();
    EXPECT_EQ(channel(brush, 0, 0, 24) + channel(brush, 64, 0, 24) + channel(brush, 0, 32, 24), 0);
    EXPECT_GT(channel(brush, 64, 32, 24), 100);
    EXPECT_GT(channel(brush, 64, 32, 16), 200);  // white, to be tinted
    // Looked up as a sphere map: row 0 is a normal pointing up, the last row down.
    EXPECT_GT(channel(environment, 128, 20, 0), channel(environment, 128, 20, 16) + 60);
    EXPECT_GT(channel(environment, 128, 235, 16), channel(environment, 128, 235, 0) + 25);
}

}  // namespace
}  // namespace mirva
