// Bitmap fonts: metrics from the marker rows, packing and texture coordinates, text laid
// out by anchor, spacing and scale, batches, and the committed fonts of the show.
#include <cstdlib>

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

class Fonts : public EngineTest {
protected:
    void SetUp() override
    {
        openScreen(640, 480);
        working_ = std::make_unique<ScopedWorkingDir>(dir_.path());
    }
    void TearDown() override
    {
        working_.reset();
        EngineTest::TearDown();
    }

    // Draws `text` with 1 font pixel = 1 screen pixel, its origin at the screen centre.
    Picture drawn(BitmapFont& font, int anchor, const std::string& text)
    {
        Camera camera;
        camera.clear(kBlack, true, true, 1.0f);
        camera.beginScene();
        font.transformation.m[3][2] = 1.0f;  // at depth 1 one screen pixel is 1/320
        font.horizontalScale = font.verticalScale = 1.0f / 320.0f;
        font.drawString(camera, anchor, text);
        camera.endScene();
        return flipAndRead();
    }

    // The rectangle of pixels brighter than black: left, top, right, bottom (exclusive).
    static std::array<int, 4> inkBox(const Picture& picture)
    {
        std::array<int, 4> box{picture.width, picture.height, 0, 0};
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if ((picture.at(x, y) & 0xFFFFFF) > 0x404040) {
                    box[0] = std::min(box[0], x);
                    box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x + 1);
                    box[3] = std::max(box[3], y + 1);
                }
        return box;
    }

    TempDir dir_;
    std::unique_ptr<ScopedWorkingDir> working_;
};

TEST_F(Fonts, MarkerRowsGiveWidthAdvanceAndOffset)
{
    FontImage image(8);  // 10 pixels high
    image.fillTo(65);
    image.add(6, 8, 1);  // 'A': width 6, spacing run 1 column in, advance 8
    image.add(2, 4);     // 'B': a one-pixel extent run
    image.save("f.png");
    const BitmapFont font("f.png");
    EXPECT_EQ(font.height(), 8);
    EXPECT_EQ(font.glyph('A').width, 6);
    EXPECT_EQ(font.glyph('A').advance, 8);
    EXPECT_EQ(font.glyph('A').offset, 1);
    EXPECT_EQ(font.glyph('B').width, 2);
    EXPECT_EQ(font.glyph('C').width, 0);  // no run
    EXPECT_EQ(font.glyph('C').advance, 0);
    EXPECT_EQ(font.glyph(' ').width, 2);
}

TEST_F(Fonts, PackingPutsTheWidestGlyphsFirstIntoRowsOfFontHeightPlusOne)
{
    FontImage image(8);  // rows of 9 texture lines: 3 rows in a texture 32 high
    image.fillTo(32);
    image.add(3, 4);  // ' '
    image.add(6, 4);  // '!'
    image.add(2, 4);  // '"' (one-pixel run: still packed)
    image.add(0 + 1, 4);  // '#': no extent pixels, so its run is the next glyph's
    image.add(5, 4);
    image.save("f.png");
    const BitmapFont font("f.png");
    EXPECT_EQ(font.textureWidth(), 32);
    EXPECT_EQ(font.textureHeight(), 32);
    // Widest first, each into the least filled row: '!' (6) row 0, '#' (5, the run after
    // the empty cell) row 1, ' ' (3) row 2, '"' (2) row 2 after ' '.
    const auto expectAt = [&](int code, int x, int row, int width) {
        const BitmapFont::Glyph& g = font.glyph(code);
        EXPECT_FLOAT_EQ(g.u[0], (static_cast<float>(x) - 0.5f) / 32.0f) << code;
        EXPECT_FLOAT_EQ(g.u[1], (static_cast<float>(x + width) + 0.5f) / 32.0f) << code;
        EXPECT_FLOAT_EQ(g.v[0], (static_cast<float>(row * 9) - 0.5f) / 32.0f) << code;
        EXPECT_FLOAT_EQ(g.v[2], (static_cast<float>(row * 9 + 8) + 0.5f) / 32.0f) << code;
        EXPECT_EQ(g.u[3], g.u[0]);
        EXPECT_EQ(g.v[1], g.v[0]);
    };
    expectAt('!', 0, 0, 6);
    expectAt('#', 0, 1, 5);
    expectAt(' ', 0, 2, 3);
    expectAt('"', 4, 2, 2);
    EXPECT_EQ(font.glyph(31).u[0], 1.0f);  // codes below 32 are never packed
    EXPECT_EQ(font.glyph('$').v[0], 1.0f);  // no run, not packed
}

