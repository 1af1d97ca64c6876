#include <gtest/gtest.h>

#include "io/phile.h"
#include "io/surface.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

struct Tga {
    std::uint8_t type = 2;
    std::uint16_t width = 0, height = 0;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;
    std::vector<std::uint8_t> id;
    std::uint16_t mapLength = 0;
    std::uint8_t mapBits = 0;
    std::vector<std::uint8_t> pixels;  // as stored

    std::vector<std::uint8_t> bytes() const
    {
        std::vector<std::uint8_t> b{static_cast<std::uint8_t>(id.size()), static_cast<std::uint8_t>(mapLength ? 1 : 0), type,
                                    0, 0, static_cast<std::uint8_t>(mapLength), static_cast<std::uint8_t>(mapLength >> 8),
                                    mapBits, 0, 0, 0, 0,
                                    static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                                    static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8),
                                    depth, descriptor};
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), static_cast<std::size_t>(mapLength) * mapBits / 8, 0xEE);  // colour map, skipped
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    }
};

class TgaTest : public testing::Test {
protected:
    test::TempDir dir;
    Surface load(const Tga& tga, const std::string& name = "image.tga")
    {
        test::writeFile(dir.file(name), tga.bytes());
        return Surface(dir.file(name));
    }
    std::string fatal(const std::vector<std::uint8_t>& bytes, const std::string& name = "bad.tga")
    {
        test::writeFile(dir.file(name), bytes);
        return test::fatalMessage([&] { Surface s(dir.file(name)); });
    }
};

TEST_F(TgaTest, BottomFirst24BitRowsFillFromTheLastRowWithOpaqueAlpha)
{
    Tga tga;
    tga.width = 2;
    tga.height = 2;
    // stored first (bottom row): blue, then green; second (top row): red, then white
    tga.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    const Surface s = load(tga);
    ASSERT_EQ(s.width(), 2);
    ASSERT_EQ(s.height(), 2);
    EXPECT_EQ(s.pixel(0, 0), 0xffff0000u);
    EXPECT_EQ(s.pixel(1, 0), 0xffffffffu);
    EXPECT_EQ(s.pixel(0, 1), 0xff0000ffu);
    EXPECT_EQ(s.pixel(1, 1), 0xff00ff00u);
}

TEST_F(TgaTest, TopFirst32BitKeepsAlpha)
{
    Tga tga;
    tga.width = 1;
    tga.height = 2;
    tga.depth = 32;
    tga.descriptor = 0x20 | 8;  // top first, 8 alpha bits
    tga.pixels = {1, 2, 3, 4, 5, 6, 7, 0};
    const Surface s = load(tga);
    EXPECT_EQ(s.pixel(0, 0), 0x04030201u);
    EXPECT_EQ(s.pixel(0, 1), 0x00070605u);
}

TEST_F(TgaTest, PixelsFollowTheIdFieldAndColourMap)
{
    Tga tga;
    tga.width = 1;
    tga.height = 1;
    tga.id = {'h', 'e', 'l', 'l', 'o'};
    tga.mapLength = 3;
    tga.mapBits = 24;
    tga.pixels = {10, 20, 30};
    EXPECT_EQ(load(tga).pixel(0, 0), 0xff1e140au);
}

TEST_F(TgaTest, UpperCaseEndingLoadsLikeLowerCase)
{
    Tga tga;
    tga.width = 1;
    tga.height = 1;
    tga.pixels = {9, 8, 7};
    EXPECT_EQ(load(tga, "UPPER.TGA").pixel(0, 0), 0xff070809u);
}

TEST_F(TgaTest, RunLengthAndOtherTypesAreRefused)
{
    Tga tga;
    tga.width = 1;
    tga.height = 1;
    tga.pixels = {0, 0, 0};
    tga.type = 10;
    EXPECT_EQ(fatal(tga.bytes()), "Surface: unsupported feature in targa file '" + dir.file("bad.tga") + "'");
    tga.type = 1;
    EXPECT_EQ(fatal(tga.bytes()), "Surface: unsupported feature in targa file '" + dir.file("bad.tga") + "'");
}

TEST_F(TgaTest, DepthsOtherThan24Or32AreRefused)
{
    Tga tga;
    tga.width = 1;
    tga.height = 1;
    tga.pixels = {0, 0, 0, 0};
    for (std::uint8_t depth : {8, 15, 16, 40}) {
        tga.depth = depth;
        EXPECT_EQ(fatal(tga.bytes()), "Surface: unsupported color depth in targa file '" + dir.file("bad.tga") + "'")
            << int(depth);
    }
}

TEST_F(TgaTest, ShortFilesAreRefusedNotReadPastTheirEnd)
{
    const std::string truncated = "Surface: truncated targa file '" + dir.file("bad.tga") + "'";
    Tga tga;
    tga.width = 4;
    tga.height = 4;
    tga.pixels.assign(4 * 4 * 3 - 1, 0);  // one byte short
    EXPECT_EQ(fatal(tga.bytes()), truncated);
    EXPECT_EQ(fatal({}), truncated);                    // zero bytes
    EXPECT_EQ(fatal({0, 0, 2, 0, 0, 0}), truncated);    // half a header
    tga.pixels.clear();
    tga.id.assign(200, 'x');
    auto bytes = tga.bytes();
    bytes.resize(40);  // the ID field runs past the end
    EXPECT_EQ(fatal(bytes), truncated);
    Tga largest;  // the largest image there may be, without its pixels
    largest.width = 16384;
    largest.height = 16384;
    largest.depth = 32;
    EXPECT_EQ(fatal(largest.bytes()), truncated);
}

TEST_F(TgaTest, ZeroWidthOrHeightIsRefused)
{
    Tga tga;
    tga.width = 0;
    tga.height = 5;
    EXPECT_EQ(fatal(tga.bytes()), "Surface: no pixels (width or height 0) in targa file '" + dir.file("bad.tga") + "'");
    tga.width = 5;
    tga.height = 0;
    EXPECT_EQ(fatal(tga.bytes()), "Surface: no pixels (width or height 0) in targa file '" + dir.file("bad.tga") + "'");
}

TEST_F(TgaTest, MissingFileAndDirectoryGiveTheFileMessage)
{
    EXPECT_FATAL(Surface(dir.file("none.tga")), "Phile::load - couldn't open file '" + dir.file("none.tga") + "'");
    std::filesystem::create_directory(dir.file("folder.tga"));
    EXPECT_FATAL(Surface(dir.file("folder.tga")), "Phile::load - couldn't open file '" + dir.file("folder.tga") + "'");
}

TEST_F(TgaTest, LoadingAgainReplacesThePixels)
{
    Tga big;
    big.width = 3;
    big.height = 3;
    big.pixels.assign(27, 0);
    Tga small;
    small.width = 1;
    small.height = 1;
    small.pixels = {1, 2, 3};
    Surface s = load(big, "big.tga");
    test::writeFile(dir.file("small.tga"), small.bytes());
    s.load(dir.file("small.tga"));
    EXPECT_EQ(s.width(), 1);
    EXPECT_EQ(s.rect().right, 1);
    EXPECT_EQ(s.pixel(0, 0), 0xff030201u);
}

}  // namespace
}  // namespace mirva
