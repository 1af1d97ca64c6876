#include "app/show_window.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/application.h"
#include "app/command_line.h"
#include "app/key_map.h"
#include "app/keys.h"
#include "app/process_priority.h"
#include "app/setup_dialog_window.h"
#include "engine/dx_driver.h"
#include "io/console.h"
#include "io/frame_timer.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

// The window's title and, on X11, its class name.
constexpr const char* kProgramName = "mirva";
constexpr int kWindowedWidth = 640;
constexpr int kWindowedHeight = 480;
// How long the loop sleeps on events while the window is in the background.
constexpr int kBackgroundWaitMs = 100;

class ShowProgram {
public:
    explicit ShowProgram(const CommandLine& line) : line_(line) {}
    ~ShowProgram()
    {
        Console::setMessageBox(nullptr);
        Console::setCleanupHook(nullptr);
    }
    ShowProgram(const ShowProgram&) = delete;
    ShowProgram& operator=(const ShowProgram&) = delete;

    int run();

private:
    SDL_Window* sdlWindow() const { return static_cast<SDL_Window*>(window_->sdlWindow()); }
    bool inFront() const;
    void installFatalHooks();
    // Sets the screen mode for the window and builds the application on it.
    void build();
    void rebuild();
    void reselect();
    void close();
    void handle(const SDL_Event& event);
    void raisePriority();
    void showCursor();

    const CommandLine& line_;
    const std::thread::id mainThread_ = std::this_thread::get_id();
    bool realtime_ = false;
    bool active_ = false;
    bool running_ = true;
    bool closeRequested_ = false;
    bool gameMode_ = false;
    KeyStates keys_{};
    ResizeWatch resizeWatch_;
    FrameTimer timer_;
    std::unique_ptr<SdlWindow> window_;
    std::unique_ptr<Application> application_;
};

int ShowProgram::run()
{
    // The class name is read when SDL opens the display, which the dialog does first.
    setenv("SDL_VIDEO_X11_WMCLASS", kProgramName, 0);
    installFatalHooks();
    std::string reason;
    if (!displayAvailable(&reason))
        Console::fatal(std::string("mirva: ") + reason +
                       " - the show needs a window; `mirva render SCRIPT --out DIR` renders a script to PNG "
                       "files without one");

    DXDriver::setSetupDialog(runSetupDialogWindow);
    if (!selectScreenMode(realtime_, line_.has("-fullscreen"))) {
        Console::close();
        return 0;
    }
    const bool inWindow = windowed();
    const int width = inWindow ? kWindowedWidth : static_cast<int>(dxDriver().displayMode().Width);
    const int height = inWindow ? kWindowedHeight : static_cast<int>(dxDriver().displayMode().Height);
    std::string error;
    window_ = SdlWindow::create(kProgramName, width, height, error);
    if (!window_)
        Console::fatal("couldn't open the window: " + error);
    SDL_SetWindowPosition(sdlWindow(), 0, 0);
    SDL_SetWindowResizable(sdlWindow(), SDL_TRUE);
    Console::setMessageBox([](const std::string& message) {
        // Best effort: the message is on the console or standard error already.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "error", message.c_str(), nullptr);
    });

    build();
    keys_ = {};
    active_ = true;
    SDL_RaiseWindow(sdlWindow());
    timer_.reset();

    while (running_) {
        // Every event waiting is handled before the frame, except that a frame comes
        // after each key event: a key pressed and released at once is still seen down.
        SDL_Event event;
        bool have = active_ && inFront() ? SDL_PollEvent(&event) != 0
                                         : SDL_WaitEventTimeout(&event, kBackgroundWaitMs) != 0;
        while (have) {
            handle(event);
            if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP || closeRequested_ || !running_)
                break;
            have = SDL_PollEvent(&event) != 0;
        }
        if (closeRequested_)
            close();
        if (running_ && active_ && inFront())
            application_->frame(timer_.delta(), keys_, gameMode_);
    }
    Console::setMessageBox(nullptr);
    window_.reset();
    return 0;
}

bool ShowProgram::inFront() const
{
    const Uint32 flags = SDL_GetWindowFlags(sdlWindow());
    return (flags & SDL_WINDOW_INPUT_FOCUS) != 0 && (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

void ShowProgram::installFatalHooks()
{
    Console::setCleanupHook([this] {
        setNormalPriority();
        // The device and the window belong to the main thread; an error on the sound
        // library's thread leaves them to the end of the process.
        if (std::this_thread::get_id() != mainThread_)
            return;
        if (screenModeSet())
            restoreScreenMode();
        if (window_)
            SDL_HideWindow(sdlWindow());
    });
}

void ShowProgram::build()
{
    if (!setScreenMode(window_.get()))
        Console::fatal("couldn't set screen mode");
    resizeWatch_ = ResizeWatch(window_->clientWidth(), window_->clientHeight());
    showCursor();
    application_ = std::make_unique<Application>(line_.has("-usedfiles"));
    raisePriority();
}

void ShowProgram::rebuild()
{
    setNormalPriority();
    application_.reset();
    build();
}

void ShowProgram::reselect()
{
    setNormalPriority();
    application_.reset();
    if (!selectScreenMode(realtime_, false)) {
        closeRequested_ = true;
        active_ = false;
        return;
    }
    build();
    keys_[vk::F1] = 0;
}

void ShowProgram::close()
{
    closeRequested_ = false;
    setNormalPriority();
    active_ = false;
    application_.reset();
    restoreScreenMode();
    Console::close();
    running_ = false;
}

void ShowProgram::handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT: closeRequested_ = true; break;
    case SDL_WINDOWEVENT:
        if (event.window.windowID != SDL_GetWindowID(sdlWindow()))
            break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            closeRequested_ = true;
        else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && windowed() && active_ &&
                 resizeWatch_.rebuildFor(window_->clientWidth(), window_->clientHeight()))
            rebuild();
        else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            keys_ = {};  // the releases of keys held now go to another window
        break;
    case SDL_KEYDOWN: {
        const int code = virtualKeyCode(event.key.keysym.sym);
        if (code == 0)
            break;
        keys_[static_cast<std::size_t>(code & 255)] = 1;
        if (event.key.repeat)
            break;
        if (code == vk::ESCAPE) {
            setNormalPriority();
            closeRequested_ = true;
        } else if (code == vk::F1 && active_) {
            reselect();
        }
        break;
    }
    case SDL_KEYUP:
        if (const int code = virtualKeyCode(event.key.keysym.sym); code != 0)
            keys_[static_cast<std::size_t>(code & 255)] = 0;
        break;
    default: break;
    }
}

void ShowProgram::raisePriority()
{
    if (!realtime_)
        return;
    switch (setRealtimePriority()) {
    case Priority::Realtime: Console::print("realtime priority\n"); break;
    case Priority::Raised: Console::print("realtime priority not permitted; running at a raised priority\n"); break;
    case Priority::Normal: Console::print("realtime priority not permitted; running at normal priority\n"); break;
    }
}

void ShowProgram::showCursor()
{
    // Full screen shows no cursor, parked in the corner.
    if (windowed()) {
        SDL_ShowCursor(SDL_ENABLE);
    } else {
        SDL_ShowCursor(SDL_DISABLE);
        SDL_WarpMouseInWindow(sdlWindow(), 0, 0);
    }
}

}  // namespace

int runShow(const CommandLine& line)
{
    ShowProgram program(line);
    return program.run();
}

}  // namespace mirva
