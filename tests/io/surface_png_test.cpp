// PNG files: what every colour type, depth and chunk loads to, files that break, and the
// sizes files claim, bounded before anything is allocated by them: images larger than the
// largest image, and chunks larger than any real image's text or profile.
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
using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint32_t>;

class PngTest : public testing::Test {
protected:
    void TearDown() override { Surface::setLargestImage(Surface::kDefaultLargestImage, Surface::kDefaultLargestImage); }
    Surface load(const PngSpec& desc, const std::string& name = "image.png")
    {
        test::writePng(dir.file(name), desc);
        return Surface(dir.file(name));
    }
    // What loading these bytes ends in.
    std::string fatal(const Bytes& bytes, const std::string& name = "bad.png")
    {
        test::writeFile(dir.file(name), bytes);
        return test::fatalMessage([&] { Surface s(dir.file(name)); });
    }
    std::string couldntLoad(const std::string& name = "bad.png") const
    {
        return "couldn't load '" + dir.file(name) + "'";
    }
    std::string tooLarge(const char* size, const char* largest = "16384 x 16384") const
    {
        return "Surface: image '" + dir.file("bad.png") + "' is " + size + " pixels, larger than the " + largest +
               " the device can use";
    }
    test::TempDir dir;
};

TEST_F(PngTest, EveryColourTypeLoadsToItsPixels)
{
    PngSpec transparentPalette{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE, .samples = {1, 0, 2},
                               .paletteRgb = {10, 20, 30, 255, 128, 0, 1, 2, 3}};
    PngSpec opaquePalette = transparentPalette;
    transparentPalette.paletteAlpha = {0, 99};  // entries past the list stay opaque
    PngSpec background{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA,
                       .samples = {255, 0, 0, 255, 255, 0, 0, 0}};
    background.backgroundRgb[0] = 0, background.backgroundRgb[1] = 0, background.backgroundRgb[2] = 255;
    const struct {
        PngSpec desc;
        Pixels loaded;   // width, height, pixels
    } cases[] = {
        {{.width = 2, .height = 2, .colorType = PNG_COLOR_TYPE_RGB,
          .samples = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30}},
         {2, 2, 0xffff0000u, 0xff00ff00u, 0xff0000ffu, 0xff0a141eu}},
        {{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .samples = {1, 2, 3, 0, 200, 100, 50, 128}},
         {2, 1, 0x00010203u, 0x80c86432u}},
        {{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {0, 77, 255}},
         {3, 1, 0xff000000u, 0xff4d4d4du, 0xffffffffu}},
        // Grey of 1 and 4 bits is scaled to 8 bits.
        {{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1, .samples = {1, 0, 1}},
         {3, 1, 0xffffffffu, 0xff000000u, 0xffffffffu}},
        {{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 4, .samples = {15, 5, 0}},
         {3, 1, 0xffffffffu, 0xff555555u, 0xff000000u}},
        {{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .samples = {60, 10}}, {1, 1, 0x0a3c3c3cu}},
        {{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {9, 10}, .transparentGrey = 9},
         {2, 1, 0x00090909u, 0xff0a0a0au}},
        {opaquePalette, {3, 1, 0xffff8000u, 0xff0a141eu, 0xff010203u}},
        {transparentPalette, {3, 1, 0x63ff8000u, 0x000a141eu, 0xff010203u}},
        // 16-bit channels keep their high byte.
        {{.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_RGB_ALPHA, .bitDepth = 16,
          .samples = {0x1234, 0xABCD, 0xFF00, 0x8001}},
         {1, 1, 0x8012abffu}},
        {background, {2, 1, 0xffff0000u, 0xff0000ffu}},   // the background shows through where transparent
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Surface s = load(cases[i].desc, i == 0 ? "mixed.Png" : "image.png");
        Pixels loaded{static_cast<std::uint32_t>(s.width()), static_cast<std::uint32_t>(s.height())};
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                loaded.push_back(s.pixel(x, y));
        EXPECT_EQ(loaded, cases[i].loaded) << "case " << i;
    }
}

TEST_F(PngTest, InterlacedImageArrivesWhole)
{
    PngSpec desc{.width = 9, .height = 7, .colorType = PNG_COLOR_TYPE_RGB, .interlaced = true};
    const auto sample = [](int x, int y, int channel) { return channel == 0 ? x * 20 : channel == 1 ? y * 30 : x + y; };
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            for (int channel = 0; channel < 3; ++channel)
                desc.samples.push_back(static_cast<std::uint16_t>(sample(x, y, channel)));
    const Surface s = load(desc);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(s.pixel(x, y), packArgb(255, static_cast<std::uint8_t>(sample(x, y, 0)),
                                              static_cast<std::uint8_t>(sample(x, y, 1)),
                                              static_cast<std::uint8_t>(sample(x, y, 2))))
                << x << "," << y;
}

TEST_F(PngTest, GammaChunkIsCorrectedForAScreenGammaOf2_2)
{
    // A linear file (gamma 1.0) shown on a 2.2 screen: out = in ^ (1 / 2.2).
    const PngSpec desc{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_RGB,
                       .samples = {0, 64, 128, 192, 255, 32, 16, 100, 200}, .gamma = 1.0};
    const Surface s = load(desc);
    for (int i = 0; i < 9; ++i) {
        const int got = static_cast<int>((s.pixel(i / 3, 0) >> (16 - 8 * (i % 3))) & 0xff);
        EXPECT_NEAR(got, 255.0 * std::pow(desc.samples[static_cast<std::size_t>(i)] / 255.0, 1.0 / 2.2), 1.0) << i;
    }
}

