#include "tests/window/window_driver.h"

#include <cstdlib>
#include <thread>

#include "tests/window/window_contents.h"

namespace mirva::test {

namespace {

// A shell command given 20 seconds at most.
RunResult shell(const std::string& command)
{
    return runProgram({"timeout", "20", "sh", "-c", command});
}

}  // namespace

bool corner(const Picture& p, std::uint32_t color)
{
    return near(p.at(5, 5), color) && near(p.at(p.width - 6, p.height - 6), color);
}

void WindowDriverTest::SetUp()
{
    if (const std::string reason = whyNoTyping(); !reason.empty())
        GTEST_SKIP() << reason;
}

unsigned long WindowDriverTest::findWindow(const std::string& title, bool andClass)
{
    const std::string id = shell(std::string("xdotool search --sync --onlyvisible") +
                                 (andClass ? " --all --class" : "") + " --name \"" + title + "\" | head -n 1")
                               .out;
    return std::strtoul(id.c_str(), nullptr, 10);
}

std::string WindowDriverTest::windowTitle(unsigned long window)
{
    std::string title = shell("xdotool getwindowname " + std::to_string(window)).out;
    while (!title.empty() && title.back() == '\n')
        title.pop_back();
    return title;
}

void WindowDriverTest::type(unsigned long window, const std::string& keys)
{
    ASSERT_EQ(shell("xdotool windowfocus --sync " + std::to_string(window) + " && sleep 0.2" +
                    (keys.empty() ? "" : " && xdotool key " + keys))
                  .exitCode,
              0)
        << "xdotool could not type " << keys;
}

Picture WindowDriverTest::shot(unsigned long window)
{
    Picture picture;
    std::string error;
    picture.pixels = xWindowPixels(window, picture.width, picture.height, error);
    if (picture.pixels.empty())
        picture.width = picture.height = 0;
    return picture;
}

bool WindowDriverTest::waitFor(unsigned long window, double seconds, const std::function<bool(const Picture&)>& shows)
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

std::string WindowDriverTest::seen()
{
    const std::string printed = "; mirva " + std::string(mirva_->running() ? "runs" : "has ended") +
                                " and printed: " + mirva_->out() + mirva_->err();
    if (last_.width == 0)
        return "nothing readable" + printed;
    return std::to_string(last_.width) + "x" + std::to_string(last_.height) + " window, corner " +
           hex(last_.at(5, 5)) + ", centre " + hex(last_.at(last_.width / 2, last_.height / 2)) + printed;
}

}  // namespace mirva::test
