// Sizes that files claim are bounded before anything is allocated by them: images larger
// than the largest image, and PNG chunks larger than any real image's text or profile.
#include <gtest/gtest.h>

#include "io/surface.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"

namespace mirva {
namespace {

using Bytes = std::vector<std::uint8_t>;

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

class SurfaceLimits : public testing::Test {
protected:
    void TearDown() override
    {
        Surface::setLargestImage(Surface::kDefaultLargestImage, Surface::kDefaultLargestImage);
    }
    std::string load(const std::string& name, const Bytes& bytes)
    {
        test::writeFile(dir.file(name), bytes);
        return test::fatalMessage([&] { Surface s(dir.file(name)); });
    }
    std::string tooLarge(const std::string& name, const char* size, const char* largest) const
    {
        return "Surface: image '" + dir.file(name) + "' is " + size + " pixels, larger than the " + largest +
               " the device can use";
    }
    static Bytes tga(std::uint16_t width, std::uint16_t height)
    {
        Bytes b{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        b.insert(b.end(), {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                           static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), 24, 0});
        b.resize(b.size() + 3u * width * height, 0x40);
        return b;
    }
    static Bytes png(std::uint32_t width, std::uint32_t height)
    {
        Bytes b = pngStart(width, height);
        putChunk(b, "IDAT", kOnePixel);
        putChunk(b, "IEND", {});
        return b;
    }
    test::TempDir dir;
};

TEST_F(SurfaceLimits, ImagesLargerThanTheLargestAreRefusedByTheirHeader)
{
    EXPECT_EQ(Surface::largestImageWidth(), 16384);
    EXPECT_EQ(Surface::largestImageHeight(), 16384);
    // Headers alone: the pixels they promise are not there, and never allocated.
    Bytes hugeTga = tga(0, 0);
    hugeTga[12] = hugeTga[13] = hugeTga[14] = hugeTga[15] = 0xFF;
    hugeTga[16] = 32;
    EXPECT_EQ(load("huge.tga", hugeTga), tooLarge("huge.tga", "65535 x 65535", "16384 x 16384"));
    Bytes wideTga = hugeTga;
    wideTga[12] = 0x01, wideTga[13] = 0x40, wideTga[14] = 1, wideTga[15] = 0;  // 16385 x 1
    EXPECT_EQ(load("wide.tga", wideTga), tooLarge("wide.tga", "16385 x 1", "16384 x 16384"));
    EXPECT_EQ(load("huge.png", png(20000, 20000)), tooLarge("huge.png", "20000 x 20000", "16384 x 16384"));
    EXPECT_EQ(load("tall.png", png(1, 16385)), tooLarge("tall.png", "1 x 16385", "16384 x 16384"));
    EXPECT_EQ(load("widest.png", png(0x7FFFFFFF, 1)), tooLarge("widest.png", "2147483647 x 1", "16384 x 16384"));
    // The largest size itself passes the check; this file then ends for its missing rows.
    EXPECT_EQ(load("edge.png", png(16384, 1)), "couldn't load '" + dir.file("edge.png") + "'");
}

TEST_F(SurfaceLimits, TheLargestImageIsWhatTheEngineSets)
{
    Surface::setLargestImage(8, 4);
    EXPECT_EQ(Surface::largestImageWidth(), 8);
    EXPECT_EQ(Surface::largestImageHeight(), 4);
    test::writeFile(dir.file("fits.tga"), tga(8, 4));
    EXPECT_EQ(Surface(dir.file("fits.tga")).width(), 8);
    EXPECT_EQ(load("tall.tga", tga(8, 5)), tooLarge("tall.tga", "8 x 5", "8 x 4"));
    EXPECT_EQ(load("wide.tga", tga(9, 1)), tooLarge("wide.tga", "9 x 1", "8 x 4"));

    test::PngSpec fits{.width = 8, .height = 4, .colorType = 0};
    fits.samples.assign(32, 7);
    test::writePng(dir.file("fits.png"), fits);
    EXPECT_EQ(Surface(dir.file("fits.png")).height(), 4);
    test::PngSpec wide{.width = 9, .height = 1, .colorType = 0};
    wide.samples.assign(9, 7);
    test::writePng(dir.file("wide.png"), wide);
    EXPECT_EQ(test::fatalMessage([&] { Surface s(dir.file("wide.png")); }), tooLarge("wide.png", "9 x 1", "8 x 4"));
}

TEST_F(SurfaceLimits, APngChunkClaimingMoreThanTheLimitIsRefusedBeforeItsDataIsRead)
{
    constexpr std::uint32_t kHuge = 0x64000000;  // 1.68 GB in a file of a hundred bytes
    struct Case {
        const char* type;
        std::uint32_t claimed;
        bool afterImage;
    };
    for (const Case& c : {Case{"tEXt", kHuge, false}, Case{"zTXt", kHuge, false}, Case{"iTXt", kHuge, false},
                          Case{"iCCP", kHuge, false}, Case{"prVt", kHuge, false}, Case{"tEXt", 0x7FFFFFFF, true},
                          Case{"tEXt", (4u << 20) + 1, false}}) {
        Bytes b = pngStart(1, 1);
        const Bytes text{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'};
        if (c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, c.type, text, c.claimed);
        if (!c.afterImage)
            putChunk(b, "IDAT", kOnePixel);
        putChunk(b, "IEND", {});
        EXPECT_EQ(load("chunk.png", b), "Surface: PNG '" + dir.file("chunk.png") + "' has a " + c.type + " chunk of " +
                                            std::to_string(c.claimed) + " bytes, more than the 4194304 a chunk may hold")
            << c.type;
    }
    // At the limit a chunk is read as usual: this one ends with the file.
    Bytes atLimit = pngStart(1, 1);
    putChunk(atLimit, "tEXt", {'a', 0, 'b'}, 4u << 20);
    EXPECT_EQ(load("limit.png", atLimit), "couldn't load '" + dir.file("limit.png") + "'");
    // Image data is read as it streams in, never whole: its length is not limited.
    Bytes data = pngStart(1, 1);
    putChunk(data, "IDAT", kOnePixel, kHuge);
    EXPECT_EQ(load("data.png", data), "couldn't load '" + dir.file("data.png") + "'");
}

TEST_F(SurfaceLimits, ACraftedOnePixelFileLoads)
{
    // The files above differ from this one only where their cases say.
    test::writeFile(dir.file("one.png"), png(1, 1));
    const Surface s(dir.file("one.png"));
    EXPECT_EQ(s.width(), 1);
    EXPECT_EQ(s.pixel(0, 0), 0xFF000000u);
}

}  // namespace
}  // namespace mirva