TEST_F(Fonts, ATextureTooSmallForTheGlyphsDoublesAndPacksAgain)
{
    FontImage image(8);
    image.fillTo(32);
    for (int i = 0; i < 4; ++i)
        image.add(20, 4);  // three rows of 32 hold three of them
    image.save("f.png");
    const BitmapFont font("f.png");
    EXPECT_EQ(font.textureHeight(), 64);  // 7 rows of 9
    EXPECT_EQ(font.textureWidth(), 32);
    EXPECT_FLOAT_EQ(font.glyph(35).v[0], (27.0f - 0.5f) / 64.0f);  // the fourth glyph in row 3
}

TEST_F(Fonts, GlyphsThatDontFitTheLargestTextureEndInAMessage)
{
    // Rows of 129 texture lines: a texture of the largest size, 256, holds one. Codes 0
    // to 31 take 64 columns of the image, leaving 192 for 96 glyphs of width 2, which
    // pack 3 columns apart: 288 > 256.
    d3dSimulation().largestTexture = 256;
    openScreen(64, 48);
    FontImage image(128);
    image.fillTo(32);
    for (int i = 0; i < 96; ++i)
        image.add(2, 2);
    image.save("crowded.png");
    EXPECT_FATAL(BitmapFont("crowded.png"), "BitmapFont: the glyphs of 'crowded.png' don't fit a 256 x 256 texture");
    // 85 of them take 255 columns: the texture reaches the largest size and no further.
    FontImage fits(128);
    fits.fillTo(32);
    for (int i = 0; i < 85; ++i)
        fits.add(2, 2);
    fits.save("fits.png");
    const BitmapFont font("fits.png");
    EXPECT_EQ(font.textureWidth(), 256);
    EXPECT_EQ(font.textureHeight(), 256);
}

TEST_F(Fonts, GlyphPixelsAreCopiedToTheirPackedPlace)
{
    FontImage image(4);
    image.fillTo(65);
    image.add(3, 4);
    image.save("f.png");
    const BitmapFont font("f.png");
    int pitch = 0;
    const auto* level = static_cast<const std::uint8_t*>(Texture::lock("f.png", 0, pitch));
    const auto texel = [&](int x, int y) { return *reinterpret_cast<const std::uint32_t*>(level + y * pitch + x * 4); };
    EXPECT_EQ(texel(0, 0), kInk);  // 'A' is the only glyph: row 0, x 0
    EXPECT_EQ(texel(1, 3), kInk);
    EXPECT_EQ(texel(2, 0), 0u);  // its third column is the blank one under the run's end
    EXPECT_EQ(texel(0, 4), 0u);  // the line between rows
    Texture::unlock("f.png", 0);
}

TEST_F(Fonts, AGlyphRunningToTheImagesEdgeKeepsItsBlankColumn)
{
    FontImage image(4);
    image.fillTo(65);
    image.add(3, 3);
    image.save("f.png", -1);  // the image ends with 'A's run: its width reaches one past
    const BitmapFont font("f.png");
    EXPECT_EQ(font.glyph('A').width, 3);
}

TEST_F(Fonts, AnImageWithoutGlyphRowsEndsInAMessage)
{
    Surface(10, 2).savePng("flat.png");
    EXPECT_FATAL(BitmapFont("flat.png"), "BitmapFont: font image 'flat.png' is 2 pixels high; it needs its two "
                                         "marker rows and at least one row of glyphs");
}

// 'A': a solid block 5 pixels wide (width 6 with the blank column), advance 8: the pen
// moves 6. Font height 10.
std::unique_ptr<BitmapFont> blockFont()
{
    FontImage image(10);
    image.fillTo(65);
    image.add(6, 8);
    image.save("block.png");
    return std::make_unique<BitmapFont>("block.png");
}

