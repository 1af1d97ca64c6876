#include "io/surface.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

TEST(Surface, BlankIsOpaqueBlackWithItsRectangle)
{
    const Surface s(3, 2);
    ASSERT_EQ(s.width(), 3);
    ASSERT_EQ(s.height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(s.pixel(x, y), 0xff000000u);
    EXPECT_EQ(s.rect().left, 0);
    EXPECT_EQ(s.rect().top, 0);
    EXPECT_EQ(s.rect().right, 3);
    EXPECT_EQ(s.rect().bottom, 2);
    // Memory order of a pixel is blue, green, red, alpha.
    Surface t(1, 1);
    t.setPixel(0, 0, packArgb(0x44, 0x33, 0x22, 0x11));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(t.pixels());
    EXPECT_EQ((std::vector<int>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::vector<int>{0x11, 0x22, 0x33, 0x44}));
}

TEST(Surface, ReleaseEmptiesAndClearZeroes)
{
    Surface s(2, 2);
    s.clear();
    EXPECT_EQ(s.pixel(1, 1), 0u);
    EXPECT_EQ(s.pixel(0, 0), 0u);
    s.release();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.width(), 0);
    EXPECT_EQ(s.height(), 0);
    EXPECT_EQ(s.rect().left, -1);
    EXPECT_EQ(s.rect().bottom, -1);
    s.create(1, 4);  // creating again after release
    EXPECT_EQ(s.height(), 4);
    EXPECT_EQ(s.pixel(0, 3), 0xff000000u);
}

Surface numbered(int w, int h)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.setPixel(x, y, static_cast<std::uint32_t>(100 * y + x));
    return s;
}

TEST(Surface, CopyMovesABlockRowByRow)
{
    const Surface source = numbered(4, 4);
    Surface dest(5, 5);
    dest.copy(2, 1, source, 1, 2, 3, 2);
    EXPECT_EQ(dest.pixel(2, 1), 201u);
    EXPECT_EQ(dest.pixel(4, 1), 203u);
    EXPECT_EQ(dest.pixel(2, 2), 301u);
    EXPECT_EQ(dest.pixel(4, 2), 303u);
    EXPECT_EQ(dest.pixel(1, 1), 0xff000000u);
    EXPECT_EQ(dest.pixel(2, 3), 0xff000000u);
    EXPECT_EQ(dest.pixel(2, 0), 0xff000000u);
}

TEST(Surface, CopyOfHeightZeroChangesNothing)
{
    const Surface source = numbered(4, 4);
    Surface dest = numbered(4, 4);
    dest.setPixel(0, 0, 7);
    dest.copy(0, 0, source, 0, 0, 4, 0);
    dest.copy(0, 0, source, 0, 0, 4, -3);
    EXPECT_EQ(dest.pixel(0, 0), 7u);
}

TEST(Surface, CopyOutsideEitherSurfaceIsRefused)
{
    const Surface source = numbered(4, 4);
    Surface dest(4, 4);
    EXPECT_FATAL(dest.copy(2, 0, source, 0, 0, 3, 1),
                 "Surface: block copy of 3 x 1 from (0, 0) to (2, 0) lies outside the surfaces");
    EXPECT_FATAL(dest.copy(0, 0, source, 0, 3, 1, 2),
                 "Surface: block copy of 1 x 2 from (0, 3) to (0, 0) lies outside the surfaces");
    EXPECT_EQ(dest.pixel(3, 0), 0xff000000u);
}

TEST(Surface, FormatComesFromTheEndingInAnyCase)
{
    EXPECT_EQ(Surface::determineImageFormat("maps/a.tga"), IMAGE_TGA);
    EXPECT_EQ(Surface::determineImageFormat("maps/A.TGA"), IMAGE_TGA);
    EXPECT_EQ(Surface::determineImageFormat("b.Png"), IMAGE_PNG);
    EXPECT_EQ(Surface::determineImageFormat("c.jpg"), IMAGE_JPEG);
    EXPECT_EQ(Surface::determineImageFormat("c.JPEG"), IMAGE_JPEG);
    EXPECT_EQ(Surface::determineImageFormat("tga"), IMAGE_TGA);  // only the last three characters count
    EXPECT_FATAL(Surface::determineImageFormat("d.bmp"), "Surface: Unsupported file format in file 'd.bmp'");
    EXPECT_FATAL(Surface::determineImageFormat("ng"), "Surface: Unsupported file format in file 'ng'");
    EXPECT_FATAL(Surface::determineImageFormat(""), "Surface: Unsupported file format in file ''");
}

TEST(Surface, JpegIsRecognisedAndRefused)
{
    EXPECT_FATAL(Surface("photo.jpg"), "JPEGLib not included");
}

}  // namespace
}  // namespace mirva
