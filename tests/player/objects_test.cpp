// LightWave objects in scripts: Object, Cartoon and Material drawn by the frame update,
// placed by an LWS scene or by their Motion, on the headless 64 x 48 screen, and what
// other layers do to the depth they leave. Painterly draws its object as brush strokes
// (the light comes from the camera; the brush is opaque white, so a stroke shows its
// vertex colour as it is). Scroller3D bends objects between two paths, read back from the
// mesh it writes and from the frame.
//
// The view looks along +z from the origin with the default fields of view (90 x 73.74
// degrees): at depth d one unit across is 32 / d pixels, one unit up 24 / (0.75 d).
// A box from -1 to 1 placed at z = 6 shows its front face at depth 5: pixels 25.6 to 38.4
// across, 17.6 to 30.4 down.
#include <cmath>

#include <gtest/gtest.h>

#include "components/object.h"
#include "components/painterly.h"
#include "components/scroller3d.h"
#include "engine/primitive.h"
#include "lightwave/lw_object.h"
#include "tests/player/player_fixture.h"

namespace mirva::test {
namespace {

// Straight ahead at depth `z`.
std::string ahead(int z) { return " Motion = 0, 0, " + std::to_string(z) + ", 0, 0, 0, 1, 1, 1 "; }

// A script on a black BACK, with the layers SCENE, MATERIAL and DRAW.
std::string onBlack(const std::string& body, const std::string& timed = "")
{
    return layered("SCENE MATERIAL DRAW", "0, 0, 0", body, timed);
}

class Objects : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        writeObject("red.lwo", ObjectWriter::box(-1, -1, -1, 1, 1, 1), 1, 0, 0);
        writeObject("green.lwo", ObjectWriter::box(-1, -1, -1, 1, 1, 1), 0, 1, 0);
    }

    // Frames of a quarter second until the script time reaches `row` of order 0; the last
    // of them (the one that executed that row's instructions), read back.
    Picture untilRow(int row)
    {
        Picture last = frame(0.25f);
        while (player->previousTime() < (row << 8))
            last = frame(0.25f);
        return last;
    }

    // The ball (radius 1.5 at depth 6: a disc of radius 8.3 pixels around (32, 24)) on blue.
    Picture toon(const std::string& settings)
    {
        copyData("maps/64shade.tga");
        copyData("shaders/cartoon.vso");
        writeObject("ball.lwo", ObjectWriter::geodesicSphere(1.5f, 3), 1, 1, 1);
        play(layered("DRAW", "0, 0, 255", "Construct Material flat { Type = FACTOR Factor = 0, 255, 0 }\n"
                     "Construct Cartoon ball { Layer = DRAW Object = \"ball.lwo\"" + ahead(6) + settings +
                     " Enabled = true }\n"));
        return frame(0.1f);
    }

    // Painterly `object` at `motion` on green, with a white brush and a blue environment
    // unless told otherwise; tube.lwo and white.lwo are an open tube of radius 1.5 along y,
    // 3 high (its strokes run round it), black and white.
    Picture paint(const std::string& object, const std::string& motion, const std::string& brush = "brush.tga",
                  const std::string& environment = "blue.tga")
    {
        writeImage("brush.tga", 0xFFFFFFFF);
        writeImage("blue.tga", 0xFF0000FF);
        writeObject("tube.lwo", ObjectWriter::cylinder(1.5f, 3, 24, 10), 0, 0, 0);
        writeObject("white.lwo", ObjectWriter::cylinder(1.5f, 3, 24, 10), 1, 1, 1);
        play(layered("DRAW", "0, 255, 0", "Construct Painterly paint { Layer = DRAW Object = \"" + object +
                     "\" BrushMap = \"" + brush + "\" EnvMap = \"" + environment + "\" Motion = " + motion +
                     " Enabled = true }\n"));
        return frame(0.1f);
    }
    PainterlyComponent& painterly() { return dynamic_cast<PainterlyComponent&>(*player->findInstance("paint")); }

    // Scroller3D "bent" of `object` after `before`, the instances its settings name; its
    // first frame of half a second goes to `scrolled`.
    Scroller3DComponent& scroller(const std::string& object, const std::string& settings,
                                  const std::string& before = "")
    {
        play(layered("DRAW", "0, 0, 0", before + "Construct Scroller3D bent { Layer = DRAW Object = \"" + object +
                                            "\" " + settings + " Enabled = true }\n"));
        scrolled = frame(0.5f);
        return dynamic_cast<Scroller3DComponent&>(*player->findInstance("bent"));
    }

    Picture scrolled;
};

