// Surfaces in memory (pixel layout, copies, the format from a name's ending) and the image
// files they load: the pixels of every TGA layout and PNG colour type, depth and chunk; the
// message of each file refused; and the sizes files claim, bounded before anything is
// allocated by them: images larger than the largest image, and PNG chunks larger than any
// real image's text or profile.
#include "io/surface.h"

#include <png.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <numeric>

#include <gtest/gtest.h>

#include "io/phile.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"

namespace mirva {
namespace {

using test::PngSpec;
using Pixels = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

// The width, the height, then the pixels row by row.
Pixels sizeAndPixels(const Surface& s)
{
    Pixels all{static_cast<std::uint32_t>(s.width()), static_cast<std::uint32_t>(s.height())};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            all.push_back(s.pixel(x, y));
    return all;
}

constexpr std::uint32_t kBlack = 0xff000000u;

TEST(Surface, BlankIsOpaqueBlackStoredBlueFirstAndClearZeroes)
{
    Surface s(3, 2);
    EXPECT_EQ(sizeAndPixels(s), (Pixels{3, 2, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack}));
    s.setPixel(0, 0, packArgb(0x44, 0x33, 0x22, 0x11));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.pixels());
    EXPECT_EQ((std::vector<int>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::vector<int>{0x11, 0x22, 0x33, 0x44}));
    s.clear();
    EXPECT_EQ(sizeAndPixels(s), (Pixels{3, 2, 0, 0, 0, 0, 0, 0}));
}

TEST(Surface, CopyMovesABlockRowByRowInsideBothSurfacesOnly)
{
    Surface source(4, 4), dest(4, 3);
    std::iota(source.pixels(), source.pixels() + 16, 0u);   // pixel (x, y) is 4 * y + x
    dest.copy(1, 1, source, 1, 2, 3, 2);
    const auto B = kBlack;
    EXPECT_EQ(sizeAndPixels(dest), (Pixels{4, 3, B, B, B, B, B, 9, 10, 11, B, 13, 14, 15}));
    dest.copy(0, 0, source, 0, 0, 4, 0);   // height 0 or below copies nothing
    dest.copy(0, 0, source, 0, 0, 4, -3);
    EXPECT_EQ(dest.pixel(0, 0), kBlack);
    EXPECT_FATAL(dest.copy(2, 0, source, 0, 0, 3, 1),
                 "Surface: block copy of 3 x 1 from (0, 0) to (2, 0) lies outside the surfaces");
    EXPECT_FATAL(dest.copy(0, 0, source, 0, 3, 1, 2),
                 "Surface: block copy of 1 x 2 from (0, 3) to (0, 0) lies outside the surfaces");
    EXPECT_EQ(dest.pixel(3, 0), kBlack);
}

TEST(Surface, TheFormatComesFromTheLastCharactersOfTheName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"photo.jpg", "JPEGLib not included"},
        {"photo.JPEG", "JPEGLib not included"},
        {"tga", "Phile::load - couldn't open file 'tga'"},   // a TGA file, by its last three characters
        {"d.bmp", "Surface: Unsupported file format in file 'd.bmp'"},
        {"ng", "Surface: Unsupported file format in file 'ng'"},
        {"", "Surface: Unsupported file format in file ''"},
    };
    for (const auto& [name, message] : cases)
        EXPECT_FATAL(Surface{name}, message);
}

struct Tga {
    std::uint8_t type = 2;
    std::uint16_t width = 1, height = 1;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;
    Bytes id;
    std::uint16_t mapLength = 0;
    std::uint8_t mapBits = 0;
    Bytes pixels;  // as stored

    Bytes bytes() const
    {
        const auto lo = [](unsigned v) { return static_cast<std::uint8_t>(v); };
        Bytes b{lo(id.size()), lo(mapLength ? 1 : 0), type, 0, 0, lo(mapLength), lo(mapLength >> 8), mapBits, 0, 0, 0,
                0, lo(width), lo(width >> 8), lo(height), lo(height >> 8), depth, descriptor};
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), static_cast<std::size_t>(mapLength) * mapBits / 8, 0xEE);  // colour map, skipped
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    }
};