// Texture coordinates reach half a texel past each glyph, so a glyph's quad shows its
// ink a fraction of a pixel in from its edges: ink boxes are compared to the pixel.
TEST_F(Fonts, AnchorsPlaceTheTextAroundTheOrigin)
{
    auto font = blockFont();
    font->material().filter = Material::POINTSAMPLING;
    // "AAA" is 3 x 6 = 18 pixels wide and 10 high; its ink nearly all of that.
    struct Case {
        int anchor, left, top;
    };
    for (const Case& c : {Case{0, 320, 240}, Case{4, 311, 235}, Case{2, 302, 240}, Case{6, 320, 230},
                          Case{3, 320, 235}, Case{7, 311, 230}, Case{8, 302, 230}, Case{9, 302, 230}}) {
        const std::array<int, 4> box = inkBox(drawn(*font, c.anchor, "AAA"));
        EXPECT_NEAR(box[0], c.left, 1) << "anchor " << c.anchor;
        EXPECT_NEAR(box[1], c.top, 1) << "anchor " << c.anchor;
        EXPECT_NEAR(box[2], c.left + 17, 1) << "anchor " << c.anchor;
        EXPECT_NEAR(box[3], c.top + 10, 1) << "anchor " << c.anchor;
    }
}

TEST_F(Fonts, SpacingAndScaleStretchTheLine)
{
    auto font = blockFont();
    font->material().filter = Material::POINTSAMPLING;
    font->spacing = 4.0f;
    EXPECT_FLOAT_EQ(font->textWidth("AAA"), 26.0f);  // 3 x (6 + 4) - 4
    std::array<int, 4> box = inkBox(drawn(*font, 0, "AAA"));
    EXPECT_NEAR(box[2] - box[0], 25, 2);  // two steps of 10 and one glyph of 5 ink columns
    font->spacing = 0.0f;
    Camera camera;
    camera.clear(kBlack, true, true, 1.0f);
    camera.beginScene();
    font->horizontalScale = 2.0f / 320.0f;
    font->drawString(camera, 0, "A");
    camera.endScene();
    box = inkBox(flipAndRead());
    EXPECT_NEAR(box[2] - box[0], 10, 2);
    EXPECT_NEAR(box[3] - box[1], 10, 1);
}

TEST_F(Fonts, ThreeHundredCharactersDrawInTwoBatches)
{
    auto font = blockFont();
    font->material().filter = Material::POINTSAMPLING;
    font->transformation.m[3][0] = -300.0f / 320.0f;  // start 300 pixels left of the centre
    Camera camera;
    camera.clear(kBlack, true, true, 1.0f);
    camera.beginScene();
    font->transformation.m[3][2] = 1.0f;
    font->horizontalScale = 0.3f / 320.0f;  // 1.8 pixels a character: 540 pixels in all
    font->verticalScale = 1.0f / 320.0f;
    d3dStatistics() = {};
    font->drawString(camera, 0, std::string(300, 'A'));
    camera.endScene();
    EXPECT_EQ(d3dStatistics().drawCalls, 2u);
    EXPECT_EQ(d3dStatistics().primitives, 600u);  // 256 + 44 quads of two triangles
    const std::array<int, 4> box = inkBox(flipAndRead());
    EXPECT_NEAR(box[0], 20, 1);
    EXPECT_NEAR(box[2], 560, 1);  // the 300th glyph is drawn
}

TEST_F(Fonts, EmptyTextsAndUnknownCodesDrawNothing)
{
    auto font = blockFont();
    d3dStatistics() = {};
    drawn(*font, 0, "");
    drawn(*font, 0, "\xC4\xD6");  // codes above 127: no runs in this font
    EXPECT_EQ(d3dStatistics().drawCalls, 0u);
}

// The number of separate runs of ink along a row.
int inkRuns(const Picture& picture, int y)
{
    int runs = 0;
    bool inside = false;
    for (int x = 0; x < picture.width; ++x) {
        const bool ink = (picture.at(x, y) & 0xFF) > 0x40;
        runs += ink && !inside ? 1 : 0;
        inside = ink;
    }
    return runs;
}

