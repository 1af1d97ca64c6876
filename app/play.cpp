#include "app/play.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/command_options.h"
#include "engine/dx_driver.h"
#include "io/console.h"
#include "io/frame_timer.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

constexpr const char* kUsage = "usage: mirva play SCRIPT [--at TIME] [--size WxH] [--fullscreen] [--watch]\n";
constexpr const char* kWindowClass = "mirva";
constexpr int kOrderRows = 64;
constexpr int kShiftRows = 8;
// How long the loop sleeps on events while the window is minimised.
constexpr int kHiddenWaitMs = 100;
// How long it waits between the frames of an error shown over the last good frame (the
// watch looks for a save every 100 ms anyway).
constexpr int kFailureWaitMs = 50;

class PlayProgram {
public:
    explicit PlayProgram(const PlayOptions& options) : options_(options) {}
    ~PlayProgram()
    {
        Console::setMessageBox(nullptr);
        Console::setCleanupHook(nullptr);
    }
    PlayProgram(const PlayProgram&) = delete;
    PlayProgram& operator=(const PlayProgram&) = delete;

    int run();

private:
    SDL_Window* sdlWindow() const { return static_cast<SDL_Window*>(window_->sdlWindow()); }
    void openWindow();
    void handle(const SDL_Event& event, LiveShow& show);
    void showTitle(const LiveShow& show);

    const PlayOptions& options_;
    bool running_ = true;
    std::string title_;
    std::unique_ptr<SdlWindow> window_;
};

int PlayProgram::run()
{
    setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
    std::string reason;
    if (!displayAvailable(&reason))
        Console::fatal(std::string("mirva play: ") + reason +
                       " - `mirva render SCRIPT --out DIR` renders a script to PNG files without a window");
    openWindow();

    LiveShow show(options_.script, options_.watch);
    show.start(options_.at);
    FrameTimer timer;
    while (running_) {
        SDL_Event event;
        const bool hidden = (SDL_GetWindowFlags(sdlWindow()) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
        // Minimised, or standing on an error until the next save: no need to draw flat out.
        const int waitMs = hidden ? kHiddenWaitMs : show.failure().empty() ? 0 : kFailureWaitMs;
        bool have = waitMs > 0 ? SDL_WaitEventTimeout(&event, waitMs) != 0 : SDL_PollEvent(&event) != 0;
        while (have && running_) {
            handle(event, show);
            have = SDL_PollEvent(&event) != 0;
        }
        if (!running_)
            break;
        const float seconds = timer.delta();
        if (!hidden)
            show.frame(seconds);
        showTitle(show);
    }
    return 0;
}

void PlayProgram::openWindow()
{
    dxDriver().rememberedSelection() = {};
    bool realtime = false;
    if (!selectScreenMode(realtime, options_.fullscreen))
        Console::error("play: no screen mode to play in");
    const bool inWindow = windowed();
    const int width = inWindow ? options_.width : static_cast<int>(dxDriver().displayMode().Width);
    const int height = inWindow ? options_.height : static_cast<int>(dxDriver().displayMode().Height);
    std::string error;
    window_ = SdlWindow::create("mirva play", width, height, error);
    if (!window_)
        Console::fatal("couldn't open the window: " + error);
    // A fatal error puts the desktop back before its message box, as in the show.
    Console::setCleanupHook([this] {
        if (screenModeSet())
            restoreScreenMode();
        if (window_)
            SDL_HideWindow(sdlWindow());
    });
    Console::setMessageBox([](const std::string& message) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "error", message.c_str(), nullptr);
    });
    if (!setScreenMode(window_.get()))
        Console::fatal("couldn't set screen mode");
    SDL_ShowCursor(inWindow ? SDL_ENABLE : SDL_DISABLE);
    SDL_RaiseWindow(sdlWindow());
}

void PlayProgram::handle(const SDL_Event& event, LiveShow& show)
{
    if (event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        running_ = false;
        return;
    }
    if (event.type != SDL_KEYDOWN)
        return;
    const PlayKey key = playKey(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
    // Held down, only the jumps repeat.
    if (event.key.repeat && key.action != PlayKey::Jump)
        return;
    switch (key.action) {
    case PlayKey::None: break;
    case PlayKey::TogglePause: show.togglePause(); break;
    case PlayKey::Jump: show.jump(key.rows); break;
    case PlayKey::Restart: show.restart(); break;
    case PlayKey::ToggleOverlay: show.toggleInfoOverlay(); break;
    case PlayKey::Quit: running_ = false; break;
    }
}

void PlayProgram::showTitle(const LiveShow& show)
{
    const std::string title = "mirva play: " + show.title();
    if (title == title_)
        return;
    title_ = title;
    SDL_SetWindowTitle(sdlWindow(), title.c_str());
}

}  // namespace

PlayKey playKey(int sdlKey, bool shift)
{
    switch (sdlKey) {
    case SDLK_SPACE: return {PlayKey::TogglePause};
    case SDLK_LEFT: return {PlayKey::Jump, shift ? -kShiftRows : -kOrderRows};
    case SDLK_RIGHT: return {PlayKey::Jump, shift ? kShiftRows : kOrderRows};
    case SDLK_HOME: return {PlayKey::Restart};
    case SDLK_F2: return {PlayKey::ToggleOverlay};
    case SDLK_ESCAPE: return {PlayKey::Quit};
    default: return {};
    }
}

bool parsePlayOptions(const std::vector<std::string>& args, PlayOptions& options, std::string& error)
{
    const auto read = [&options](const std::string& option, const std::string& value, std::string& why) {
        double seconds = 0.0;
        if (option == "--fullscreen") {
            options.fullscreen = true;
        } else if (option == "--watch") {
            options.watch = true;
        } else if (option == "--size") {
            return readSize(value, options.width, options.height, why);
        } else if (const std::optional<Time> time = parseTimeText(value)) {
            options.at = {*time, std::nullopt};
        } else if (value.find(':') == std::string::npos && readDouble(value, seconds) && seconds >= 0.0) {
            options.at = {0, seconds};
        } else {
            why = "--at wants ORDER:ROW:DECIMALS or seconds, not '" + value + "'";
            return false;
        }
        return true;
    };
    return readCommandLine(args, {"--fullscreen", "--watch"}, {"--at", "--size"}, options.script, read, error);
}

int play(const std::vector<std::string>& args)
{
    PlayOptions options;
    std::string error;
    if (!parsePlayOptions(args, options, error)) {
        std::fprintf(stderr, "mirva play: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    PlayProgram program(options);
    return program.run();
}

}  // namespace mirva