// Image files written into a folder of their own, the working folder; a file that fails
// is "bad.tga" or "bad.png".
class ImageFiles : public testing::Test {
protected:
    void TearDown() override
    {
        Phile::disableUsedFiles();
        Surface::setLargestImage(Surface::kDefaultLargestImage, Surface::kDefaultLargestImage);
    }
    static std::string write(const Bytes& bytes, const std::string& name = "bad.tga")
    {
        test::writeFile(name, bytes);
        return name;
    }
    static Surface load(const PngSpec& desc, const std::string& name = "image.png")
    {
        test::writePng(name, desc);
        return Surface(name);
    }
    // What loading these bytes ends in.
    static std::string fatal(const Bytes& bytes, const std::string& name = "bad.tga")
    {
        return test::fatalMessage([&] { Surface s(write(bytes, name)); });
    }
    static std::string refused(const std::string& why) { return "Surface: " + why + " targa file 'bad.tga'"; }
    static std::string couldntLoad(const std::string& name = "bad.png") { return "couldn't load '" + name + "'"; }
    static std::string tooLarge(const char* size, const std::string& name = "bad.tga",
                                const char* largest = "16384 x 16384")
    {
        return "Surface: image '" + name + "' is " + size + " pixels, larger than the " + largest +
               " the device can use";
    }
    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
};

TEST_F(ImageFiles, TgaFilesLoadToTheirPixels)
{
    const struct {
        const char* name;
        Tga tga;
        Pixels loaded;
    } cases[] = {
        // Stored bottom row first: blue, green; then the top row: red, white.
        {"rows.tga", {.width = 2, .height = 2, .pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}},
         {2, 2, 0xffff0000u, 0xffffffffu, 0xff0000ffu, 0xff00ff00u}},
        {"alpha.tga", {.height = 2, .depth = 32, .descriptor = 0x20 | 8, .pixels = {1, 2, 3, 4, 5, 6, 7, 0}},
         {1, 2, 0x04030201u, 0x00070605u}},   // top row first, 8 alpha bits
        {"id.tga", {.id = {'h', 'e', 'l', 'l', 'o'}, .mapLength = 3, .mapBits = 24, .pixels = {10, 20, 30}},
         {1, 1, 0xff1e140au}},   // the pixels follow the ID field and the colour map
        {"UPPER.TGA", {.pixels = {9, 8, 7}}, {1, 1, 0xff070809u}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeAndPixels(Surface(write(c.tga.bytes(), c.name))), c.loaded) << c.name;
    // Loading again replaces the pixels and the rectangle.
    Surface s(write(Tga{.width = 3, .height = 3, .pixels = Bytes(27, 0)}.bytes(), "big.tga"));
    s.load(write(cases[3].tga.bytes(), "small.tga"));
    EXPECT_EQ(sizeAndPixels(s), (Pixels{1, 1, 0xff070809u}));
    EXPECT_EQ(s.rect().right, 1);
}

