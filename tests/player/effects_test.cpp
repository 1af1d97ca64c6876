// The flat effects in scripts: the ChaosZoomer's feedback shown on sprites, the
// FlowerZoomer's field of flowers, and a Sprite placed by a scene, on a headless screen.
// The view looks along +z from the origin with the default fields of view (90 x 73.74
// degrees): on the W x H screen a point (x, y, z) shows at (W/2 (1 + x/z), H/2 - W/2 y/z).
//
// Writer, Writer2 and Scroller drawn by the frame update, with a font whose glyphs are
// solid blocks so that what is drawn can be measured: Writer's fade and wobble at chosen
// phases, how many characters Writer2 has typed, where the Scroller's text stands.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "components/flower_zoomer.h"
#include "components/writer.h"
#include "components/writer2.h"
#include "engine/primitive.h"
#include "tests/player/player_fixture.h"
#include "tests/support/font_image.h"

namespace mirva::test {
namespace {

class FlatEffects : public FrameTest {
protected:
    void SetUp() override
    {
        openScreen(screenWidth, screenHeight);
        for (const char* map : {"maps/flare4.tga", "maps/inner3.tga", "maps/petal.tga", "maps/middle.tga"})
            copyData(map);
    }
    int screenWidth = 64, screenHeight = 48;
};

// The zoomer's texture over the whole screen, drawn after the zoomer; two more users of
// it, one drawn before the zoomer each frame, one destructed at row 1.
std::string zoomerScript(const std::string& rates)
{
    return layered("BEFORE ZOOM SHOW", "0, 0, 0",
                   "Construct ChaosZoomer zoomer { Layer = ZOOM " + rates + " Enabled = true }\n"
                   "Construct Sprite before { Layer = BEFORE Map = \"chaoszoomertexture\" Size = 0, 0 "
                   "Enabled = true }\nConstruct Sprite gone { Layer = SHOW Map = \"chaoszoomertexture\" Size = 0, 0 "
                   "Enabled = true }\n"
                   "Construct Sprite show { Layer = SHOW Map = \"chaoszoomertexture\" Blend = COPY\n"
                   "  Motion = 0, 0, 1, 0, 0, 0, 1, 1, 1 Size = 1, 0.75 Enabled = true }\n",
                   "0:1:0 Destruct gone\n");
}

TEST_F(FlatEffects, TheZoomersFrameMovesUnlessEveryRateIsZeroAndAPassAroundItKeepsItsTarget)
{
    for (const auto& [rates, still] :
         {std::pair{"", false}, {"Param1 = 0 Param2 = 0 Param3 = 0 Param4 = 0 Param5 = 0", true}}) {
        SCOPED_TRACE(rates);
        play(zoomerScript(rates));
        // The very first frame already shows flares: the sprite gets the frame just drawn.
        EXPECT_GT(lit(frame(0.04f), 0, 48, 64), 20);
        // Well after the other user of the name went at row 1, the zoomer and its viewer
        // carry on; the flare circle turns a quarter turn a second, so a fifth of a second
        // later the picture is another one, unless nothing moves.
        for (int n = 0; n < 59; ++n)
            frame(0.04f);
        const Picture a = frame(0.04f);
        for (int n = 0; n < 4; ++n)
            frame(0.04f);
        const Picture b = frame(0.04f);
        long moved = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i)
            moved += a.pixels[i] != b.pixels[i];
        EXPECT_GT(lit(a, 0, 48, 64), still ? 100 : 200);
        EXPECT_TRUE(still ? moved < 20 : moved > 300) << moved << " of 3072 pixels changed";
    }
    // A zoomer inside a capture pass leaves the pass drawing into its target: the red clear
    // after the zoomer belongs to the capture, shown on the left half only.
    play(layered("OPEN ZOOM PAINT CLOSE SHOW", "0, 0, 0",
                 "Construct RenderTargetBegin open { Layer = OPEN MapName = \"capture\" Width = 64 Height = 64 "
                 "ZBuffer = false Alpha = false Enabled = true }\n"
                 "Construct ChaosZoomer zoomer { Layer = ZOOM Enabled = true }\n"
                 "Construct Clearer paint { Layer = PAINT ClearColor = 255, 0, 0 Enabled = true }\n"
                 "Construct RenderTargetEnd close { Layer = CLOSE Enabled = true }\n"
                 "Construct Sprite show { Layer = SHOW Map = \"capture\" Blend = COPY\n"
                 "  Motion = -0.5, 0, 1, 0, 0, 0, 1, 1, 1 Size = 0.5, 0.75 Enabled = true }\n"));
    const Picture picture = frame(0.04f);
    EXPECT_COLOR(picture.at(16, 24), kRed);
    EXPECT_COLOR(picture.at(48, 24), kBlack);
}

class Flowers : public FlatEffects {
protected:
    static constexpr int kWidth = 256, kHeight = 192;
    Flowers() { screenWidth = kWidth, screenHeight = kHeight; }