// Two instances of one file share its mesh until the last goes.
TEST_F(Objects, ASceneDrawsTheObjectAtEveryObjectOfItsNameUntilItGoes)
{
    writeText("two.lws", scene(sceneObject("red.lwo", -2.5f, 0, 6) + sceneObject("red.lwo", 2.5f, 0, 6)));
    play(onBlack("Construct LWS scene { Layer = SCENE Scene = \"two.lws\" Enabled = true }\n"
                 "Construct Object boxes { Layer = DRAW Object = \"red.lwo\" Scene = scene" + ahead(6) +
                 "Enabled = true }\n"
                 "Construct Object absent { Layer = DRAW Object = \"green.lwo\" Scene = scene Enabled = true }\n"
                 "Construct Object other { Object = \"red.lwo\" }\n",
                 "0:1:0 Destruct scene\n0:2:0 Destruct other\n0:3:0 Destruct boxes\n"));
    const Picture picture = frame(0.1f);
    // Each front face spans 1 / 5 of the depth either side of x = +-2.5: pixels 9.6..22.4
    // and 41.6..54.4; the box's own Motion has no say while the scene is there.
    expectColors(picture, {{16, 24, kRed}, {48, 24, kRed}, {32, 24, kBlack}, {7, 24, kBlack}});
    for (std::uint32_t pixel : picture.pixels)
        ASSERT_NE(pixel & 0xFF00FF00, 0xFF00FF00u) << "the green box has no place in the scene";
    EXPECT_EQ(ObjectComponent::sharing("red.lwo"), 2);
    // Once the scene is destructed the box draws at its Motion.
    expectColors(untilRow(1), {{32, 24, kRed}, {16, 24, kBlack}});
    untilRow(2);
    EXPECT_EQ(ObjectComponent::sharing("red.lwo"), 1);
    untilRow(3);
    EXPECT_EQ(ObjectComponent::sharing("red.lwo"), 0);
}

TEST_F(Objects, ADiffuseEnvelopeChangesTheLitColourEveryFrame)
{
    // A white distant light shining along +z, away from the view into the scene.
    writeText("lit.lws", scene(sceneObject("red.lwo", 0, 0, 6) + "AddLight\nLightName Sun\nLightMotion\n" +
                               motion({0, 0, 0, 0, 0, 0, 1, 1, 1}) + "LightColor 1 1 1\nLightIntensity 1\nLightType 0\n"));
    play(onBlack("Construct LWS scene { Layer = SCENE Scene = \"lit.lws\" Enabled = true }\n"
                 "Construct Material paint { Layer = MATERIAL Lighting = true Enabled = true\n"
                 "  Diffuse = Key 0,0,LINEAR Key 1,255,LINEAR CONSTANT CONSTANT, 0, 255, 255 }\n"
                 "Construct Object box { Layer = DRAW Object = \"red.lwo\" Material = paint Scene = scene "
                 "Enabled = true }\n"));
    // The face looks straight at the light, but its corners' normals lean away from it
    // into the box's diagonals: every channel comes at cos 54.7 = 0.577 of the diffuse.
    EXPECT_NEAR(channel(frame(0.25f).at(32, 24), 16), 0.577 * 64, 3);
    const std::uint32_t later = frame(0.5f).at(32, 24);
    EXPECT_NEAR(channel(later, 16), 0.577 * 191, 3);
    EXPECT_NEAR(later & 0xFF, 0.577 * 255, 3);
}

// On the left (pixel 16) a box lit without lights: only ambient light reaches it, the
// view's ambient (the Object's common Ambient) times the material's. On the right (pixel
// 48) a textured box whose Map a later block sets: it shows in that very frame.
TEST_F(Objects, AmbientInAMaterialBlockIsItsOwnAndAMapSetLaterShowsInThatVeryFrame)
{
    writeImage("red.tga", kRed);
    writeImage("blue.tga", kBlue);
    play(onBlack("Construct Material lit { Lighting = true Ambient = 0, 255, 0 }\n"
                 "Construct Object left { Layer = DRAW Object = \"red.lwo\" Material = lit Ambient = 255, 255, 255 "
                 "Motion = -2.5, 0, 6, 0, 0, 0, 1, 1, 1 Enabled = true }\n"
                 "Construct Material paint { Type = TEXTURE Map = \"red.tga\" }\n"
                 "Construct Object right { Layer = DRAW Object = \"green.lwo\" Material = paint "
                 "Motion = 2.5, 0, 6, 0, 0, 0, 1, 1, 1 Enabled = true }\n",
                 "0:1:0 Set paint { Map = \"blue.tga\" }\n"));
    Picture last = frame(0.25f);
    EXPECT_COLOR(last.at(16, 24), kGreen);
    for (; player->previousTime() < (1 << 8); last = frame(0.25f))
        EXPECT_COLOR(last.at(48, 24), kRed);
    EXPECT_COLOR(last.at(48, 24), kBlue);
}

