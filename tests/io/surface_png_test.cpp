#include <png.h>

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "io/phile.h"
#include "io/surface.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"

namespace mirva {
namespace {

using test::PngSpec;

class PngTest : public testing::Test {
protected:
    test::TempDir dir;
    Surface load(const PngSpec& desc, const std::string& name = "image.png")
    {
        test::writePng(dir.file(name), desc);
        return Surface(dir.file(name));
    }
    std::string couldntLoad(const std::string& name) const { return "couldn't load '" + dir.file(name) + "'"; }
};

TEST_F(PngTest, Rgb8ArrivesOpaqueInPlace)
{
    PngSpec desc{.width = 2, .height = 2, .colorType = PNG_COLOR_TYPE_RGB};
    desc.samples = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    const Surface s = load(desc);
    ASSERT_EQ(s.width(), 2);
    ASSERT_EQ(s.height(), 2);
    EXPECT_EQ(s.pixel(0, 0), 0xffff0000u);
    EXPECT_EQ(s.pixel(1, 0), 0xff00ff00u);
    EXPECT_EQ(s.pixel(0, 1), 0xff0000ffu);
    EXPECT_EQ(s.pixel(1, 1), 0xff0a141eu);
}

TEST_F(PngTest, Rgba8KeepsAlpha)
{
    PngSpec desc{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA};
    desc.samples = {1, 2, 3, 0, 200, 100, 50, 128};
    const Surface s = load(desc);
    EXPECT_EQ(s.pixel(0, 0), 0x00010203u);
    EXPECT_EQ(s.pixel(1, 0), 0x80c86432u);
}

TEST_F(PngTest, GreyBecomesThreeEqualChannels)
{
    PngSpec desc{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY};
    desc.samples = {0, 77, 255};
    const Surface s = load(desc);
    EXPECT_EQ(s.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(s.pixel(1, 0), 0xff4d4d4du);
    EXPECT_EQ(s.pixel(2, 0), 0xffffffffu);
}

TEST_F(PngTest, SmallGreyDepthsAreScaledTo8Bits)
{
    PngSpec one{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1};
    one.samples = {1, 0, 1};
    Surface s = load(one, "one.png");
    EXPECT_EQ(s.pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(s.pixel(1, 0), 0xff000000u);
    PngSpec four{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 4};
    four.samples = {15, 5, 0};
    s = load(four, "four.png");
    EXPECT_EQ(s.pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(s.pixel(1, 0), 0xff555555u);
    EXPECT_EQ(s.pixel(2, 0), 0xff000000u);
}

TEST_F(PngTest, GreyWithAlphaKeepsItsAlpha)
{
    PngSpec desc{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA};
    desc.samples = {60, 10};
    EXPECT_EQ(load(desc).pixel(0, 0), 0x0a3c3c3cu);
}

TEST_F(PngTest, GreyTransparencyChunkBecomesAlpha)
{
    PngSpec desc{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY};
    desc.samples = {9, 10};
    desc.transparentGrey = 9;
    const Surface s = load(desc);
    EXPECT_EQ(s.pixel(0, 0), 0x00090909u);
    EXPECT_EQ(s.pixel(1, 0), 0xff0a0a0au);
}

TEST_F(PngTest, PaletteExpandsAndTransparencyBecomesAlpha)
{
    PngSpec desc{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE};
    desc.paletteRgb = {10, 20, 30, 255, 128, 0, 1, 2, 3};
    desc.samples = {1, 0, 2};
    Surface s = load(desc, "opaque.png");
    EXPECT_EQ(s.pixel(0, 0), 0xffff8000u);
    EXPECT_EQ(s.pixel(1, 0), 0xff0a141eu);
    EXPECT_EQ(s.pixel(2, 0), 0xff010203u);
    desc.paletteAlpha = {0, 99};  // entries past the list stay opaque
    s = load(desc, "transparent.png");
    EXPECT_EQ(s.pixel(0, 0), 0x63ff8000u);
    EXPECT_EQ(s.pixel(1, 0), 0x000a141eu);
    EXPECT_EQ(s.pixel(2, 0), 0xff010203u);
}

TEST_F(PngTest, SixteenBitChannelsKeepTheirHighByte)
{
    PngSpec desc{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .bitDepth = 16};
    desc.samples = {0x1234, 0xABCD, 0xFF00, 0x8001};
    EXPECT_EQ(load(desc).pixel(0, 0), 0x8012abffu);
}

TEST_F(PngTest, InterlacedImageArrivesWhole)
{
    PngSpec desc{.width = 9, .height = 7, .colorType = PNG_COLOR_TYPE_RGB, .interlaced = true};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            desc.samples.insert(desc.samples.end(), {static_cast<std::uint16_t>(x * 20), static_cast<std::uint16_t>(y * 30),
                                                     static_cast<std::uint16_t>(x + y)});
    const Surface s = load(desc);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(s.pixel(x, y), packArgb(255, static_cast<std::uint8_t>(x * 20), static_cast<std::uint8_t>(y * 30),
                                              static_cast<std::uint8_t>(x + y)))
                << x << "," << y;
}

TEST_F(PngTest, GammaChunkIsCorrectedForAScreenGammaOf2_2)
{
    // A linear file (gamma 1.0) shown on a 2.2 screen: out = in ^ (1 / 2.2).
    PngSpec desc{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_RGB};
    desc.samples = {0, 64, 128, 192, 255, 32, 16, 100, 200};
    desc.gamma = 1.0;
    const Surface s = load(desc);
    for (int i = 0; i < 9; ++i) {
        const int x = i / 3;
        const int shift = 16 - 8 * (i % 3);
        const int got = static_cast<int>((s.pixel(x, 0) >> shift) & 0xff);
        const double expected = 255.0 * std::pow(desc.samples[static_cast<std::size_t>(i)] / 255.0, 1.0 / 2.2);
        EXPECT_NEAR(got, expected, 1.0) << "sample " << i;
    }
}

TEST_F(PngTest, BackgroundChunkIsCompositedUnder)
{
    PngSpec desc{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA};
    desc.samples = {255, 0, 0, 255, 255, 0, 0, 0};
    desc.backgroundRgb[0] = 0;
    desc.backgroundRgb[1] = 0;
    desc.backgroundRgb[2] = 255;
    const Surface s = load(desc);
    EXPECT_EQ(s.pixel(0, 0), 0xffff0000u);  // opaque stays
    EXPECT_EQ(s.pixel(1, 0), 0xff0000ffu);  // transparent shows the background
}

TEST_F(PngTest, PngFilesAreRecordedEvenWhenMissing)
{
    test::ScopedWorkingDir cd(dir.path());
    PngSpec desc{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {5}};
    test::writePng("a.png", desc);
    Phile::enableUsedFiles();
    Surface s("a.png");
    test::fatalMessage([] { Surface missing("b.png"); });
    Phile::disableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "a.png\nb.png\n");
}

TEST_F(PngTest, BrokenFilesEndInCouldntLoad)
{
    PngSpec desc{.width = 16, .height = 16, .colorType = PNG_COLOR_TYPE_RGB};
    for (int i = 0; i < 16 * 16 * 3; ++i)
        desc.samples.push_back(static_cast<std::uint16_t>(i * 7 % 256));
    test::writePng(dir.file("good.png"), desc);
    const auto good = test::readFile(dir.file("good.png"));

    auto truncated = good;
    truncated.resize(good.size() / 2);
    test::writeFile(dir.file("truncated.png"), truncated);
    EXPECT_FATAL(Surface(dir.file("truncated.png")), couldntLoad("truncated.png"));

    auto headerOnly = good;
    headerOnly.resize(20);
    test::writeFile(dir.file("header.png"), headerOnly);
    EXPECT_FATAL(Surface(dir.file("header.png")), couldntLoad("header.png"));

    auto corrupt = good;
    corrupt[good.size() - 30] ^= 0x5a;  // inside the image data: the checksum fails
    test::writeFile(dir.file("corrupt.png"), corrupt);
    EXPECT_FATAL(Surface(dir.file("corrupt.png")), couldntLoad("corrupt.png"));

    auto notPng = good;
    notPng[1] = 'Q';
    test::writeFile(dir.file("notpng.png"), notPng);
    EXPECT_FATAL(Surface(dir.file("notpng.png")), couldntLoad("notpng.png"));

    test::writeFile(dir.file("empty.png"), {});
    EXPECT_FATAL(Surface(dir.file("empty.png")), couldntLoad("empty.png"));
    EXPECT_FATAL(Surface(dir.file("missing.png")), couldntLoad("missing.png"));
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_FATAL(Surface(dir.file("folder.png")), couldntLoad("folder.png"));
}

TEST_F(PngTest, ZeroWidthHeaderIsRefused)
{
    PngSpec desc{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {1, 2}};
    test::writePng(dir.file("zero.png"), desc);
    auto bytes = test::readFile(dir.file("zero.png"));
    bytes[16] = bytes[17] = bytes[18] = bytes[19] = 0;  // IHDR width (its CRC no longer matches either)
    test::writeFile(dir.file("zero.png"), bytes);
    EXPECT_FATAL(Surface(dir.file("zero.png")), couldntLoad("zero.png"));
}

}  // namespace
}  // namespace mirva
