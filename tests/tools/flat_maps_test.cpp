// The flat effects' images as committed in data/: the same bytes the tool writes, a
// petal and a middle that are see-through around their shapes, and an inner pattern dim
// enough for the zoomer's feedback.
#include <algorithm>

#include <gtest/gtest.h>

#include "io/surface.h"
#include "tests/support/files.h"
#include "tools/flat_maps.h"

namespace mirva {
namespace {

TEST(FlatMaps, TheCommittedFilesAreWhatTheToolWrites)
{
    test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    test::TempDir dir;
    for (const std::string& file : writeFlatMaps(dir.path().string()))
        EXPECT_TRUE(test::readFile(dir.file(file)) == test::readFile(file))
            << file << " differs from the tool's output: rebuild it with the mirva_data target";
}

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

}  // namespace
}  // namespace mirva