TEST_F(ImageFiles, TgaFilesThatCannotBeReadOrAreLargerThanTheEngineSetAreRefusedByName)
{
    Bytes idPastTheEnd = Tga{.id = Bytes(200, 'x')}.bytes();
    idPastTheEnd.resize(40);
    const struct {
        Bytes bytes;
        std::string message;
    } cases[] = {
        {Tga{.type = 10, .pixels = {0, 0, 0}}.bytes(), refused("unsupported feature in")},   // run-length
        {Tga{.type = 1, .pixels = {0, 0, 0}}.bytes(), refused("unsupported feature in")},
        {Tga{.depth = 8, .pixels = {0, 0, 0, 0}}.bytes(), refused("unsupported color depth in")},
        {Tga{.depth = 15, .pixels = {0, 0, 0, 0}}.bytes(), refused("unsupported color depth in")},
        {Tga{.depth = 16, .pixels = {0, 0, 0, 0}}.bytes(), refused("unsupported color depth in")},
        {Tga{.depth = 40, .pixels = {0, 0, 0, 0}}.bytes(), refused("unsupported color depth in")},
        {Tga{.width = 4, .height = 4, .pixels = Bytes(47, 0)}.bytes(), refused("truncated")},   // a byte short
        {{}, refused("truncated")},
        {{0, 0, 2, 0, 0, 0}, refused("truncated")},   // half a header
        {idPastTheEnd, refused("truncated")},
        {Tga{.width = 16384, .height = 16384, .depth = 32}.bytes(), refused("truncated")},   // the largest, no pixels
        {Tga{.width = 0, .height = 5}.bytes(), refused("no pixels (width or height 0) in")},
        {Tga{.width = 5, .height = 0}.bytes(), refused("no pixels (width or height 0) in")},
        // Sizes are refused by the header alone: the pixels promised are never allocated.
        {Tga{.width = 0xFFFF, .height = 0xFFFF, .depth = 32}.bytes(), tooLarge("65535 x 65535")},
        {Tga{.width = 16385, .depth = 32}.bytes(), tooLarge("16385 x 1")},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(fatal(cases[i].bytes), cases[i].message) << "case " << i;
    // The largest image is what the engine sets (until then 16384 each way, as above).
    Surface::setLargestImage(8, 4);
    EXPECT_EQ(Surface(write(Tga{.width = 8, .height = 4, .pixels = Bytes(96, 0x40)}.bytes(), "fits.tga")).width(), 8);
    EXPECT_EQ(fatal(Tga{.width = 8, .height = 5}.bytes()), tooLarge("8 x 5", "bad.tga", "8 x 4"));
    EXPECT_EQ(fatal(Tga{.width = 9}.bytes()), tooLarge("9 x 1", "bad.tga", "8 x 4"));
}

TEST_F(ImageFiles, PngEveryColourTypeLoadsToItsPixels)
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
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(sizeAndPixels(load(cases[i].desc, i == 0 ? "mixed.Png" : "image.png")), cases[i].loaded) << i;
}

TEST_F(ImageFiles, PngInterlacedImageArrivesWholeAndAGammaChunkIsCorrectedForAScreenOf2_2)
{
    const auto sample = [](int x, int y, int channel) { return channel == 0 ? x * 20 : channel == 1 ? y * 30 : x + y; };
    PngSpec interlaced{.width = 9, .height = 7, .colorType = PNG_COLOR_TYPE_RGB, .interlaced = true};
    for (int i = 0; i < 9 * 7 * 3; ++i)
        interlaced.samples.push_back(static_cast<std::uint16_t>(sample(i / 3 % 9, i / 27, i % 3)));
    // A linear file (gamma 1.0) shown on a 2.2 screen: out = in ^ (1 / 2.2).
    const PngSpec linear{.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_RGB,
                         .samples = {0, 64, 128, 192, 255, 32, 16, 100, 200}, .gamma = 1.0};
    const Surface s = load(interlaced), g = load(linear, "gamma.png");
    for (int i = 0; i < 9 * 7 * 3; ++i)
        ASSERT_EQ((s.pixel(i / 3 % 9, i / 27) >> (16 - 8 * (i % 3))) & 0xff, sample(i / 3 % 9, i / 27, i % 3)) << i;
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR((g.pixel(i / 3, 0) >> (16 - 8 * (i % 3))) & 0xff,
                    255.0 * std::pow(linear.samples[static_cast<std::size_t>(i)] / 255.0, 1.0 / 2.2), 1.0) << i;
}

