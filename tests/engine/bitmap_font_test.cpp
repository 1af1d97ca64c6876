// Bitmap fonts: metrics from the marker rows, packing and texture coordinates, text laid
// out by anchor, spacing and scale, batches, and the committed fonts of the show.
#include <array>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "engine/bitmap_font.h"
#include "engine/camera.h"
#include "engine/material.h"
#include "engine/texture.h"
#include "io/surface.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/font_image.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kInk = 0xFFFFFFFF, kBlack = 0xFF000000;

// A font image of `height`: codes below `first` empty, then one cell for each
// {width, advance} or {width, advance, offset} (see FontImage), `count` times over.
void writeFont(const std::string& name, int height, int first, std::initializer_list<std::array<int, 3>> cells,
               int count = 1, int extraColumns = 0)
{
    FontImage image(height);
    image.fillTo(first);
    for (int i = 0; i < count; ++i)
        for (const auto& [width, advance, offset] : cells)
            image.add(width, advance, offset);
    image.save(name, extraColumns);
}

class Fonts : public EngineTest {
protected:
    void SetUp() override { openScreen(640, 480); }

    // Clears to black, runs `draw` in a scene, reads the frame back.
    Picture drawWith(const std::function<void(Camera&)>& draw)
    {
        Camera camera;
        camera.clear(kBlack, true, true, 1.0f);
        camera.beginScene();
        draw(camera);
        camera.endScene();
        return flipAndRead();
    }
    // Draws `text` with 1 font pixel = 1 screen pixel, its origin at the screen centre.
    Picture drawn(BitmapFont& font, int anchor, const std::string& text)
    {
        font.transformation.m[3][2] = 1.0f;  // at depth 1 one screen pixel is 1/320
        font.horizontalScale = font.verticalScale = 1.0f / 320.0f;
        return drawWith([&](Camera& camera) { font.drawString(camera, anchor, text); });
    }

    // The rectangle of pixels brighter than black: left, top, right, bottom (exclusive).
    static std::array<int, 4> inkBox(const Picture& picture)
    {
        std::array<int, 4> box{picture.width, picture.height, 0, 0};
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if ((picture.at(x, y) & 0xFFFFFF) > 0x404040)
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
        return box;
    }

    TempDir dir_;
    ScopedWorkingDir working_{dir_.path()};
};

// Each code's width, advance and offset; a code without runs has none. A glyph whose run
// reaches the image's edge keeps its blank column: its width reaches one past the image.
TEST_F(Fonts, MarkerRowsGiveWidthAdvanceAndOffset)
{
    writeFont("f.png", 8, 65, {{6, 8, 1}, {2, 4, 0}});  // 'B': a one-pixel extent run
    writeFont("edge.png", 4, 65, {{3, 3, 0}}, 1, -1);
    const BitmapFont font("f.png"), edge("edge.png");
    std::string metrics = std::to_string(font.height());
    for (const BitmapFont::Glyph* g : {&font.glyph('A'), &font.glyph('B'), &font.glyph('C'), &font.glyph(' '),
                                       &edge.glyph('A')})
        metrics += " " + std::to_string(g->width) + "/" + std::to_string(g->advance) + "/" + std::to_string(g->offset);
    EXPECT_EQ(metrics, "8 6/8/1 2/4/0 0/0/0 2/2/0 3/3/0");
}

