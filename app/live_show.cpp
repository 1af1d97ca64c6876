#include "app/live_show.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/render.h"
#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "player/info_overlay.h"
#include "player/script_player.h"

namespace mirva {

namespace {

// One row of script time.
constexpr Time kRowLength = 256;

}  // namespace

LiveShow::LiveShow(const std::string& script, bool watch) : script_(script)
{
    if (!watch)
        return;
    watch_ = std::make_unique<FileWatch>();
    // Errors of the sound library's mixing thread still end the program: only the main
    // thread can be brought back.
    const std::thread::id mainThread = std::this_thread::get_id();
    previousHandler_ = Console::setFatalHandler([mainThread](const std::string& message) {
        if (std::this_thread::get_id() == mainThread)
            throw Failure(message);
    });
}

LiveShow::~LiveShow()
{
    failureScreen_.reset();
    dropPlayer();
    if (watch_)
        Console::setFatalHandler(std::move(previousHandler_));
}

void LiveShow::dropPlayer()
{
    player_.reset();
    shutDownEngine();
}

void LiveShow::start(const StartTime& at)
{
    Time time = at.time;
    if (at.seconds) {
        // The seconds mean something only to the script's time source.
        load(0);
        if (!player_)
            return;
        try {
            const std::optional<Time> found = player_->timeAtSeconds(*at.seconds);
            if (!found)
                Console::error("play: %g seconds lies past the end of the music", *at.seconds);
            time = *found;
        } catch (const Failure& failure) {
            fail(failure.what());
            return;
        }
        dropPlayer();
    }
    load(time);
}

void LiveShow::load(Time at)
{
    resumeAt_ = at;
    try {
        player_ = std::make_unique<ScriptPlayer>(script_);
        if (at >= player_->timeSource().endOfMusic())
            Console::error("play: %s lies past the end of the music at %s", infoTimeText(at).c_str(),
                           infoTimeText(player_->timeSource().endOfMusic()).c_str());
        player_->setPaused(paused_);
        player_->showInfoOverlay(overlay_.value_or(player_->infoMode()));
        player_->seek(at);
        failure_.clear();
    } catch (const Failure& failure) {
        fail(failure.what());
    }
}

void LiveShow::reload()
{
    const auto started = std::chrono::steady_clock::now();
    if (player_) {
        resumeAt_ = player_->previousTime();
        if (lastFrameShown_)
            keepLastFrame();
    }
    failureScreen_.reset();
    dropPlayer();
    if (watch_)
        watch_->acceptAll();
    load(resumeAt_);
    if (player_) {
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        std::printf("reloaded %s at %s in %d ms\n", script_.c_str(), infoTimeText(resumeAt_).c_str(),
                    static_cast<int>(took.count()));
        std::fflush(stdout);
    }
}

void LiveShow::fail(const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    failure_ = message;
    try {
        if (player_) {
            resumeAt_ = player_->previousTime();
            // A frame cut short may have left a pass or a scene open.
            try {
                player_->abandonFrame();
            } catch (const Failure&) {
            }
            if (lastFrameShown_)
                keepLastFrame();
        }
        dropPlayer();
        failureScreen_ = std::make_unique<FailureScreen>(&lastFrame_, message);
        lastFrameShown_ = false;
    } catch (const Failure& failure) {
        giveUp(failure.what());
    }
}

void LiveShow::keepLastFrame()
{
    try {
        lastFrame_ = readFrontBuffer(screenWidth(), screenHeight());
    } catch (const Failure&) {
        lastFrame_.release();  // a black screen under the message then
    }
}

void LiveShow::giveUp(const std::string& message)
{
    Console::setFatalHandler(std::move(previousHandler_));
    Console::fatal(message);
}

void LiveShow::frame(float seconds)
{
    if (watch_ && watch_->changed())
        reload();
    if (player_) {
        try {
            player_->frameUpdate(seconds);
            lastFrameShown_ = true;
            return;
        } catch (const Failure& failure) {
            fail(failure.what());
        }
    }
    try {
        if (failureScreen_)
            failureScreen_->draw();
    } catch (const Failure& failure) {
        giveUp(failure.what());
    }
}

void LiveShow::togglePause()
{
    paused_ = !paused_;
    if (player_)
        player_->setPaused(paused_);
}

void LiveShow::jump(int rows)
{
    if (player_)
        seek(std::max(Time{0}, player_->previousTime() + rows * kRowLength));
}

void LiveShow::restart()
{
    if (player_)
        seek(0);
}

void LiveShow::seek(Time target)
{
    if (target >= player_->timeSource().endOfMusic())
        return;
    try {
        player_->seek(target);
    } catch (const Failure& failure) {
        fail(failure.what());
    }
}

void LiveShow::toggleInfoOverlay()
{
    overlay_ = !(player_ ? player_->infoOverlay() != nullptr : overlay_.value_or(false));
    if (!player_)
        return;
    try {
        player_->showInfoOverlay(*overlay_);
    } catch (const Failure& failure) {
        fail(failure.what());
    }
}

Time LiveShow::time() const
{
    return player_ ? player_->previousTime() : resumeAt_;
}

std::string LiveShow::title() const
{
    std::string title = script_ + "  " + infoTimeText(time());
    if (paused_)
        title += " paused";
    if (!failure_.empty())
        title += " error";
    return title;
}

}  // namespace mirva