TEST_F(PngTest, PngFilesAreRecordedEvenWhenMissing)
{
    test::ScopedWorkingDir cd(dir.path());
    test::writePng("a.png", {.width = 1, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {5}});
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
    const Bytes good = test::readFile(dir.file("good.png"));
    const auto changed = [&good](std::size_t keep, std::size_t at, std::uint8_t mask) {
        Bytes b(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
        if (at < keep)
            b[at] ^= mask;
        return b;
    };
    for (const Bytes& bytes : {changed(good.size() / 2, 0, 0),   // truncated
                               changed(20, 0, 0),                 // the header alone
                               changed(good.size(), good.size() - 30, 0x5a),   // image data: the checksum fails
                               changed(good.size(), 1, 'P' ^ 'Q'),             // no PNG signature
                               Bytes{}})
        EXPECT_EQ(fatal(bytes), couldntLoad());
    // A zero width in the header (its CRC no longer matches either).
    Bytes zero = good;
    zero[16] = zero[17] = zero[18] = zero[19] = 0;
    EXPECT_EQ(fatal(zero), couldntLoad());
    EXPECT_FATAL(Surface(dir.file("missing.png")), couldntLoad("missing.png"));
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_FATAL(Surface(dir.file("folder.png")), couldntLoad("folder.png"));
}

// Crafted files, to claim what no writer would.
void put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A chunk whose length field says `claimed` bytes, followed by `data` and its checksum.
void putChunk(Bytes& out, const char* type, const Bytes& data, std::uint32_t claimed)
{
    put32(out, claimed);
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

void putChunk(Bytes& out, const char* type, const Bytes& data)
{
    putChunk(out, type, data, static_cast<std::uint32_t>(data.size()));
}

// The header of an 8-bit RGB image of this size.
Bytes pngStart(std::uint32_t width, std::uint32_t height)
{
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(out, "IHDR", header);
    return out;
}

// A 1 x 1 black RGB image's compressed data: one row of filter byte and three samples.
const Bytes kOnePixel{0x78, 0x9C, 0x63, 0x60, 0x60, 0x60, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01};

Bytes crafted(std::uint32_t width, std::uint32_t height)
{
    Bytes b = pngStart(width, height);
    putChunk(b, "IDAT", kOnePixel);
    putChunk(b, "IEND", {});
    return b;
}

TEST_F(PngTest, ImagesLargerThanTheLargestAreRefusedByTheirHeader)
{
    // The crafted files differ from this one, which loads, only where their cases say.
    test::writeFile(dir.file("one.png"), crafted(1, 1));
    EXPECT_EQ(Surface(dir.file("one.png")).pixel(0, 0), 0xFF000000u);
    // Headers alone: the pixels they promise are not there, and never allocated.
    EXPECT_EQ(fatal(crafted(20000, 20000)), tooLarge("20000 x 20000"));
    EXPECT_EQ(fatal(crafted(1, 16385)), tooLarge("1 x 16385"));
    EXPECT_EQ(fatal(crafted(0x7FFFFFFF, 1)), tooLarge("2147483647 x 1"));
    // The largest size itself passes the check; this file then ends for its missing rows.
    EXPECT_EQ(fatal(crafted(16384, 1)), couldntLoad());
    // The limit the engine sets holds for PNG files too.
    Surface::setLargestImage(8, 4);
    PngSpec fits{.width = 8, .height = 4, .colorType = 0, .samples = std::vector<std::uint16_t>(32, 7)};
    EXPECT_EQ(load(fits).height(), 4);
    const PngSpec wide{.width = 9, .height = 1, .colorType = 0, .samples = std::vector<std::uint16_t>(9, 7)};
    EXPECT_FATAL(load(wide, "bad.png"), tooLarge("9 x 1", "8 x 4"));
}

TEST_F(PngTest, AChunkClaimingMoreThanTheLimitIsRefusedBeforeItsDataIsRead)
{
    constexpr std::uint32_t kHuge = 0x64000000;  // 1.68 GB in a file of a hundred bytes
    const struct {
        const char* type;
        std::uint32_t claimed;
        bool afterImage;
    } cases[] = {{"tEXt", kHuge, false}, {"zTXt", kHuge, false}, {"iTXt", kHuge, false},   {"iCCP", kHuge, false},
                 {"prVt", kHuge, false}, {"tEXt", 0x7FFFFFFF, true}, {"tEXt", (4u << 20) + 1, false}};
    for (const auto& c : cases) {
        Bytes b = pngStart(1, 1);
        if (c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, c.type, {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'}, c.claimed);
        if (!c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, "IEND", {});
        EXPECT_EQ(fatal(b), "Surface: PNG '" + dir.file("bad.png") + "' has a " + c.type + " chunk of " +
                                std::to_string(c.claimed) + " bytes, more than the 4194304 a chunk may hold")
            << c.type;
    }
    // At the limit a chunk is read as usual: this one ends with the file.
    Bytes atLimit = pngStart(1, 1);
    putChunk(atLimit, "tEXt", {'a', 0, 'b'}, 4u << 20);
    EXPECT_EQ(fatal(atLimit), couldntLoad());
    // Image data is read as it streams in, never whole: its length is not limited.
    Bytes data = pngStart(1, 1);
    putChunk(data, "IDAT", kOnePixel, kHuge);
    EXPECT_EQ(fatal(data), couldntLoad());
}

}  // namespace
}  // namespace mirva
