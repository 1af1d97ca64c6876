// The show end to end on a (virtual) X display: `mirva` started as the user starts it, its
// setup dialog accepted with Enter, then the start-up screen, the show's frames, the game
// screen on '0', a game started with Space, the show again on '9', and the end on Esc,
// seen in the pixels the X server shows and typed through xdotool.
//
// The show's script is a small one of the test's own: a Timer with one Clearer that is
// switched on after a delay, so the start-up screen stays in sight until then.
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/game_screen.h"
#include "tests/support/files.h"
#include "tests/support/graphics.h"
#include "tests/support/run.h"
#include "tests/window/window_contents.h"
#include "tests/window/window_driver.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kStartUpOrange = 0xFFFF8000;
constexpr std::uint32_t kShowBlue = 0xFF0040FF;
constexpr std::uint32_t kGameBackground = kGameScreenClearColor;
constexpr std::uint32_t kEmptyCell = 0xFF000000;

class ShowWindow : public WindowDriverTest {
protected:
    // Starts the show with its Clearer switched on at `delay` (order:row:decimals), at 120
    // rows a minute (a row is half a second), accepts its setup dialog ("come on my
    // selector") with Enter and returns its window ("mirva"; 0 when none comes).
    unsigned long start(const std::string& delay)
    {
        std::filesystem::create_directory(dir_.path() / "scripts");
        writeText(dir_.file("scripts/deriravedivido.txt"),
                  "Enum Layers { BACK }\nConstruct Clearer back { Layer = BACK ClearColor = 0, 64, 255 }\n"
                  "Timer 8:0:0 120 1.0\n" + delay + " Set back { Enabled = true }\n");
        mirva_ = std::make_unique<MirvaProcess>(std::vector<std::string>{"-console"}, dir_.path().string());
        const unsigned long dialog = findWindow("^come on my selector$", false);
        EXPECT_NE(dialog, 0u) << "no setup dialog; mirva printed: " << mirva_->err();
        type(dialog, "Return");
        return findWindow("^mirva$", true);
    }
};

// Whether any pixel of the rectangle differs from `color`.
bool anyOtherThan(const Picture& p, int left, int top, int right, int bottom, std::uint32_t color)
{
    return countPixels(p, left, top, right, bottom, [color](std::uint32_t c) { return !near(c, color, 24); }) > 0;
}

// The board in a 640 x 480 window: 0.5 x 2.0 units at depth 1.4 with a 90 degree field
// of view across, so 114.3 x 457.1 pixels in the middle (x 262.9 to 377.1, y 11.4 to
// 468.6), cells of 14.29 pixels. A piece shows in its three top rows; the bottom-left
// cell's middle is at (270, 461).
bool pieceAtTheTop(const Picture& p)
{
    return anyOtherThan(p, 266, 14, 374, 54, kEmptyCell);
}

bool gameScreen(const Picture& p)
{
    return corner(p, kGameBackground) && near(p.at(320, 240), kEmptyCell) && near(p.at(270, 461), kEmptyCell) &&
           near(p.at(255, 240), kGameBackground) && near(p.at(385, 240), kGameBackground) &&
           near(p.at(320, 5), kGameBackground) && near(p.at(320, 475), kGameBackground);
}

// "space to start" right of the board, from (400, 240) down.
bool startMessage(const Picture& p)
{
    return anyOtherThan(p, 400, 240, 600, 262, kGameBackground);
}

TEST_F(ShowWindow, PlaysTheShowSwitchesToTheGameAndBackAndEndsOnEscape)
{
    const unsigned long window = start("0:8:0");  // the Clearer from 4 seconds on
    ASSERT_NE(window, 0u) << "no show window; mirva printed: " << mirva_->err();

    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) {
        return p.width == 640 && p.height == 480 && corner(p, kStartUpOrange);
    })) << "no start-up screen: " << seen();
    EXPECT_TRUE(anyOtherThan(last_, 280, 200, 360, 280, kStartUpOrange)) << "no \"kolu\" in the middle";

    // In the background no frame is drawn: the script's clock stands still.
    std::string error;
    ASSERT_TRUE(xFocusNowhere(error)) << error;
    std::this_thread::sleep_for(std::chrono::seconds(5));
    last_ = shot(window);
    ASSERT_TRUE(last_.width > 0 && corner(last_, kStartUpOrange)) << "frames in the background: " << seen();

    focus(window);
    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) { return corner(p, kShowBlue); }))
        << "no show frames: " << seen();

    type(window, "0");
    ASSERT_TRUE(waitFor(window, 10, gameScreen)) << "no game screen: " << seen();
    EXPECT_FALSE(pieceAtTheTop(last_));
    EXPECT_TRUE(startMessage(last_));
    EXPECT_TRUE(anyOtherThan(last_, 0, 240, 150, 262, kGameBackground)) << "no \"score 0\" on the left";

    type(window, "space");
    EXPECT_TRUE(waitFor(window, 10, [](const Picture& p) { return gameScreen(p) && pieceAtTheTop(p); }))
        << "no piece after Space: " << seen();
    EXPECT_FALSE(startMessage(last_));

    type(window, "9");
    ASSERT_TRUE(waitFor(window, 10, [](const Picture& p) { return corner(p, kShowBlue); }))
        << "the show did not come back: " << seen();

    type(window, "Escape");
    EXPECT_EQ(mirva_->wait(15), 0) << mirva_->err();
}

TEST_F(ShowWindow, AResizeRebuildsAndF1CancelledCloses)
{
    const unsigned long window = start("0:2:0");  // the Clearer from 1 second on
    ASSERT_NE(window, 0u) << "no show window; mirva printed: " << mirva_->err();
    focus(window);
    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) { return corner(p, kShowBlue); }))
        << "no show frames: " << seen();

    // A new size rebuilds everything: the start-up screen again, in the new size, and the
    // script from its beginning.
    ASSERT_EQ(runProgram({"xdotool", "windowsize", std::to_string(window), "320", "240"}).exitCode, 0);
    ASSERT_TRUE(waitFor(window, 10, [](const Picture& p) {
        return p.width == 320 && p.height == 240 && corner(p, kStartUpOrange);
    })) << "no rebuild after the resize: " << seen();
    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) { return p.width == 320 && corner(p, kShowBlue); }))
        << "no show frames after the resize: " << seen();

    type(window, "F1");
    const unsigned long dialog = findWindow("^come on my selector$", false);
    ASSERT_NE(dialog, 0u) << "F1 brought no setup dialog; mirva printed: " << mirva_->err();
    type(dialog, "Escape");
    EXPECT_EQ(mirva_->wait(15), 0) << mirva_->err();
}

}  // namespace
}  // namespace mirva::test
