// The frame update on a headless screen: layer order, RowsToShow, sample blocks on the
// frame of their trigger, the restart after the end, the camera set up from the common
// variables, and the info overlay.
#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "components/component.h"
#include "engine/camera.h"
#include "engine/texture.h"
#include "player/instance_camera.h"
#include "tests/player/player_fixture.h"

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
    EXPECT_EQ(player->nextInstruction(), 0u);
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

}  // namespace
}  // namespace mirva::test
