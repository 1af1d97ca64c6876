// The setup dialog's window on a real (virtual) X display: it opens titled "come on my
// selector" and takes clicks made by xdotool, as a user's would come.
#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/setup_dialog_window.h"
#include "engine/dx_driver.h"
#include "platform/d3d8/window.h"
#include "tests/window/window_contents.h"

namespace mirva::test {
namespace {

// Runs the dialog while xdotool finds its window (as $id), focuses it and types `actions`
// through the X server's test extension, as a user's keys and mouse would come. When
// xdotool fails, or the dialog is still open a while after the actions, the dialog is
// closed so that the test ends.
bool runWith(const std::string& actions, int& xdotoolStatus)
{
    std::atomic<bool> closed = false;
    auto typing = std::async(std::launch::async, [&closed, actions] {
        const std::string script =
            "id=$(xdotool search --sync --onlyvisible --name \"^come on my selector$\" | head -n 1) && "
            "xdotool windowfocus --sync $id && sleep 0.3 && " +
            actions;
        const int status = std::system(("timeout 20 sh -c '" + script + "'").c_str());
        for (int wait = 0; wait < 30 && status == 0 && !closed; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!closed) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
        return status;
    });
    const bool accepted = runSetupDialogWindow(dxDriver(), false);
    closed = true;
    xdotoolStatus = typing.get();
    SDL_FlushEvent(SDL_QUIT);
    return accepted;
}

// A click on the check box, then on "on", accepts the dialog with realtime priority
// remembered. (Enter accepting and Escape cancelling are typed at the show's own dialog in
// its window tests.)
TEST(SetupDialogWindow, TheCheckBoxAndOnTakeClicks)
{
    if (const std::string reason = whyNoTyping(); !reason.empty())
        GTEST_SKIP() << reason;
    using Layout = SetupDialogLayout;
    const auto clickAt = [](int x, int y) {
        return "xdotool mousemove --window $id " + std::to_string(x) + " " + std::to_string(y) +
               " && sleep 0.2 && xdotool click 1 && sleep 0.3";
    };
    dxDriver().rememberedSelection() = {};
    int status = -1;
    EXPECT_TRUE(runWith(clickAt(Layout::kListX + 9, Layout::rowTop(7) + 9) + " && " +
                            clickAt(Layout::kListX + Layout::kListWidth / 2, Layout::rowTop(8) + 13),
                        status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dxDriver().rememberedSelection(), (ScreenSelection{.realtimePriority = 1}));
    EXPECT_TRUE(dxDriver().windowed());
    dxDriver().rememberedSelection() = {};
}

}  // namespace
}  // namespace mirva::test
