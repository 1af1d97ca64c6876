// Font images made from DejaVu: the marker rows BitmapFont reads, the glyph pixels and
// the options for display faces.
#include "tools/font_maker.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

const std::string kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct MarkerRun {
    int start, length;
};

// The runs of marked pixels (any of red, green, blue non-zero) of one row.
std::vector<MarkerRun> runs(const Surface& image, int y)
{
    std::vector<MarkerRun> found;
    for (int x = 0; x < image.width(); ++x) {
        if ((image.pixel(x, y) & 0xFFFFFF) == 0)
            continue;
        const int start = x;
        while (x < image.width() && (image.pixel(x, y) & 0xFFFFFF) != 0)
            ++x;
        found.push_back({start, x - start});
    }
    return found;
}

// Pixels with ink below the marker rows: in the columns of a glyph's extent, or in all.
int ink(const Surface& image, const MarkerRun& extent = {0, 0})
{
    int count = 0;
    for (int y = 2; y < image.height(); ++y)
        for (int x = extent.start; x < (extent.length ? extent.start + extent.length : image.width()); ++x)
            count += image.pixel(x, y) != 0 ? 1 : 0;
    return count;
}

TEST(FontMaker, OneRunPerCodeInBothMarkerRowsAndWhiteGlyphsWithCoverageInAlpha)
{
    const Surface image = makeFontImage({.fontFile = kSans, .pixelSize = 13});
    EXPECT_EQ(image.height(), 17 + 2);  // DejaVu Sans at 13 pixels: ascender 13, descender 4
    const std::vector<MarkerRun> extents = runs(image, 0), spacings = runs(image, 1);
    ASSERT_EQ(std::pair(extents.size(), spacings.size()), std::pair(127ul, 127ul));  // codes 0 to 126
    for (std::size_t code = 0; code < 127; ++code) {
        // The pen's run starts inside the glyph and ends before the next glyph begins.
        EXPECT_GE(spacings[code].start, extents[code].start) << code;
        if (code + 1 < 127) {
            EXPECT_LT(spacings[code].start + spacings[code].length, extents[code + 1].start) << code;
        }
        // The column under the end of the extent run (the glyph's last) holds no ink.
        EXPECT_EQ(ink(image, {extents[code].start + extents[code].length, 1}), 0) << code;
    }
    // Codes below 32: the smallest glyph, advance 2 (the pen does not move).
    EXPECT_EQ(std::pair(extents[10].length, spacings[10].length), std::pair(1, 1));
    // Proportional: 'W' is wider than 'i' in ink and in advance; a space has no ink.
    EXPECT_GT(ink(image, extents['W']), 3 * ink(image, extents['i']));
    EXPECT_GT(spacings['W'].length, spacings['i'].length + 5);
    EXPECT_EQ(ink(image, extents[' ']), 0);
    EXPECT_EQ(spacings[' '].length, 5);  // 0.318 em = 4 pixels of advance

    // Ink is white, its coverage in colour and alpha alike, with smooth edges.
    int partial = 0;
    for (int y = 2; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y), a = p >> 24;
            EXPECT_EQ(p, a << 24 | a << 16 | a << 8 | a);
            partial += a > 0 && a < 255 ? 1 : 0;
        }
    EXPECT_GT(partial, 5);
    EXPECT_EQ(runs(makeFontImage({.fontFile = kSans, .pixelSize = 13, .first = 65, .last = 65}), 0).size(), 66u);
}

TEST(FontMaker, ExtraAdvanceAndGlowForDisplayFaces)
{
    const Surface a = makeFontImage({.fontFile = kSans, .pixelSize = 20, .first = 72, .last = 72});
    const Surface b =
        makeFontImage({.fontFile = kSans, .pixelSize = 20, .first = 72, .last = 72, .extraAdvance = 10, .glow = 3});
    EXPECT_EQ(runs(b, 1)[72].length, runs(a, 1)[72].length + 10);
    EXPECT_EQ(b.height(), a.height() + 6);  // room for the glow above and below
    EXPECT_GT(ink(b), ink(a) * 3 / 2);
}

TEST(FontMaker, BadDescriptionsEndInAMessage)
{
    EXPECT_FATAL(makeFontImage({.fontFile = kSans, .first = 100, .last = 90}),
                 "fontmaker: bad font description (size 16, codes 100 to 90, extra advance 0, glow 0)");
    EXPECT_FATAL(makeFontImage({.fontFile = "no/such.ttf"}), "fontmaker: couldn't read font 'no/such.ttf'");
}

}  // namespace
}  // namespace mirva
