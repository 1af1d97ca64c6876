#include "tools/font_maker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "io/console.h"

namespace mirva {

namespace {

// One rendered glyph: coverage bytes (with the glow margin), where they lie against the
// pen origin and the baseline, and how far the pen moves.
struct Glyph {
    int width = 0, rows = 0;
    int left = 0;  // columns from the pen origin to the first column (may be negative)
    int top = 0;   // rows from the first row down to the baseline
    int advance = 0;
    std::vector<unsigned char> coverage;
};

// Adds a soft halo: every pixel gets at least a falling share of the ink around it.
void addGlow(Glyph& glyph, int radius)
{
    const int w = glyph.width + 2 * radius, h = glyph.rows + 2 * radius;
    std::vector<unsigned char> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    const auto source = [&](int x, int y) -> int {
        x -= radius;
        y -= radius;
        if (x < 0 || y < 0 || x >= glyph.width || y >= glyph.rows)
            return 0;
        return glyph.coverage[static_cast<std::size_t>(y * glyph.width + x)];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double value = source(x, y);
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const double distance = std::sqrt(static_cast<double>(dx * dx + dy * dy));
                    if (distance > radius)
                        continue;
                    value = std::max(value, source(x + dx, y + dy) * 0.45 * (1.0 - distance / (radius + 1)));
                }
            out[static_cast<std::size_t>(y * w + x)] = static_cast<unsigned char>(std::lround(value));
        }
    glyph.coverage = std::move(out);
    glyph.width = w;
    glyph.rows = h;
    glyph.left -= radius;
    glyph.top += radius;
}

struct FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FreeType()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

}  // namespace

Surface makeFontImage(const FontSpec& desc)
{
    if (desc.pixelSize < 1 || desc.pixelSize > 256 || desc.first < 0 || desc.first > desc.last || desc.last > 255 ||
        desc.extraAdvance < 0 || desc.glow < 0 || desc.glow > 16)
        Console::fatal(formatText("fontmaker: bad font description (size %d, codes %d to %d, extra advance %d, "
                                  "glow %d)",
                                  desc.pixelSize, desc.first, desc.last, desc.extraAdvance, desc.glow));
    FreeType ft;
    if (FT_Init_FreeType(&ft.library) != 0)
        Console::fatal("fontmaker: FreeType did not start");
    if (FT_New_Face(ft.library, desc.fontFile.c_str(), 0, &ft.face) != 0)
        Console::fatal("fontmaker: couldn't read font '" + desc.fontFile + "'");
    if (FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(desc.pixelSize)) != 0)
        Console::fatal(formatText("fontmaker: '%s' has no size of %d pixels", desc.fontFile.c_str(), desc.pixelSize));
    const FT_Size_Metrics& metrics = ft.face->size->metrics;
    const int ascender = static_cast<int>((metrics.ascender + 63) / 64) + desc.glow;
    const int descender = static_cast<int>((-metrics.descender + 63) / 64) + desc.glow;
    const int fontHeight = ascender + descender;

    std::vector<Glyph> glyphs(static_cast<std::size_t>(desc.last) + 1);
    for (int code = desc.first; code <= desc.last; ++code) {
        if (FT_Load_Char(ft.face, static_cast<FT_ULong>(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
            Console::fatal(formatText("fontmaker: '%s' couldn't render code %d", desc.fontFile.c_str(), code));
        const FT_GlyphSlot slot = ft.face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        Glyph& glyph = glyphs[static_cast<std::size_t>(code)];
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advance = static_cast<int>((slot->advance.x + 32) / 64) + desc.extraAdvance;
        for (int y = 0; y < glyph.rows; ++y)
            for (int x = 0; x < glyph.width; ++x)
                glyph.coverage.push_back(bitmap.buffer[y * bitmap.pitch + x]);
        if (desc.glow > 0)
            addGlow(glyph, desc.glow);
    }

    // Cell widths: ink, the pen's run and the separating column must all fit.
    std::vector<int> origin(glyphs.size(), 0), cell(glyphs.size(), 2);
    int imageWidth = 0;
    for (int code = 0; code <= desc.last; ++code) {
        const auto c = static_cast<std::size_t>(code);
        if (code >= desc.first) {
            const Glyph& g = glyphs[c];
            origin[c] = std::max(0, -g.left);
            cell[c] = std::max({origin[c] + g.left + g.width + 1, origin[c] + g.advance + 2, 2});
        }
        imageWidth += cell[c];
    }

    Surface image(imageWidth, fontHeight + 2);
    image.clear();
    const std::uint32_t marked = packArgb(255, 255, 255, 255);
    int x = 0;
    for (int code = 0; code <= desc.last; ++code) {
        const auto c = static_cast<std::size_t>(code);
        for (int i = 0; i < cell[c] - 1; ++i)
            image.setPixel(x + i, 0, marked);
        const int advance = code >= desc.first ? glyphs[c].advance : 0;
        for (int i = 0; i <= advance; ++i)
            image.setPixel(x + origin[c] + i, 1, marked);
        const Glyph& g = glyphs[c];
        for (int row = 0; row < g.rows; ++row) {
            const int y = 2 + ascender - g.top + row;
            if (y < 2 || y >= image.height())
                continue;
            for (int column = 0; column < g.width; ++column) {
                const unsigned char v = g.coverage[static_cast<std::size_t>(row * g.width + column)];
                if (v)
                    image.setPixel(x + origin[c] + g.left + column, y, packArgb(v, v, v, v));
            }
        }
        x += cell[c];
    }
    return image;
}

}  // namespace mirva
