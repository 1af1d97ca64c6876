// `mirva play` end to end on a (virtual) X display, as an author uses it: started at a
// time, paused with Space, moved with the arrows and Home, and with --watch, saves of
// the script showing in the running window, a broken save shown over the last good
// frame and a fixed one showing again.
#include <thread>

#include "tests/window/window_driver.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Red, green from 1:0:0, white from 2:0:0, at 30 rows a minute: a row lasts 2 seconds.
constexpr const char* kScript = "Enum Layers { BACK }\n"
                                "Construct Clearer back { Layer = BACK Enabled = true ClearColor = 255, 0, 0 }\n"
                                "Timer 8:0:0 30 1.0\n"
                                "1:0:0 Set back { ClearColor = 0, 255, 0 }\n"
                                "2:0:0 Set back { ClearColor = 255, 255, 255 }\n";

// A save shows within a second; the sanitizer build runs everything (the program and the
// test reading the window) several times slower.
#ifdef MIRVA_SANITIZED
constexpr double kSaveShowsWithin = 4.0;
#else
constexpr double kSaveShowsWithin = 1.0;
#endif

bool shows(const Picture& p, std::uint32_t color)
{
    return p.width == 640 && p.height == 480 && corner(p, color);
}

// The failure band over the top (the frame dimmed, light text in it) and `color` below.
bool failureOver(const Picture& p, std::uint32_t color)
{
    return p.width == 640 && !near(p.at(630, 8), color, 24) && near(p.at(630, 470), color) &&
           countPixels(p, 0, 0, 640, 30, [](std::uint32_t c) { return (c & 0xFF) > 0x80; }) > 50;
}

class PlayWindow : public WindowDriverTest {
protected:
    void SetUp() override
    {
        WindowDriverTest::SetUp();
        if (IsSkipped())
            return;
        writeText(dir_.file("show.txt"), kScript);
    }

    // Saves the script with `from` replaced by `to`.
    void edit(const std::string& from, const std::string& to)
    {
        std::string text = readText(dir_.file("show.txt"));
        text.replace(text.find(from), from.size(), to);
        writeText(dir_.file("show.txt"), text);
    }
};

TEST_F(PlayWindow, StartsAtAnOrderPausesMovesWithTheKeysAndShowsSavesAtOnce)
{
    mirva_ = std::make_unique<MirvaProcess>(std::vector<std::string>{"play", "show.txt", "--watch", "--at", "1:0:0"},
                                            dir_.path().string());
    const unsigned long window = findWindow("^mirva play: show.txt  ", false);
    ASSERT_NE(window, 0u) << "no play window; mirva printed: " << mirva_->err();
    ASSERT_TRUE(waitFor(window, 10, [](const Picture& p) { return shows(p, kGreen); })) << seen();
    EXPECT_EQ(windowTitle(window).substr(0, 28), "mirva play: show.txt  01:00:");

    type(window, "space");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string paused = windowTitle(window);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(windowTitle(window), paused);
    EXPECT_EQ(paused.substr(paused.size() - 7), " paused");

    type(window, "Right");
    EXPECT_TRUE(waitFor(window, 5, [](const Picture& p) { return shows(p, kWhite); })) << seen();
    type(window, "Home");
    ASSERT_TRUE(waitFor(window, 5, [](const Picture& p) { return shows(p, kRed); })) << seen();

    // Saves while it stands at the start: a change shows at once, a broken save over the
    // last good frame, and a fixed one again.
    edit("ClearColor = 255, 0, 0", "ClearColor = 0, 0, 255");
    EXPECT_TRUE(waitFor(window, kSaveShowsWithin, [](const Picture& p) { return shows(p, kBlue); })) << seen();
    edit("Timer 8:0:0", "Timer 8:0");
    ASSERT_TRUE(waitFor(window, 5, [](const Picture& p) { return failureOver(p, kBlue); })) << seen();
    EXPECT_NE(mirva_->err().find("line 3"), std::string::npos) << mirva_->err();
    EXPECT_EQ(windowTitle(window).substr(windowTitle(window).size() - 6), " error");
    edit("Timer 8:0", "Timer 8:0:0");
    edit("ClearColor = 0, 0, 255", "ClearColor = 0, 255, 0");
    EXPECT_TRUE(waitFor(window, 5, [](const Picture& p) { return shows(p, kGreen); })) << seen();
    type(window, "Escape");
    EXPECT_EQ(mirva_->wait(15), 0) << mirva_->err();
}

}  // namespace
}  // namespace mirva::test