// Rows of 9 texture lines: 3 rows in a texture 32 high. ' ' 3 wide, '!' 6, '"' 2 (a
// one-pixel run: still packed), '#' none (its run is the next cell's, 5 wide). Widest
// first, each into the least filled row: '!' row 0, '#' row 1, ' ' row 2, '"' row 2 after
// ' '. The corners, in texels, reach half a texel past the glyph; its pixels are copied
// there, the last column blank, with a blank line between rows.
TEST_F(Fonts, PackingPutsTheWidestGlyphsFirstIntoRowsOfFontHeightPlusOne)
{
    writeFont("f.png", 8, 32, {{3, 4, 0}, {6, 4, 0}, {2, 4, 0}, {1, 4, 0}, {5, 4, 0}});
    const BitmapFont font("f.png");
    EXPECT_EQ(std::pair(font.textureWidth(), font.textureHeight()), std::pair(32, 32));
    const auto corners = [&](int code) {
        std::ostringstream text;
        for (int i = 0; i < 4; ++i)
            text << (i ? " " : "") << font.glyph(code).u[i] * 32 << "," << font.glyph(code).v[i] * 32;
        return text.str();
    };
    EXPECT_EQ(corners('!'), "-0.5,-0.5 6.5,-0.5 6.5,8.5 -0.5,8.5");
    EXPECT_EQ(corners('#'), "-0.5,8.5 5.5,8.5 5.5,17.5 -0.5,17.5");
    EXPECT_EQ(corners(' '), "-0.5,17.5 3.5,17.5 3.5,26.5 -0.5,26.5");
    EXPECT_EQ(corners('"'), "3.5,17.5 6.5,17.5 6.5,26.5 3.5,26.5");
    // Codes below 32, and codes without a run, are never packed.
    EXPECT_EQ(std::pair(font.glyph(31).u[0], font.glyph('$').v[0]), std::pair(1.0f, 1.0f));
    int pitch = 0;
    const auto* level = static_cast<const std::uint8_t*>(Texture::lock("f.png", 0, pitch));
    const auto texel = [&](int x, int y) { return *reinterpret_cast<const std::uint32_t*>(level + y * pitch + x * 4); };
    EXPECT_EQ(std::tuple(texel(0, 0), texel(4, 7), texel(5, 0), texel(0, 8), texel(4, 18), texel(3, 18)),
              std::tuple(kInk, kInk, 0u, 0u, kInk, 0u));
    Texture::unlock("f.png", 0);
}

// A texture too small for the glyphs doubles and packs again, up to the largest texture:
// three rows of 32 hold three glyphs of 20, the fourth goes into row 3 of 7 in a texture 64
// high. Glyphs that don't fit the largest texture end in a message.
TEST_F(Fonts, ATextureTooSmallForTheGlyphsDoublesUpToTheLargest)
{
    writeFont("f.png", 8, 32, {{20, 4, 0}}, 4);
    const BitmapFont font("f.png");
    EXPECT_EQ(std::pair(font.textureWidth(), font.textureHeight()), std::pair(32, 64));
    EXPECT_FLOAT_EQ(font.glyph(35).v[0], (27.0f - 0.5f) / 64.0f);
    // Rows of 129 texture lines: a texture of the largest size, 256, holds one. Codes 0
    // to 31 take 64 columns of the image, leaving 192 for glyphs of width 2, which pack 3
    // columns apart: 85 take 255 columns, 96 would take 288.
    d3dSimulation().largestTexture = 256;
    openScreen(64, 48);
    writeFont("fits.png", 128, 32, {{2, 2, 0}}, 85);
    const BitmapFont fits("fits.png");
    EXPECT_EQ(std::pair(fits.textureWidth(), fits.textureHeight()), std::pair(256, 256));
    writeFont("crowded.png", 128, 32, {{2, 2, 0}}, 96);
    EXPECT_FATAL(BitmapFont("crowded.png"), "BitmapFont: the glyphs of 'crowded.png' don't fit a 256 x 256 texture");
    Surface(10, 2).savePng("flat.png");
    EXPECT_FATAL(BitmapFont("flat.png"), "BitmapFont: font image 'flat.png' is 2 pixels high; it needs its two "
                                         "marker rows and at least one row of glyphs");
}