TEST_F(Fonts, PercentSignsAreOrdinaryCharactersInScriptTexts)
{
    FontImage image(10);
    image.fillTo(37);
    image.add(4, 7);  // '%': three ink columns, the pen moves 5
    image.save("pct.png");
    BitmapFont font("pct.png");
    font.material().filter = Material::POINTSAMPLING;
    EXPECT_FLOAT_EQ(font.textWidth("%d%%"), 15.0f);  // 'd' has no glyph in this font
    EXPECT_EQ(inkRuns(drawn(font, 0, "%d%%"), 245), 3);
    Camera camera;
    camera.clear(kBlack, true, true, 1.0f);
    camera.beginScene();
    font.drawText(camera, 0, "%d%%", 5);  // formatted: "5%"
    camera.endScene();
    EXPECT_EQ(inkRuns(flipAndRead(), 245), 1);
}

// The show's fonts, made by tools/font_maker from DejaVu.
TEST_F(Fonts, TheShowsFontsHaveEveryPrintableCharacter)
{
    working_.reset();
    ScopedWorkingDir data(MIRVA_DATA_DIR);
    for (const auto& [name, height] : {std::pair{"fonts/defaultfont.png", 17}, std::pair{"fonts/digitala.png", 32}}) {
        const BitmapFont font(name);
        EXPECT_EQ(font.height(), height) << name;
        for (int code = 33; code <= 126; ++code) {
            EXPECT_GT(font.glyph(code).width, 2) << name << " code " << code;
            EXPECT_GT(font.glyph(code).advance, 2) << name << " code " << code;
            EXPECT_LT(font.glyph(code).u[0], 1.0f) << name << " code " << code;
        }
        EXPECT_GT(font.glyph(' ').advance, 4) << name;
        EXPECT_EQ(font.glyph(127).advance, 0) << name;
    }
}

TEST_F(Fonts, TextOfTheDefaultFontIsUpright)
{
    working_.reset();
    ScopedWorkingDir data(MIRVA_DATA_DIR);
    BitmapFont font("fonts/defaultfont.png");
    // 'T': a wide bar on top of a narrow stem; '.': ink at the bottom only.
    const Picture t = drawn(font, 4, "T");
    const std::array<int, 4> box = inkBox(t);
    const auto rowInk = [&](int y) {
        int ink = 0;
        for (int x = box[0]; x < box[2]; ++x)
            ink += (t.at(x, y) & 0xFF) > 0x80 ? 1 : 0;
        return ink;
    };
    EXPECT_GE(rowInk(box[1]), 7);
    EXPECT_LE(rowInk(box[3] - 1), 3);
    const std::array<int, 4> dot = inkBox(drawn(font, 4, "."));
    const std::array<int, 4> tall = inkBox(drawn(font, 4, "l"));
    EXPECT_EQ(dot[3], tall[3]);  // both stand on the baseline
    EXPECT_GT(dot[1], tall[1] + 6);
    // Set MIRVA_SAVE_FRAMES to a folder to look at a frame of both fonts.
    if (const char* folder = std::getenv("MIRVA_SAVE_FRAMES")) {
        Camera camera;
        camera.clear(0xFF203040, true, true, 1.0f);
        camera.beginScene();
        font.material().blend = Material::BLEND;
        font.horizontalScale = font.verticalScale = 1.0f / 320.0f;
        font.transformation.m[3][1] = 0.5f;
        font.drawString(camera, 4, "The quick brown fox jumps over the lazy dog. 0123456789 %&@!?");
        BitmapFont display("fonts/digitala.png");
        display.spacing = -10.0f;
        display.transformation.m[3][2] = 1.0f;
        display.horizontalScale = display.verticalScale = 1.0f / 320.0f;
        display.drawString(camera, 4, "kolu 12345 SCORE");
        camera.endScene();
        flipAndRead().save(std::string(folder) + "/fonts.png");
    }
}

}  // namespace
}  // namespace mirva::test