    // The field after its first frame, of `seconds`.
    FlowerZoomerComponent& flowers(const std::string& settings, float seconds = 0.04f)
    {
        play(layered("DRAW", "255, 0, 0",
                     "Construct FlowerZoomer field { Layer = DRAW MiddleMap = \"maps/middle.tga\" "
                     "PetalMap = \"maps/petal.tga\"\n  Petals = 6 PetalWidth = 0.3 PetalInnerRadius = 0.5 "
                     "PetalOuterRadius = 1.5 Enabled = true\n  BackGroundColor = 255, 0, 0 MiddleColor = 0, 0, 255 "
                     "PetalColor = 0, 0, 255 " + settings + " }\n"));
        frame(seconds);
        return dynamic_cast<FlowerZoomerComponent&>(*player->findInstance("field"));
    }

    static float screenX(const FlowerZoomerComponent::Flower& f) { return kWidth / 2.0f * (1 + f.x / f.z); }
    static float screenY(const FlowerZoomerComponent::Flower& f) { return kHeight / 2.0f - kWidth / 2.0f * f.y / f.z; }

    // Whether the middle of flower k shows: on the screen, and no nearer flower (drawn
    // after it) reaches over it; a flower reaches 1.6 units from its middle.
    static bool inSight(const FlowerZoomerComponent& field, std::size_t k)
    {
        const FlowerZoomerComponent::Flower& f = field.flowers()[k];
        if (f.z < 1 || std::abs(f.x / f.z) > 0.9f || std::abs(f.y / f.z) > 0.6f)
            return false;
        for (const FlowerZoomerComponent::Flower& other : field.flowers())
            if (other.z < f.z && std::hypot(screenX(other) - screenX(f), screenY(other) - screenY(f)) <
                                     kWidth / 2.0f * 1.6f / other.z + 2)
                return false;
        return true;
    }
};

TEST_F(Flowers, AFlowerLeavingTheNearEndComesBackFarthestAndIsDrawnFirst)
{
    // Flower 59 stands nearest, a third of a unit away: a 0.2 s frame at -2.5 units a
    // second takes it to -0.17, which is 19.83 at the far end, behind flower 0 (19.5).
    FlowerZoomerComponent& field = flowers("RotationSpeed = 0", 0.2f);
    EXPECT_NEAR(field.flowers()[59].z, 20 - 0.5f + 1.0f / 3, 1e-4);
    EXPECT_NEAR(field.flowers()[0].z, 19.5f, 1e-4);
    EXPECT_EQ(field.startIndex(), 59);
    // Petals are evenly turned, the first pointing up: the middle of the outer edge of
    // petal k is 1.5 from the centre, k x 60 degrees on.
    const Primitive& petals = *field.petals();
    ASSERT_EQ(petals.vertexCapacity(), 24);
    for (int k = 0; k < 6; ++k) {
        const Primitive::Vertex& a = petals.vertex(4 * k), &b = petals.vertex(4 * k + 1);
        const float angle = static_cast<float>(k) * 1.0471976f;
        EXPECT_NEAR((a.x + b.x) / 2, -1.5f * std::sin(angle), 1e-5) << k;
        EXPECT_NEAR((a.y + b.y) / 2, 1.5f * std::cos(angle), 1e-5) << k;
    }
    EXPECT_EQ((std::pair<int, int>{petals.index(6), petals.index(11)}), (std::pair{4, 7}));
    // Eight seconds later every flower went round once more and the order is the same.
    for (int n = 0; n < 16; ++n)
        frame(0.5f);
    EXPECT_EQ(field.startIndex(), 59);
    EXPECT_NEAR(field.flowers()[59].z, 20 - 0.5f + 1.0f / 3, 1e-3);
}

// Before depth 15 a middle shows its own blue, from there on (20 - z) / 5 of the blue over
// the red.
TEST_F(Flowers, FarFlowersFadeIntoTheBackgroundColour)
{
    // Where the flowers stand depends on what the program's generator gave before; new
    // fields are made until one shows both a near and an almost fogged-out middle.
    int near = 0, far = 0;
    for (int field = 0; field < 20 && (near == 0 || far == 0); ++field) {
        const FlowerZoomerComponent& flowerField = flowers("ZoomSpeed = 0 RotationSpeed = 0");
        const Picture picture = frame(0.04f);
        near = far = 0;
        for (std::size_t k = 0; k < flowerField.flowers().size(); ++k) {
            const FlowerZoomerComponent::Flower& f = flowerField.flowers()[k];
            if (!inSight(flowerField, k))
                continue;
            const std::uint32_t pixel = picture.at(static_cast<int>(screenX(f)), static_cast<int>(screenY(f)));
            SCOPED_TRACE(testing::Message() << "flower " << k << " at depth " << f.z << ": " << hex(pixel));
            const float blue = std::min(1.0f, (20 - f.z) / 5);
            EXPECT_NEAR(channel(pixel, 0), blue * 238, 40);
            EXPECT_NEAR(channel(pixel, 16), (1 - blue) * 255, 40);
            near += f.z < 14;
            far += f.z > 19;
        }
    }
    EXPECT_TRUE(near > 0 && far > 0) << near << " near, " << far << " far";
}

TEST_F(FlatEffects, ASpriteOnASceneIsDrawnAtEveryObjectOfItsName)
{
    writeText("dots.lws", scene(sceneObject("dot.lwo", -2, 0, 4) + sceneObject("dot.lwo", 0, 0, 4) +
                                sceneObject("dot.lwo", 2, 0, 4) + sceneObject("other.lwo", 0, 1.2f, 4)));
    play(layered("SCENE DRAW", "0, 0, 0",
                 "Construct LWS dots { Layer = SCENE Scene = \"dots.lws\" Enabled = true }\n"
                 "Construct Sprite flare { Layer = DRAW Map = \"maps/middle.tga\" Scene = dots Name = \"dot.lwo\"\n"
                 "  Size = 0.4, 0.4 Enabled = true }\n"));
    const Picture picture = frame(0.04f);
    // Middles at x = 32 + 8 x: 16, 32 and 48; nothing where the other object is.
    for (int x : {16, 32, 48})
        EXPECT_GT(channel(picture.at(x, 24), 8), 150) << x;
    for (const auto& [x, y] : {std::pair{24, 24}, {40, 24}, {32, 14}})
        EXPECT_COLOR(picture.at(x, y), kBlack);
}


class TextEffects : public FrameTest {
protected:
    void SetUp() override
    {
        // 128 x 96: at depth 4 one unit is 16 pixels, at depth 1 it is 64.
        openScreen(128, 96);
        // Codes 65 and up ('A' ...) up to 128 as solid blocks 8 pixels high and 4 wide, the
        // pen moving 6: four lit columns, then two dark ones.
        FontImage font(8);
        font.fillTo(65);
        for (int code = 65; code <= 128; ++code)
            font.add(5, 8);
        font.save("block.png");
    }
    // Plays `instance` (instance 1) over a black background, then the timer and `timed`.
    void text(const std::string& instance, const std::string& timed = "", const std::string& timer = "1:0:0 120 1.0")
    {
        play(layered("TEXT", "0, 0, 0", "Construct " + instance + "\n", timed, timer));
    }
    template <typename T> T& instance(std::size_t i = 1) { return dynamic_cast<T&>(*player->instances().at(i)); }
    // The height of the ink in column x in pixels, blur included: the blue channel summed
    // and divided by its peak.
    static double inkHeight(const Picture& picture, int x)
    {
        double sum = 0.0, peak = 0.0;
        for (int y = 0; y < picture.height; ++y)
            sum += picture.at(x, y) & 0xFF, peak = std::max(peak, static_cast<double>(picture.at(x, y) & 0xFF));
        return peak > 0.0 ? sum / peak : 0.0;
    }
    // The pixels of row y with a channel above `threshold`: how many runs they make, and
    // their mean x.
    static std::pair<int, double> litRow(const Picture& picture, int y, std::uint32_t threshold = 128)
    {
        int runs = 0, count = 0;
        double sum = 0.0;
        for (int x = 0, previous = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.at(x, y);
            const int now = std::max({p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF}) > threshold;
            runs += now && !previous, count += now, sum += now ? x + 0.5 : 0.0, previous = now;
        }
        return {runs, count ? sum / count : -1.0};
    }
    static double centre(const Picture& picture, int y) { return litRow(picture, y).second; }
};

// A blue line centred on the screen, its glyph 2 x 2 units at depth 4: a quad 32 pixels
// high, which fades in from white and wobbles on the way. Writer m moves its phase by its
// Speed in the script's seconds times the time multiplier.
TEST_F(TextEffects, WriterLineFadesInFromWhiteAndWobblesOnTheWayAndMovesBySpeed)
{
    text("Writer w { Layer = TEXT Font = \"block.png\" MaxLines = 2 Speed = 0 UsedLines = 1 l = 0 pos = 0, 0 "
         "size = 0.25, 0.25 col = 0, 0, 255 ref = CENTER txt = \"A\" Enabled = true }\n"
         "Construct Writer m { Layer = TEXT Font = \"block.png\" MaxLines = 1 Speed = 0.5 Enabled = true }",
         "0:2:0 Set w { Phase = 1 }\n0:4:0 Set w { Phase = 0.3 }\n", "1:0:0 120 2.0");
    // Frames of a row; the script time goes 0, 2, 4 rows at the frames read.
    EXPECT_EQ(litRow(frame(0.5f), 48, 2).first, 0);   // invisible at phase 0
    frame(0.5f);
    const Picture settled = frame(0.5f);   // settled in its colour
    EXPECT_COLOR(settled.at(64, 48), kBlue);
    const double settledHeight = inkHeight(settled, 64);
    EXPECT_TRUE(settledHeight > 28.0 && settledHeight <= 32.0) << settledHeight;
    // s = sin(0.15 pi) = 0.45399, alpha 115, the colour lifted by 140 to (140, 140, 255),
    // stretched by 1 + 15 (1 - s)^4 sin(100 s) = 2.3174; blended over black.
    frame(0.5f);
    const Picture wobbling = frame(0.5f);
    EXPECT_PRED3([](std::uint32_t a, std::uint32_t b, int t) { return near(a, b, t); }, wobbling.at(64, 48), 0xFF3F3F73u, 3)
        << hex(wobbling.at(64, 48));
    EXPECT_NEAR(inkHeight(wobbling, 64) / settledHeight, 2.3174, 0.03);
    EXPECT_FLOAT_EQ(instance<WriterComponent>(2).phase(), 2.5f);   // five frames of 0.5 s, times 2, times 0.5
    // At phase 1 line 1 is half way: t = 0.5, s = 0.70711, alpha 180, stretch 1.11036.
    EXPECT_EQ(WriterComponent::fadedColor(0xFF102030, 1.0f, 1), 0xB45B6B7Bu);
    EXPECT_NEAR(WriterComponent::wobble(1.0f, 1), 1.1103556f, 1e-4);
}

// Two lines of solid blocks: 10 characters at y = 1 (row 32), 6 at y = -1 (row 64), one
// font pixel one screen pixel; the rounded phase is how many are typed, line 1 starting
// when line 0 has 4.
TEST_F(TextEffects, Writer2TypesTheRoundedPhaseOfCharactersLineAfterLine)
{
    const std::string line = " size = 0.0625, 0.0625 col = 255, 255, 255 ref = 0 txt = ";
    text("Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 2 Speed = 0 Phase = 4.49 l = 0 pos = -3.5, 1" + line +
             "\"AAAAAAAAAA\" Enabled = true }",
         "0:0:0 Set w { l = 1 pos = -3.5, -1" + line + "\"AAAAAA\" }\n0:2:0 Set w { Phase = 7.4 }\n"
         "0:4:0 Set w { Phase = 12.6 }\n");
    for (const auto& [first, second] : {std::pair{4, 0}, {7, 3}, {10, 6}}) {   // at rows 0, 2 and 4
        const Picture picture = frame(0.5f);
        EXPECT_EQ((std::pair{litRow(picture, 32).first, litRow(picture, 64).first}), (std::pair{first, second}));
        frame(0.5f);
    }
}

TEST_F(TextEffects, Writer2CharactersRollDownToTheirOwnCodeBlendFollowsMulAddAndBlendAndRefIsChecked)
{
    text("Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 }\n"
         "Construct Writer2 still { Layer = TEXT Font = \"block.png\" MaxLines = 1 ChangeSpeed = 0 }",
         "0:0:0 Set w { ChangeSpeed = 2.9 }\n0:1:0 Set w { Blend = false }\n0:2:0 Set w { Add = true }\n"
         "0:3:0 Set w { Blend = true }\n0:4:0 Set w { Mul = true }\n");
    std::vector<int> blends;
    for (int row = 0; row <= 4; ++row) {
        frame(row == 0 ? 0.0f : 0.5f);
        blends.push_back(instance<Writer2Component>().blend());
    }
    EXPECT_EQ(blends, (std::vector<int>{4, 0, 1, 64, 2}));   // BLEND COPY ADD BLENDADD MUL
    // Changing 4, ChangeSpeed 2 (2.9 truncated): at phase 1 the first character is
    // round((0 - 1 + 4) * 2) = 6 codes above its own; at phase 2 the second is 6 above.
    const auto& writer = instance<Writer2Component>();
    EXPECT_EQ(writer.shownText("AB", 0, 1.0f), "G");
    EXPECT_EQ(writer.shownText("AB", 0, 2.0f), "EH");
    EXPECT_EQ(writer.shownText("AB", 0, 9.0f), "AB");
    EXPECT_EQ(writer.shownText("~", 0, 1.0f), "\x80");   // past 127 stays at 128
    EXPECT_EQ(writer.shownText("AB", 1, 5.0f), "G");      // line 1 starts at UpperAhead
    EXPECT_EQ(writer.shownText(std::string(2000, 'A'), 0, 5000.0f), std::string(1023, 'A'));
    // With ChangeSpeed 0 the characters are typed as they are.
    EXPECT_EQ(instance<Writer2Component>(2).shownText("HELLO", 0, 3.0f), "HEL");
    // A ref other than left, centre and right stops.
    text("Writer2 w { Layer = TEXT Font = \"block.png\" MaxLines = 1 ref = 3 }");
    EXPECT_FATAL(frame(0.5f), "Writer ref: allowed values are 0 = left, 1 = center, 2 = right");
}

// Scroller s: centred on x = 0.25 + phase at depth 1 (64 pixels a unit), the three blocks
// span 4 + 6 + 6 = 16 pixels around the centre (the last column of the pen is empty).
// Scroller t, half a unit up (row 16), jumps at 0:2:0 and restarts at its position.
TEST_F(TextEffects, ScrollerMovesBySpeedFromItsPositionAndPhaseJumps)
{
    const std::string common = " Font = \"block.png\" Size = 0.015625, 0.015625 Enabled = true }";
    text("Scroller s { Layer = TEXT Position = 0.25, 0 Speed = -0.5 Text = \"AAA\" Col = 255, 0, 0" + common +
             "\nConstruct Scroller t { Layer = TEXT Position = 0, 0.5 Speed = 0 Text = \"A\"" + common,
         "0:2:0 Set t { Phase = -0.5 }\n", "0:4:0 120 1.0");
    const Picture first = frame(0.5f);
    EXPECT_COLOR(first.at(64 + 16, 48), kRed);
    EXPECT_NEAR(centre(first, 48), 64 + 16 - 1, 1.0);
    const double before = centre(first, 16);
    frame(0.5f);
    const Picture third = frame(0.5f);   // phase -0.5 after two frames of 0.5 s
    EXPECT_EQ(player->previousTime() >> 8, 2);
    EXPECT_NEAR(centre(third, 48), 64 + 16 - 32 - 1, 1.0);
    EXPECT_NEAR(centre(third, 16) - before, -32.0, 0.5);
    while (player->restarts() == 0)
        frame(0.5f);
    EXPECT_NEAR(centre(frame(0.5f), 16), before, 0.5);
}

}  // namespace
}  // namespace mirva::test