// 'A': a solid block 5 pixels wide (width 6 with the blank column), advance 8: the pen
// moves 6. Font height 10. Point sampling. Texture coordinates reach half a texel past
// each glyph, so a glyph's quad shows its ink a fraction of a pixel in from its edges: ink
// boxes are compared to the pixel. 256 characters make a batch.
TEST_F(Fonts, AnchorsSpacingAndScalePlaceTheTextAndLongTextsDrawInBatches)
{
    writeFont("block.png", 10, 65, {{6, 8, 0}});
    BitmapFont font("block.png");
    font.material().filter = Material::POINTSAMPLING;
    // "AAA" is 3 x 6 = 18 pixels wide and 10 high; its ink nearly all of that: the box's
    // left and top by anchor.
    for (const auto& [anchor, left, top] : {std::tuple{0, 320, 240}, {4, 311, 235}, {2, 302, 240}, {6, 320, 230},
                                            {3, 320, 235}, {7, 311, 230}, {8, 302, 230}, {9, 302, 230}}) {
        const std::array<int, 4> box = inkBox(drawn(font, anchor, "AAA")), expected{left, top, left + 17, top + 10};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(box[i], expected[i], 1) << "anchor " << anchor << " side " << i;
    }
    // Spacing and scale stretch the line.
    font.spacing = 4.0f;
    EXPECT_FLOAT_EQ(font.textWidth("AAA"), 26.0f);  // 3 x (6 + 4) - 4
    std::array<int, 4> box = inkBox(drawn(font, 0, "AAA"));
    EXPECT_NEAR(box[2] - box[0], 25, 2);  // two steps of 10 and one glyph of 5 ink columns
    font.spacing = 0.0f;
    font.horizontalScale = 2.0f / 320.0f;
    box = inkBox(drawWith([&](Camera& camera) { font.drawString(camera, 0, "A"); }));
    EXPECT_NEAR(box[2] - box[0], 10, 2);
    EXPECT_NEAR(box[3] - box[1], 10, 1);
    // Three hundred characters draw in two batches.
    font.transformation.m[3][0] = -300.0f / 320.0f;  // start 300 pixels left of the centre
    font.horizontalScale = 0.3f / 320.0f;  // 1.8 pixels a character: 540 pixels in all
    d3dStatistics() = {};
    box = inkBox(drawWith([&](Camera& camera) { font.drawString(camera, 0, std::string(300, 'A')); }));
    // 256 + 44 quads of two triangles.
    EXPECT_EQ(std::pair(d3dStatistics().drawCalls, d3dStatistics().primitives), std::pair(2ul, 600ul));
    EXPECT_NEAR(box[0], 20, 1);
    EXPECT_NEAR(box[2], 560, 1);  // the 300th glyph is drawn
    // Empty texts and codes without runs (above 127 in this font) draw nothing.
    d3dStatistics() = {};
    drawn(font, 0, "");
    drawn(font, 0, "\xC4\xD6");
    EXPECT_EQ(d3dStatistics().drawCalls, 0u);
}

// '%': three ink columns, the pen moves 5; 'd' and '5' have no glyph in this font.
TEST_F(Fonts, PercentSignsAreOrdinaryCharactersInScriptTexts)
{
    writeFont("pct.png", 10, 37, {{4, 7, 0}});
    BitmapFont font("pct.png");
    font.material().filter = Material::POINTSAMPLING;
    EXPECT_FLOAT_EQ(font.textWidth("%d%%"), 15.0f);
    const std::array<int, 4> line = inkBox(drawn(font, 0, "%d%%"));
    EXPECT_NEAR(line[2] - line[0], 13, 1);  // three of them
    const std::array<int, 4> formatted = inkBox(drawWith([&](Camera& camera) { font.drawText(camera, 0, "%d%%", 5); }));
    EXPECT_NEAR(formatted[2] - formatted[0], 3, 1);  // "5%"
}

// The show's fonts, made by tools/font_maker from DejaVu. Their text stands upright: '.'
// and 'l' end on the baseline, the dot far below the top of the 'l'.
TEST_F(Fonts, TheShowsFontsHaveEveryPrintableCharacterUpright)
{
    ScopedWorkingDir data(MIRVA_DATA_DIR);
    for (const auto& [name, height] : {std::pair{"fonts/defaultfont.png", 17}, std::pair{"fonts/digitala.png", 32}}) {
        BitmapFont font(name);
        std::string missing;  // printable codes without a packed glyph of some width and advance
        for (char code = 33; code <= 126; ++code)
            if (font.glyph(code).width <= 2 || font.glyph(code).advance <= 2 || font.glyph(code).u[0] >= 1.0f)
                missing += code;
        EXPECT_EQ(std::tuple(font.height(), missing, font.glyph(' ').advance > 4, font.glyph(127).advance),
                  std::tuple(height, "", true, 0))
            << name;
        const std::array<int, 4> dot = inkBox(drawn(font, 4, ".")), tall = inkBox(drawn(font, 4, "l"));
        EXPECT_EQ(dot[3], tall[3]) << name;
        EXPECT_GT(dot[1], tall[1] + 6) << name;
    }
}

}  // namespace
}  // namespace mirva::test