TEST_F(Objects, SpeedZeroFreezesTheSceneAtPhaseAndPhaseJumps)
{
    // A box sliding along x from -2.5 at 0 s to 2.5 at 2 s.
    writeText("slide.lws", scene("LoadObjectLayer 1 red.lwo\nObjectMotion\n" +
                                 motion({0, 0, 6, 0, 0, 0, 1, 1, 1}, {{0, {{{-2.5f, 0, 3}}, {{2.5f, 2, 3}}}}})));
    play(onBlack("Construct LWS scene { Layer = SCENE Scene = \"slide.lws\" Speed = 0 Enabled = true }\n"
                 "Construct Object box { Layer = DRAW Object = \"red.lwo\" Scene = scene Enabled = true }\n",
                 "0:1:0 Set scene { Phase = 2 }\n0:2:0 Set scene { Phase = 1 Speed = 1 }\n"));
    for (int i = 0; i < 3; ++i)
        expectColors(frame(0.2f), {{16, 24, kRed}, {48, 24, kBlack}});
    expectColors(untilRow(1), {{16, 24, kBlack}, {48, 24, kRed}});   // the scene jumps to its end
    // From 0:2:0 on it plays from time 1, the box at the middle, half a unit a second.
    EXPECT_COLOR(untilRow(2).at(32, 24), kRed);
}

TEST_F(Objects, AViewWithCameraNameSeesThroughTheKeyedSceneCamera)
{
    // The camera flies in a straight line from (-6, 0, 0) facing +x to (0, 0, -6) facing
    // +z, turning as it goes so that the box at the origin stays straight ahead.
    const std::string flight = motion({0, 0, 0, 0, 0, 0, 1, 1, 1}, {{0, {{{-6, 0, 3}}, {{0, 1, 3}}}},
                                                                  {2, {{{0, 0, 3}}, {{-6, 1, 3}}}},
                                                                  {3, {{{1.5707964f, 0, 3}}, {{0, 1, 3}}}}});
    writeText("flight.lws", scene(sceneObject("red.lwo", 0, 0, 0) + "AddCamera\nCameraName Cam\nCameraMotion\n" +
                                  flight + "ZoomFactor 3.2\n"));
    play(onBlack("Construct LWS scene { Layer = SCENE Scene = \"flight.lws\" Enabled = true }\n"
                 "Construct Object box { Layer = DRAW Object = \"red.lwo\" Scene = scene CameraName = \"Cam\" "
                 "Enabled = true }\n"));
    for (int i = 0; i < 4; ++i)
        expectColors(frame(0.25f), {{32, 24, kRed}, {2, 2, kBlack}, {61, 45, kBlack}});
}

