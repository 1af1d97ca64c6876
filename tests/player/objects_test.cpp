// LightWave objects in scripts: Object, Cartoon and Material drawn by the frame update,
// placed by an LWS scene or by their Motion, on the headless 64 x 48 screen, and what
// other layers do to the depth they leave.
//
// The view looks along +z from the origin with the default fields of view (90 x 73.74
// degrees): at depth d one unit across is 32 / d pixels, one unit up 24 / (0.75 d).
// A box from -1 to 1 placed at z = 6 shows its front face at depth 5: pixels 25.6 to 38.4
// across, 17.6 to 30.4 down.
#include <cmath>

#include <gtest/gtest.h>

#include "components/object.h"
#include "tests/player/frame_fixture.h"

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

class Cartoons : public Objects {
protected:
    void SetUp() override
    {
        Objects::SetUp();
        copyData("maps/64shade.tga");
        copyData("shaders/cartoon.vso");
        writeObject("ball.lwo", ObjectWriter::geodesicSphere(1.5f, 3), 1, 1, 1);
    }

    // The ball (radius 1.5 at depth 6: a disc of radius 8.3 pixels around (32, 24)) on blue.
    Picture toon(const std::string& settings)
    {
        play(layered("DRAW", "0, 0, 255", "Construct Material flat { Type = FACTOR Factor = 0, 255, 0 }\n"
                     "Construct Cartoon ball { Layer = DRAW Object = \"ball.lwo\"" + ahead(6) + settings +
                     " Enabled = true }\n"));
        return frame(0.1f);
    }
};

int brightness(std::uint32_t color) { return channel(color, 16) + channel(color, 8) + channel(color, 0); }

TEST_F(Cartoons, TheSilhouetteIsOutlinedInBlackAroundTheShadeOfTheLightOrOfAMaterial)
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
            if (distance < 6.5f) {
                EXPECT_FALSE(black(x, y)) << "outline inside the ball at " << x << "," << y;
            }
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

}  // namespace
}  // namespace mirva::test