TEST_F(ImageFiles, PngBrokenFilesEndInCouldntLoadAndEveryFileOpenedIsRecordedEvenWhenMissing)
{
    PngSpec desc{.width = 16, .height = 16, .colorType = PNG_COLOR_TYPE_RGB};
    for (int i = 0; i < 16 * 16 * 3; ++i)
        desc.samples.push_back(static_cast<std::uint16_t>(i * 7 % 256));
    test::writePng("good.png", desc);
    const Bytes good = test::readFile("good.png");
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
                               changed(good.size(), 19, 16),   // a zero width (its CRC no longer matches either)
                               Bytes{}})
        EXPECT_EQ(fatal(bytes, "bad.png"), couldntLoad());
    std::filesystem::create_directory("folder.png");
    EXPECT_FATAL(Surface("folder.png"), couldntLoad("folder.png"));
    Phile::enableUsedFiles();
    EXPECT_EQ(Surface("good.png").width(), 16);
    EXPECT_FATAL(Surface("missing.png"), couldntLoad("missing.png"));
    Phile::disableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "good.png\nmissing.png\n");
}

// Crafted files, to claim what no writer would.
void put32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A chunk whose length field says `claimed` bytes (its real length unless given), followed
// by `data` and its checksum.
void putChunk(Bytes& out, const char* type, const Bytes& data, std::int64_t claimed = -1)
{
    put32(out, static_cast<std::uint32_t>(claimed < 0 ? static_cast<std::int64_t>(data.size()) : claimed));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
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

TEST_F(ImageFiles, PngSizesAndChunksBeyondTheLimitsAreRefusedBeforeTheirDataIsRead)
{
    // The crafted files differ from this one, which loads, only where their cases say.
    EXPECT_EQ(Surface(write(crafted(1, 1), "one.png")).pixel(0, 0), 0xFF000000u);
    // Headers alone: the pixels they promise are not there, and never allocated. (The
    // check against a limit the engine set is the one TGA files go through.)
    const std::pair<Bytes, std::string> sizes[] = {
        {crafted(20000, 20000), tooLarge("20000 x 20000", "bad.png")},
        {crafted(1, 16385), tooLarge("1 x 16385", "bad.png")},
        {crafted(0x7FFFFFFF, 1), tooLarge("2147483647 x 1", "bad.png")},
        // The largest size itself passes the check; this file then ends for its missing rows.
        {crafted(16384, 1), couldntLoad()},
    };
    for (const auto& [bytes, message] : sizes)
        EXPECT_EQ(fatal(bytes, "bad.png"), message);
    // A chunk claiming more than 4 MiB, before the image data or after it. One at the limit
    // is read as usual (these end with the file), and image data, read as it streams in and
    // never whole, has no limit.
    constexpr std::uint32_t kHuge = 0x64000000;  // 1.68 GB in a file of a hundred bytes
    const struct {
        const char* type;
        std::uint32_t claimed;
        bool afterImage, refused;
    } chunks[] = {{"tEXt", kHuge, false, true}, {"zTXt", kHuge, false, true}, {"iTXt", kHuge, false, true},
                  {"iCCP", kHuge, false, true}, {"prVt", kHuge, false, true}, {"tEXt", 0x7FFFFFFF, true, true},
                  {"tEXt", (4u << 20) + 1, false, true}, {"tEXt", 4u << 20, false, false},
                  {"IDAT", kHuge, false, false}};
    for (const auto& c : chunks) {
        Bytes b = pngStart(1, 1);
        if (c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, c.type, {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'}, c.claimed);
        if (!c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, "IEND", {});
        const std::string refused = std::string("Surface: PNG 'bad.png' has a ") + c.type + " chunk of " +
                                    std::to_string(c.claimed) + " bytes, more than the 4194304 a chunk may hold";
        EXPECT_EQ(fatal(b, "bad.png"), c.refused ? refused : couldntLoad()) << c.type << " " << c.claimed;
    }
}

}  // namespace
}  // namespace mirva
