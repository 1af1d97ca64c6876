// The frame update on a headless screen: layer order, RowsToShow, sample blocks on the
// frame of their trigger, the restart after the end, the camera set up from the common
// variables, and the info overlay.
//
// Textures that script instances make under a name. RenderTargetBegin and RenderTargetEnd
// in the layer order: the layers between them draw into the texture named by MapName, not
// onto the screen; the texture is there for the layers after them; a pass left open ends
// with the frame or at the next Begin; the texture goes with the destruct and comes back
// with every construct.
//
// FlicDecompress: the animation plays into the texture named by its file at FPS frames a
// second of updates, a Sprite naming that file shows each frame, a file that is no FLC
// shows nothing, and the texture goes with the destruct. The animation is 16 x 16: a
// transparent border of 4 pixels round a square of one colour a frame (red, green, blue,
// white). The sprite at depth 2 with half-size 1 covers the middle 32 x 32 pixels of the
// 64 x 48 screen, two pixels a texel.
#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "components/component.h"
#include "components/render_target_begin.h"
#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "player/instance_camera.h"
#include "tests/player/player_fixture.h"
#include "tools/flc_writer.h"

namespace mirva::test {
namespace {

// At tempo 120 a frame of half a second is one row.
constexpr float kRow = 0.5f;

// Clearer c's empty viewport draws nothing; its camera comes from the common variables.
TEST_F(FrameTest, LayerOrderDecidesWhichClearerColourWinsAndTheCameraComesFromTheCommonVariables)
{
    play("Enum Layers { BACK FRONT }\nConstruct Clearer red { Layer = FRONT ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct Clearer blue { Layer = BACK ClearColor = 0, 0, 255 Enabled = true }\n"
         "Construct Clearer c { Layer = FRONT Viewport = 0.5, 0, 0.2, 1 FOV = 60, 45 FrontBack = 1, 50 "
         "ZBufferMode = COMPARE CameraMotion = 1, 2, 3, 0, 0, 0, 1, 1, 1 Enabled = true }\n"
         "Timer 1:0:0 120 1.0\n"
         "0:3:0 Set red { Layer = BACK }\n0:3:0 Set blue { Layer = FRONT }\n0:5:0 Set blue { Layer = BACK }\n");
    expectColors(frame(kRow), {{10, 10, kRed}, {50, 10, kRed}});   // red comes later in layer order
    Camera& camera = *player->camera();
    setUpCamera(camera, *player->instances()[2]);
    // No width rather than a negative one; 60 and 45 degrees.
    EXPECT_EQ((std::array{camera.right, camera.nearPlane, camera.farPlane}), (std::array{0.5f, 1.0f, 50.0f}));
    EXPECT_NEAR(camera.horizontalFov, 1.0471976f, 1e-6);
    EXPECT_NEAR(camera.verticalFov, 0.7853982f, 1e-6);
    EXPECT_EQ(camera.depthMode, Camera::DEPTH_TEST);
    EXPECT_EQ((std::array{camera.view.m[3][0], camera.view.m[3][1], camera.view.m[3][2]}), (std::array{-1.0f, -2.0f, -3.0f}));
    while (player->previousTime() < time(0, 3))
        frame(kRow);
    EXPECT_COLOR(frontBuffer(device()).at(60, 40), kBlue);
    while (player->previousTime() < time(0, 5))
        frame(kRow);
    // Equal layers keep the order they had: red, then blue.
    EXPECT_COLOR(frontBuffer(device()).at(30, 20), kBlue);
}

TEST_F(FrameTest, RowsToShowRendersOnTheRowsCountedFromTheEnablingFrame)
{
    play("Enum Layers { BACK FRONT }\nConstruct Clearer back { Layer = BACK Enabled = true }\n"
         "Construct Clearer shown { Layer = FRONT ClearColor = 0, 255, 0 RowsToShow = 4 }\n"
         "Timer 4:0:0 120 1.0\n1:0:0 Begin shown\n");
    std::vector<int> greenRows;
    while (player->previousTime() < time(1, 8)) {
        const Picture picture = frame(kRow);
        ASSERT_EQ(player->previousTime() & 255, 0);
        if (near(picture.at(32, 24), kGreen))
            greenRows.push_back(player->previousTime() >> 8);
        else
            EXPECT_COLOR(picture.at(32, 24), kBlack);
    }
    EXPECT_EQ(greenRows, (std::vector<int>{64, 65, 66, 67}));
    EXPECT_FALSE(player->instances()[1]->enabled());
}

TEST_F(FrameTest, ASampleBlockIsAppliedOnTheFrameOfItsTrigger)
{
    SoundOutput::choose(SoundOutput::Kind::Offline);
    fourRowModule().write("four.mod");
    play("Enum Layers { BACK FRONT }\nConstruct Clearer c { Layer = BACK ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct Clearer d { Layer = FRONT ClearColor = 0, 0, 255 Viewport = 0, 0, 0.5, 1 }\n"
         "Song \"four.mod\"\n"
         "0:0:0 SampleMessageBegin c { SampleNumber = 3 ClearColor = 0, 255, 0 }\n"
         "0:0:0 SampleMessageBegin d { SampleNumber = 3 Enabled = true }\n");
    // Instrument 3 starts row 1, sample 5292: the first frame at 60 a second whose
    // samples reach it is frame 8 (samples 5145 to 5880).
    for (std::uint64_t n = 0; n < 8; ++n)
        expectColors(songFrame(n, 60.0), {{10, 24, kRed}, {50, 24, kRed}});
    // d is shown in the frame that enabled it.
    expectColors(songFrame(8, 60.0), {{50, 24, kGreen}, {10, 24, kBlue}});
    EXPECT_EQ(player->instances()[1]->rowsShown(), 1);   // the row crossed in this frame
}

TEST_F(FrameTest, TheScriptRestartsAtTheEndOfTheFrameThatPassedTheEnd)
{
    play("Construct Clearer c { ClearColor = 255, 0, 0 Enabled = true }\n"
         "Timer 0:4:0 120 1.0\n0:2:0 Set c { ClearColor = 0, 255, 0 }\n");
    // Without Info no text is drawn (every pixel is the clear colour) and no font loaded.
    const Picture first = frame(kRow);
    EXPECT_TRUE(std::ranges::all_of(first.pixels, [](std::uint32_t p) { return p == kRed; }));
    EXPECT_FALSE(Texture::exists("fonts/defaultfont.png"));
    player->infoPrint(0, 0, "%s", "nothing");
    frame(2.0f);   // the timer started at 0:0:0; a frame of more than half a second counts as half, below 0 as none
    frame(-1.0f);
    EXPECT_EQ(player->previousTime(), time(0, 1));
    while (player->previousTime() < time(0, 4))
        frame(kRow);
    EXPECT_EQ(player->restarts(), 0);   // exactly at the end is not past it
    EXPECT_COLOR(frame(kRow).at(5, 5), kGreen);   // the frame that passed the end is drawn
    EXPECT_EQ(player->restarts(), 1);
    EXPECT_EQ(player->previousTime(), 0);
    EXPECT_EQ(traces.substr(traces.size() - 8), "LOOPING\n");
    EXPECT_COLOR(frame(kRow).at(5, 5), kRed);   // constructed again from the start
    EXPECT_EQ(player->previousTime(), time(0, 1));
}

// The info overlay's text cells on a 640 x 480 screen: one cell is one font height of
// pixels both ways.
TEST_F(FrameTest, InfoModeWritesOneLinePerVisibleInstanceUnderTheHeader)
{
    openScreen(640, 480);
    copyData("fonts/defaultfont.png");
    play("Info\nEnum Layers { BACK FRONT }\nConstruct Clearer c { Layer = BACK Enabled = true }\n"
         "Construct Clearer hidden { Layer = FRONT ColorBuffer = false }\nTimer 1:0:0 120 1.0\n");
    const Picture picture = frame(kRow);
    const int h = player->infoOverlay()->font().height();
    // fps, Texmem, the time and one instance: four lines of text from the top-left cell on,
    // nothing below them.
    EXPECT_TRUE(lit(picture, 0, h, h));
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE(lit(picture, row * h, (row + 1) * h, 200)) << "row " << row;
    EXPECT_FALSE(lit(picture, 4 * h + 1, 480, 640));
    EXPECT_EQ(infoTimeText(time(1, 2) | 3), "01:02:03");
    EXPECT_EQ(infoTimeText(time(123, 45) | 200), "123:45:200");
}


class NamedTextures : public FrameTest {
protected:
    // What the texture named `name` holds now, drawn over the whole back buffer.
    Picture captured(const std::string& name)
    {
        D3DVIEWPORT8 whole{0, 0, 64, 48, 0.0f, 1.0f};
        device()->SetViewport(&whole);
        drawTexture(Texture::getD3DSurface(name).texture());
        return flipAndRead();
    }
};

// A RenderTargetBegin in `layer` into the texture of its own name, `side` pixels square.
std::string begin(const std::string& name, const std::string& layer, int side, const std::string& zBuffer = "false")
{
    const std::string size = std::to_string(side);
    return "Construct RenderTargetBegin " + name + " { Layer = " + layer + " MapName = \"" + name +
           "\" Width = " + size + " Height = " + size + " ZBuffer = " + zBuffer + " Alpha = false Enabled = true }\n";
}

// On a red screen a green pass into "capture", a blue clear of the right half of the screen,
// and a sprite of the capture at depth 2 with half-size 1: it covers the middle half of the
// screen across and two thirds of it down (at depth 2 the screen is 4 x 3 units).
TEST_F(NamedTextures, LayersBetweenBeginAndEndDrawIntoTheNamedTextureForTheLayersAfter)
{
    play(layered("BEGIN INSIDE END AFTER SHOW", "255, 0, 0",
                 begin("capture", "BEGIN", 32, "true") +
                     "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
                     "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
                     "Construct Clearer after { Layer = AFTER ClearColor = 0, 0, 255 Viewport = 0.5, 0, 1, 1 "
                     "Enabled = true }\nConstruct Sprite show { Layer = SHOW Map = \"capture\" "
                     "Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 Enabled = true }\n",
                 "0:2:0 Destruct show\n0:2:0 Destruct capture\n", "0:4:0 120 1.0"));
    // The pass's green never reached the screen but through the sprite; the layer after the
    // pass draws on the screen.
    expectColors(frame(0.5f), {{32, 24, kGreen}, {18, 10, kGreen}, {46, 38, kGreen}, {10, 24, kRed}, {14, 24, kRed},
                               {50, 24, kBlue}, {31, 6, kRed}, {31, 42, kRed}});
    const auto& begin = static_cast<const RenderTargetBeginComponent&>(*player->findInstance("capture"));
    ASSERT_NE(begin.target(), nullptr);
    EXPECT_EQ(begin.target()->width(), 32);
    EXPECT_EQ(player->camera()->openPass(), nullptr);  // the End closed it
    expectColors(captured("capture"), {{10, 10, kGreen}, {60, 40, kGreen}});
    // The destructs release the texture; without its Begin, the pass's layers draw on the
    // screen (and the End finds no target).
    while (player->previousTime() < (2 << 8))
        frame(0.5f);
    EXPECT_FALSE(Texture::exists("capture"));
    EXPECT_EQ(begin.target(), nullptr);
    EXPECT_COLOR(frontBuffer(device()).at(10, 24), kGreen);
    // The restart makes both again and the sprite shows the new target.
    while (player->restarts() == 0)
        frame(0.5f);
    expectColors(frame(0.5f), {{10, 24, kRed}, {32, 24, kGreen}});
    EXPECT_TRUE(Texture::exists("capture"));
    EXPECT_COLOR(captured("capture").at(32, 24), kGreen);
}

// Two passes in one frame, each with its End or, without them, each Begin ending the pass
// before it and the frame ending the last: either way each fills its own texture and the
// screen keeps its own picture frame after frame.
TEST_F(NamedTextures, TwoPassesInOneFrameEachFillTheirOwnTexture)
{
    for (const std::string ends : {"true", "false"}) {
        SCOPED_TRACE(ends);
        // Pass n: its Begin into texture "pass<n>", a Clearer of `color` and its End.
        const auto pass = [&](const std::string& n, const std::string& color) {
            return begin("pass" + n, "B" + n, 16) + "Construct Clearer in" + n + " { Layer = IN" + n +
                   " ClearColor = " + color + " Enabled = true }\nConstruct RenderTargetEnd end" + n +
                   " { Layer = E" + n + " Enabled = " + ends + " }\n";
        };
        play(layered("B1 IN1 E1 B2 IN2 E2", "255, 0, 0", pass("1", "0, 255, 0") + pass("2", "0, 0, 255")));
        EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
        EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
        EXPECT_COLOR(captured("pass1").at(32, 24), kGreen);
        EXPECT_COLOR(captured("pass2").at(32, 24), kBlue);
    }
}

constexpr std::uint32_t kBackground = 0xFF000050;

// The four frames of the animation as "squares.flc".
void writeSquares()
{
    const FlcPalette palette{{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};
    FlcWriter writer(16, 16);
    for (std::uint8_t frame = 0; frame < 4; ++frame) {
        FlcBytes indices(256, 0);
        for (int y = 4; y < 12; ++y)
            std::fill_n(indices.begin() + y * 16 + 4, 8, static_cast<std::uint8_t>(frame + 1));
        writer.addFrame(indices, palette);
    }
    writer.write("squares.flc");
}

// `animation` played at `fps` on a dark blue screen and shown by a sprite naming it; both go
// at 0:1:0.
std::string flic(const std::string& animation, const std::string& fps)
{
    return layered("ANIM SHOW", "0, 0, 80",
                   "Construct FlicDecompress anim { Layer = ANIM Flic = \"" + animation + "\" FPS = " + fps +
                       " Enabled = true }\nConstruct Sprite show { Layer = SHOW Map = \"" + animation +
                       "\" Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 Enabled = true }\n",
                   "0:1:0 Destruct anim\n0:1:0 Destruct show\n");
}

// Construct decodes the first picture, then every `updatesPerFrame` updates the next; after
// the fourth comes the ring frame, the first picture again.
TEST_F(NamedTextures, FlicASpriteNamingTheFileShowsAFrameEveryFpsFramesASecondOfUpdates)
{
    writeSquares();
    const std::uint32_t colours[] = {kRed, kGreen, kBlue, 0xFFFFFFFF};
    for (const auto& [fps, updatesPerFrame] : {std::pair{"10", 5}, {"50", 1}, {"0", 0}, {"-5", 0}}) {
        SCOPED_TRACE(fps);
        play(flic("squares.flc", fps));
        for (int update = 1; update <= 20; ++update) {
            const int decoded = updatesPerFrame ? update / updatesPerFrame : 0;
            // The square, and the transparent border.
            expectColors(frame(0.02f), {{32, 24, colours[decoded % 4]}, {20, 12, kBackground}});
        }
        // The animation's own reference and the sprite's.
        EXPECT_EQ(Texture::getD3DSurface("squares.flc").referenceCount, 2);
        while (player->previousTime() < (1 << 8))   // the destructs release it
            frame(0.25f);
        EXPECT_FALSE(Texture::exists("squares.flc"));
    }
}

TEST_F(NamedTextures, FlicAFileThatIsNoFlcShowsNothing)
{
    writeText("text.flc", "this is not an animation, just some text long enough to be read");
    play(flic("text.flc", "50"));
    for (int update = 0; update < 3; ++update)
        EXPECT_COLOR(frame(0.02f).at(32, 24), kBackground);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").width, 1);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").height, 1);
}

TEST_F(NamedTextures, FlicATextureOfTheSameNameThatDoesNotFitIsRefused)
{
    writeSquares();
    play("Construct RenderTargetBegin target { MapName = \"squares.flc\" Width = 32 Height = 32 ZBuffer = false "
         "Alpha = false }\nConstruct FlicDecompress anim { Flic = \"squares.flc\" }\nTimer 4:0:0 120 1.0\n");
    EXPECT_FATAL(frame(0.02f), "FlicDecompress: texture 'squares.flc' exists already, not as a 16 x 16 A4R4G4B4 texture");
}

}  // namespace
}  // namespace mirva::test