// What draws after the red box (its face at depth 5): a Clearer without ColorBuffer leaves
// every colour as it was and clears only the depth, so the green box behind (its face at
// depth 9, pixels 28.4 to 35.6 across) shows through; a white sprite at depth 8 (half-size
// 3: 12 pixels either way) covers the box, as sprites draw without depth test unless
// their block asks for one.
TEST_F(Objects, WhatDrawsAfterAnObjectSeesItsDepthOrNot)
{
    writeImage("white.tga", 0xFFFFFFFF);
    const std::string clearer = "Construct Clearer depth { Layer = MATERIAL ClearColor = 0, 0, 0 ColorBuffer = false ";
    const std::string far =
        "}\nConstruct Object far { Layer = DRAW Object = \"green.lwo\"" + ahead(10) + "Enabled = true }\n";
    const std::string sprite =
        "Construct Sprite flat { Layer = DRAW Map = \"white.tga\" Blend = COPY Size = 3, 3" + ahead(8);
    const struct {
        std::string after;
        std::uint32_t middle, side;   // at (32, 24) and (37, 24)
    } cases[] = {
        {clearer + "Enabled = true " + far, kGreen, kRed},
        {clearer + "DepthBuffer = false Enabled = true " + far, kRed, kRed},
        {sprite + "Enabled = true }\n", 0xFFFFFFFF, 0xFFFFFFFF},
        {sprite + "ZBufferMode = COMPARE Enabled = true }\n", kRed, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        play(layered("SCENE MATERIAL DRAW", "0, 0, 255",
                     "Construct Object near { Layer = SCENE Object = \"red.lwo\"" + ahead(6) + "Enabled = true }\n" +
                         c.after));
        expectColors(frame(0.1f), {{32, 24, c.middle}, {37, 24, c.side}, {2, 2, kBlue}});
    }
}

int brightness(std::uint32_t color) { return channel(color, 16) + channel(color, 8) + channel(color, 0); }

TEST_F(Objects, CartoonsTheSilhouetteIsOutlinedInBlackAroundTheShadeOfTheLightOrOfAMaterial)
{
    const Picture picture = toon("LightPosition = -20, 0, 6");
    auto background = [&](int x, int y) { return picture.at(x, y) == 0xFF0000FFu; };
    auto black = [&](int x, int y) { return brightness(picture.at(x, y)) < 60; };
    int rim = 0, outlined = 0;
    for (int y = 1; y < 47; ++y)
        for (int x = 1; x < 63; ++x) {
            const float distance = std::hypot(static_cast<float>(x - 32), static_cast<float>(y - 24));
            if (background(x, y)) {
                EXPECT_GT(distance, 7.5f) << x << "," << y;
                continue;
            }
            EXPECT_LT(distance, 9.5f) << x << "," << y;
            EXPECT_TRUE(distance >= 6.5f || !black(x, y)) << "outline inside the ball at " << x << "," << y;
            if (background(x - 1, y) || background(x + 1, y) || background(x, y - 1) || background(x, y + 1)) {
                ++rim;
                outlined += black(x, y);
            }
        }
    // The lines run along the rim: where one passes between pixel centres it leaves a
    // pixel of the ball's own shade.
    EXPECT_GT(rim, 30);
    EXPECT_GT(outlined * 10, rim * 4) << outlined << " of " << rim;
    // Moving the light moves the shade bands.
    EXPECT_GT(brightness(picture.at(27, 24)), brightness(picture.at(37, 24)) + 60);
    const Picture fromRight = toon("LightPosition = 20, 0, 6");
    EXPECT_GT(brightness(fromRight.at(37, 24)), brightness(fromRight.at(27, 24)) + 60);
    // A material pointer replaces the shade but keeps the outline.
    expectColors(toon("Material = flat"), {{32, 24, kGreen}, {25, 19, kBlack}});
}

TEST_F(Objects, PainterlyADarkSurfaceShowsTheEnvironmentAndALightOneItsOwnColour)
{
    // The tube's rim, where the strokes turn away from the light, has no highlight.
    const Picture dark = paint("tube.lwo", "0, -1.5, 6, 0, 0, 0, 1, 1, 1");
    EXPECT_COLOR(dark.at(2, 24), kGreen);
    const std::uint32_t darkRim = dark.at(26, 24);
    EXPECT_GT(channel(darkRim, 0), channel(darkRim, 16) + 80) << hex(darkRim);
    const std::uint32_t whiteRim = paint("white.lwo", "0, -1.5, 6, 0, 0, 0, 1, 1, 1").at(26, 24);
    EXPECT_GT(channel(whiteRim, 16), 110) << hex(whiteRim);
    // A tenth of the blue environment at most (26), wherever the strokes fell: the
    // generator they are scattered with is the program's, drawn by other tests too.
    EXPECT_NEAR(channel(whiteRim, 16), channel(whiteRim, 0), 30) << hex(whiteRim);
}

TEST_F(Objects, PainterlyMoreThan512VisibleStrokesAreDrawnInSeveralBatches)
{
    // A ring tipped towards the camera: the first batch holds its far side (above), the
    // last its near side (below).
    writeObject("ring.lwo", ObjectWriter::torus(1.4f, 0.5f, 24, 12), 0, 0, 0);
    const Picture picture = paint("ring.lwo", "0, 0, 4.5, 0, -0.6, 0, 1, 1, 1");
    const int strokes = painterly().strokesDrawn();
    EXPECT_GT(strokes, kStrokesPerBatch);
    EXPECT_EQ(painterly().batchesDrawn(), (strokes + kStrokesPerBatch - 1) / kStrokesPerBatch);
    EXPECT_EQ(PainterlyComponent::sharing("ring.lwo"), 1);
    EXPECT_NE(picture.at(32, 19), kGreen);
    EXPECT_NE(picture.at(32, 32), kGreen);
    EXPECT_COLOR(picture.at(32, 25), kGreen);  // the hole
}

TEST_F(Objects, PainterlyAMissingBrushOrEnvironmentStopsWithTheFileItNames)
{
    for (const auto& [brush, environment, missing] : {std::tuple{"nobrush.tga", "blue.tga", "nobrush.tga"},
                                                      {"brush.tga", "noenv.tga", "noenv.tga"}})
        EXPECT_FATAL(paint("tube.lwo", "0, 0, 6, 0, 0, 0, 1, 1, 1", brush, environment),
                     std::string("Phile::load - couldn't open file '") + missing + "'");
}

// Paths whose x runs back as their time runs on (x = -t), as a scroller's text enters
// from the right: a vertex at object x shows at -(phase - x * Stretch).
constexpr const char* kRunningX = "Key -10,10,LINEAR Key 10,-10,LINEAR CONSTANT CONSTANT";

TEST_F(Objects, Scroller3DStretchSpreadsTheObjectAlongThePathsAndZeroCollapsesIt)
{
    writeObject("box.lwo", ObjectWriter::box(-1, -1, -1, 1, 3, 1), 1, 0, 0);   // height 4 from y = -1
    const struct {
        const char* stretch;
        float left, right;   // where the box's x = -1 and x = 1 land, half a second in
    } cases[] = {{"0", -0.5f, -0.5f}, {"2", -2.5f, 1.5f}, {"1", -1.5f, 0.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stretch);
        const std::string paths = std::string("UpperMotion = ") + kRunningX + ", 1, 6 LowerMotion = " + kRunningX +
                                  ", -1, 6 Stretch = " + c.stretch;
        const Primitive& mesh = *scroller("box.lwo", paths).mesh();
        const LWObject box = LWObject::Load("box.lwo");
        for (int i = 0; i < 8; ++i)
            EXPECT_NEAR(mesh.vertex(i).x, box.vertices[static_cast<std::size_t>(i)].position.x < 0 ? c.left : c.right,
                        1e-4) << i;
    }
    // Stretch 1: the box spans x -1.5..0.5 at depth 6, pixels 24 to 34 across, 19 to 29 up.
    EXPECT_COLOR(scrolled.at(28, 24), kRed);
    EXPECT_COLOR(scrolled.at(40, 24), kBlack);
}

TEST_F(Objects, Scroller3DAnObjectWithoutHeightLiesOnTheLowerPath)
{
    writeObject("flat.lwo", ObjectWriter::grid(2, 2), 0, 1, 0);
    const Primitive& mesh = *scroller("flat.lwo", "UpperMotion = 0, 9, 0 LowerMotion = 5, 6, 7").mesh();
    for (int i = 0; i < mesh.vertexCapacity(); ++i) {
        const Primitive::Vertex& v = mesh.vertex(i);
        EXPECT_EQ((std::array<float, 3>{v.x, v.y, v.z}), (std::array<float, 3>{5, 6, 7})) << i;
    }
}

TEST_F(Objects, Scroller3DTheShowsTextReadsAlongStraightPaths)
{
    // Paths at x = -3.5 - t, a unit apart, with Stretch 1: half a second in, every vertex
    // lands at (x - 4, y - 0.5, 4), where an Object at that Motion, flattened to depth 0,
    // shows the unbent text. Both in one colour on a 160 x 120 screen: the bent text must
    // cover the same pixels.
    openScreen(160, 120);
    copyData("objects/scrolltext.lwo");
    const std::string gold = "Construct Material gold { Layer = BACK Type = FACTOR Culling = NOCULLING "
                             "Factor = 255, 200, 0, 255 Enabled = true }\n";
    const std::string run = "Key -40,36.5,LINEAR Key 10,-13.5,LINEAR CONSTANT CONSTANT";
    scroller("objects/scrolltext.lwo",
             "Material = gold Stretch = 1 UpperMotion = " + run + ", 0.5, 4 LowerMotion = " + run + ", -0.5, 4", gold);
    const Picture bent = scrolled;
    play(layered("DRAW", "0, 0, 0", gold + "Construct Object flat { Layer = DRAW Object = \"objects/scrolltext.lwo\" "
                                          "Material = gold Motion = -4, -0.5, 4, 0, 0, 0, 1, 1, 0 Enabled = true }\n"));
    const Picture straight = frame(0.5f);
    int letters = 0, differing = 0;
    for (std::size_t i = 0; i < bent.pixels.size(); ++i) {
        letters += (bent.pixels[i] & 0xFFFFFF) == 0xFFC800;
        differing += (bent.pixels[i] != straight.pixels[i]);
    }
    EXPECT_GT(letters, 1000);
    EXPECT_LT(differing, letters / 10);
}

}  // namespace
}  // namespace mirva::test
