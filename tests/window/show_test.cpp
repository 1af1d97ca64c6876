// The show end to end on a (virtual) X display: `mirva` started as the user starts it, its
// setup dialog accepted with Enter, then the start-up screen, the show's frames, the game
// screen on '0', a game started with Space, the show again on '9', and the end on Esc,
// seen in the pixels the X server shows and typed through xdotool.
//
// The show's script is a small one of the test's own: a Timer with one Clearer that is
// switched on after a delay, so the start-up screen stays in sight until then.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/game_screen.h"
#include "tests/support/files.h"
#include "tests/support/graphics.h"
#include "tests/support/run.h"
#include "tests/window/window_contents.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kStartUpOrange = 0xFFFF8000;
constexpr std::uint32_t kShowBlue = 0xFF0040FF;
constexpr std::uint32_t kGameBackground = kGameScreenClearColor;
constexpr std::uint32_t kEmptyCell = 0xFF000000;

// The show's script: the Clearer's colour from `delay` (order:row:decimals) on, at 120
// rows a minute (a row is half a second).
std::string showScript(const std::string& delay)
{
    return "Enum Layers { BACK }\n"
           "Construct Clearer back { Layer = BACK ClearColor = 0, 64, 255 }\n"
           "Timer 8:0:0 120 1.0\n" +
           delay + " Set back { Enabled = true }\n";
}

// Runs a shell command with a time limit and returns what it printed.
std::string shell(const std::string& command, int& status)
{
    std::string output;
    if (FILE* pipe = popen(("timeout 20 sh -c '" + command + "'").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        status = pclose(pipe);
    } else {
        status = -1;
    }
    return output;
}

class ShowWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string reason = whyNoTyping(); !reason.empty())
            GTEST_SKIP() << reason;
        std::filesystem::copy(std::string(MIRVA_DATA_DIR) + "/fonts", dir_.path() / "fonts");
        std::filesystem::create_directory(dir_.path() / "scripts");
    }

    void start(const std::string& delay)
    {
        writeText(dir_.file("scripts/deriravedivido.txt"), showScript(delay));
        mirva_ = std::make_unique<MirvaProcess>(std::vector<std::string>{"-console"}, dir_.path().string());
    }

    // Finds the window titled `title` (of class mirva unless it is the dialog), waiting
    // for it to be shown; 0 when it does not come.
    unsigned long findWindow(const std::string& title)
    {
        const std::string classCheck = title == "mirva" ? " --all --class" : "";
        int status = 0;
        const std::string id = shell("xdotool search --sync --onlyvisible" + classCheck + " --name \"^" + title +
                                         "$\" | head -n 1",
                                     status);
        return std::strtoul(id.c_str(), nullptr, 10);
    }

    // Gives the keyboard focus to the window, then types `keys` (xdotool key names).
    void type(unsigned long window, const std::string& keys)
    {
        int status = 0;
        shell("xdotool windowfocus --sync " + std::to_string(window) + " && sleep 0.2" +
                  (keys.empty() ? "" : " && xdotool key " + keys),
              status);
        ASSERT_EQ(status, 0) << "xdotool could not type " << keys;
    }
    void focus(unsigned long window) { type(window, ""); }

    void acceptDialog()
    {
        const unsigned long dialog = findWindow("come on my selector");
        ASSERT_NE(dialog, 0u) << "no setup dialog; mirva printed: " << mirva_->err();
        type(dialog, "Return");
    }

    Picture shot(unsigned long window)
    {
        Picture picture;
        std::string error;
        picture.pixels = xWindowPixels(window, picture.width, picture.height, error);
        if (picture.pixels.empty())
            picture.width = picture.height = 0;
        return picture;
    }

    // Reads the window until `shows` holds for what it shows, for at most `seconds`.
    bool waitFor(unsigned long window, double seconds, const std::function<bool(const Picture&)>& shows)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do {
            last_ = shot(window);
            if (last_.width > 0 && shows(last_))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } while (std::chrono::steady_clock::now() < end && mirva_->running());
        return false;
    }

    // What the test saw last, and what mirva printed, for a failure message.
    std::string seen()
    {
        const std::string printed = "; mirva " + std::string(mirva_->running() ? "runs" : "has ended") +
                                    " and printed: " + mirva_->out() + mirva_->err();
        if (last_.width == 0)
            return "nothing readable" + printed;
        return std::to_string(last_.width) + "x" + std::to_string(last_.height) + " window, corner " +
               hex(last_.at(5, 5)) + ", centre " + hex(last_.at(last_.width / 2, last_.height / 2)) + printed;
    }

    TempDir dir_;
    std::unique_ptr<MirvaProcess> mirva_;
    Picture last_;
};

bool corner(const Picture& p, std::uint32_t color)
{
    return near(p.at(5, 5), color) && near(p.at(p.width - 6, p.height - 6), color);
}

// Whether any pixel of the rectangle differs from `color`.
bool anyOtherThan(const Picture& p, int left, int top, int right, int bottom, std::uint32_t color)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (!near(p.at(x, y), color, 24))
                return true;
    return false;
}

// The board in a 640 x 480 window: 0.5 x 2.0 units at depth 1.4 with a 90 degree field
// of view across, so 114.3 x 457.1 pixels in the middle, cells of 14.29 pixels.
constexpr double kCell = 640.0 / 2.0 * (0.5 / 1.4) / 8.0;
std::uint32_t boardCell(const Picture& p, int column, int row)
{
    const double left = 320.0 - 4 * kCell, top = 240.0 - 16 * kCell;
    return p.at(static_cast<int>(left + (column + 0.5) * kCell), static_cast<int>(top + (row + 0.5) * kCell));
}

// Whether a piece shows in the top three rows of the board.
bool pieceAtTheTop(const Picture& p)
{
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 8; ++column)
            for (int kind = 1; kind <= 7; ++kind)
                if (near(boardCell(p, column, row), kBoardColors[kind]))
                    return true;
    return false;
}

bool gameScreen(const Picture& p)
{
    return corner(p, kGameBackground) && near(p.at(320, 240), kEmptyCell) && near(boardCell(p, 0, 31), kEmptyCell) &&
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
    start("0:8:0");  // the Clearer from 4 seconds on
    acceptDialog();
    const unsigned long window = findWindow("mirva");
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
    start("0:2:0");  // the Clearer from 1 second on
    acceptDialog();
    const unsigned long window = findWindow("mirva");
    ASSERT_NE(window, 0u) << "no show window; mirva printed: " << mirva_->err();
    focus(window);
    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) { return corner(p, kShowBlue); }))
        << "no show frames: " << seen();

    // A new size rebuilds everything: the start-up screen again, in the new size, and the
    // script from its beginning.
    int status = 0;
    shell("xdotool windowsize " + std::to_string(window) + " 320 240", status);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(waitFor(window, 10, [](const Picture& p) {
        return p.width == 320 && p.height == 240 && corner(p, kStartUpOrange);
    })) << "no rebuild after the resize: " << seen();
    ASSERT_TRUE(waitFor(window, 15, [](const Picture& p) { return p.width == 320 && corner(p, kShowBlue); }))
        << "no show frames after the resize: " << seen();

    type(window, "F1");
    const unsigned long dialog = findWindow("come on my selector");
    ASSERT_NE(dialog, 0u) << "F1 brought no setup dialog; mirva printed: " << mirva_->err();
    type(dialog, "Escape");
    EXPECT_EQ(mirva_->wait(15), 0) << mirva_->err();
}

}  // namespace
}  // namespace mirva::test
