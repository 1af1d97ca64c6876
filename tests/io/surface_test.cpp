// Surfaces in memory (pixel layout, copies, the format from a name's ending) and TGA files:
// the pixels they load to, and the message of each file refused.
#include "io/surface.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

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

Surface numbered(int w, int h)
{
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.setPixel(x, y, static_cast<std::uint32_t>(100 * y + x));
    return s;
}

constexpr std::uint32_t kBlack = 0xff000000u;

TEST(Surface, BlankIsOpaqueBlackStoredBlueFirstClearZeroesAndReleaseEmpties)
{
    Surface s(3, 2);
    EXPECT_EQ(sizeAndPixels(s), (Pixels{3, 2, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack}));
    EXPECT_EQ((std::vector<int>{s.rect().left, s.rect().top, s.rect().right, s.rect().bottom}),
              (std::vector<int>{0, 0, 3, 2}));
    s.setPixel(0, 0, packArgb(0x44, 0x33, 0x22, 0x11));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(s.pixels());
    EXPECT_EQ((std::vector<int>{bytes[0], bytes[1], bytes[2], bytes[3]}), (std::vector<int>{0x11, 0x22, 0x33, 0x44}));
    s.clear();
    EXPECT_EQ(sizeAndPixels(s), (Pixels{3, 2, 0, 0, 0, 0, 0, 0}));
    s.release();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(sizeAndPixels(s), (Pixels{0, 0}));
    EXPECT_EQ(s.rect().left, -1);
    EXPECT_EQ(s.rect().bottom, -1);
    s.create(1, 2);  // creating again after release
    EXPECT_EQ(sizeAndPixels(s), (Pixels{1, 2, kBlack, kBlack}));
}

TEST(Surface, CopyMovesABlockRowByRowInsideBothSurfacesOnly)
{
    const Surface source = numbered(4, 4);
    Surface dest(4, 3);
    dest.copy(1, 1, source, 1, 2, 3, 2);
    EXPECT_EQ(sizeAndPixels(dest), (Pixels{4, 3, kBlack, kBlack, kBlack, kBlack, kBlack, 201, 202, 203, kBlack, 301,
                                           302, 303}));
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
        const auto hi = [](unsigned v) { return static_cast<std::uint8_t>(v >> 8); };
        Bytes b{lo(id.size()), lo(mapLength ? 1 : 0), type, 0, 0, lo(mapLength), hi(mapLength),
                                    mapBits, 0, 0, 0, 0, lo(width), hi(width), lo(height), hi(height), depth,
                                    descriptor};
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), static_cast<std::size_t>(mapLength) * mapBits / 8, 0xEE);  // colour map, skipped
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    }
};

class TgaTest : public testing::Test {
protected:
    void TearDown() override { Surface::setLargestImage(Surface::kDefaultLargestImage, Surface::kDefaultLargestImage); }
    std::string write(const Bytes& bytes, const std::string& name = "bad.tga")
    {
        test::writeFile(dir.file(name), bytes);
        return dir.file(name);
    }
    std::string fatal(const Bytes& bytes)
    {
        return test::fatalMessage([&] { Surface s(write(bytes)); });
    }
    std::string refused(const std::string& why) const
    {
        return "Surface: " + why + " targa file '" + dir.file("bad.tga") + "'";
    }
    std::string tooLarge(const char* size, const char* largest) const
    {
        return "Surface: image '" + dir.file("bad.tga") + "' is " + size + " pixels, larger than the " + largest +
               " the device can use";
    }
    test::TempDir dir;
};

TEST_F(TgaTest, FilesLoadToTheirPixels)
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

TEST_F(TgaTest, FilesThatCannotBeReadAreRefusedByName)
{
    Tga cut{.width = 4, .height = 4};
    cut.pixels.assign(4 * 4 * 3 - 1, 0);  // one byte short
    Tga longId{.id = Bytes(200, 'x')};
    Bytes idPastTheEnd = longId.bytes();
    idPastTheEnd.resize(40);
    Bytes huge = Tga{.width = 0xFFFF, .height = 0xFFFF, .depth = 32}.bytes();
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
        {cut.bytes(), refused("truncated")},
        {{}, refused("truncated")},
        {{0, 0, 2, 0, 0, 0}, refused("truncated")},   // half a header
        {idPastTheEnd, refused("truncated")},
        {Tga{.width = 16384, .height = 16384, .depth = 32}.bytes(), refused("truncated")},   // the largest, no pixels
        {Tga{.width = 0, .height = 5}.bytes(), refused("no pixels (width or height 0) in")},
        {Tga{.width = 5, .height = 0}.bytes(), refused("no pixels (width or height 0) in")},
        // Sizes are refused by the header alone: the pixels promised are never allocated.
        {huge, tooLarge("65535 x 65535", "16384 x 16384")},
        {Tga{.width = 16385, .depth = 32}.bytes(), tooLarge("16385 x 1", "16384 x 16384")},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(fatal(cases[i].bytes), cases[i].message) << "case " << i;
    EXPECT_FATAL(Surface(dir.file("none.tga")), "Phile::load - couldn't open file '" + dir.file("none.tga") + "'");
    std::filesystem::create_directory(dir.file("folder.tga"));
    EXPECT_FATAL(Surface(dir.file("folder.tga")), "Phile::load - couldn't open file '" + dir.file("folder.tga") + "'");
}

TEST_F(TgaTest, TheLargestImageIsWhatTheEngineSets)
{
    EXPECT_EQ(Surface::largestImageWidth(), 16384);
    EXPECT_EQ(Surface::largestImageHeight(), 16384);
    Surface::setLargestImage(8, 4);
    EXPECT_EQ(Surface::largestImageWidth(), 8);
    EXPECT_EQ(Surface::largestImageHeight(), 4);
    EXPECT_EQ(Surface(write(Tga{.width = 8, .height = 4, .pixels = Bytes(96, 0x40)}.bytes(), "fits.tga")).width(), 8);
    EXPECT_EQ(fatal(Tga{.width = 8, .height = 5, .pixels = Bytes(120, 0x40)}.bytes()), tooLarge("8 x 5", "8 x 4"));
    EXPECT_EQ(fatal(Tga{.width = 9, .pixels = Bytes(27, 0x40)}.bytes()), tooLarge("9 x 1", "8 x 4"));
}

}  // namespace
}  // namespace mirva
