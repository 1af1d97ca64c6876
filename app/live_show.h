#pragma once
// LiveShow: a script played for the person writing it (`mirva play`): pause, jumps in
// the music, the info overlay, and with watching, a reload whenever a file of the show
// is saved.
//
// A reload loads the script into a new player and lets it catch up to the music time
// the running one had reached, paused or not as before. The old player goes first,
// every texture with it, so images, objects and music are read from disk again. While
// watching, a fatal error of loading or playing does not end the program: it is printed
// on standard error and shown over the last good frame (FailureScreen) until the next
// save, which tries again at the same music time. Without watching, errors end the
// program as they do in the show.
//
// Needs a screen mode. One frame each call of `frame`, like the show's player.
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/failure_screen.h"
#include "app/file_watch.h"
#include "io/console.h"
#include "io/surface.h"
#include "script/script_time.h"

namespace mirva {

class ScriptPlayer;

// Where `play --at` starts: a script time, or seconds into the music.
struct StartTime {
    Time time = 0;
    std::optional<double> seconds;
};

class LiveShow {
public:
    LiveShow(const std::string& script, bool watch);
    ~LiveShow();
    LiveShow(const LiveShow&) = delete;
    LiveShow& operator=(const LiveShow&) = delete;

    // Loads the script and jumps to `at`. Past the end of the music is an error.
    void start(const StartTime& at);
    // One frame of `seconds`: a reload first when a watched file has changed, then the
    // player's frame, or the failure screen.
    void frame(float seconds);

    void togglePause();
    bool paused() const { return paused_; }
    // Jumps by `rows` (64 rows an order), not below 0:0:0 and not past the end.
    void jump(int rows);
    // Back to 0:0:0.
    void restart();
    void toggleInfoOverlay();
    // Reloads now, as a save would; a reload that works says so on standard output, with
    // the time it took.
    void reload();

    // "NAME  oo:rr:dd", then " paused" and " error" where they apply.
    std::string title() const;
    // The moment shown (while failed: the one a working script continues from).
    Time time() const;
    // The message shown while failed; empty while the script plays.
    const std::string& failure() const { return failure_; }
    ScriptPlayer* player() { return player_.get(); }
    FileWatch* watch() { return watch_.get(); }

private:
    // Thrown by the fatal path while watching, on the main thread.
    struct Failure : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    // Loads a new player and jumps it to `at`, or shows the failure.
    void load(Time at);
    // The player jumps to `target`, unless that lies past the end.
    void seek(Time target);
    // After a caught error: the player goes, the message is printed and shown.
    void fail(const std::string& message);
    // When even showing an error fails (the device itself): the program ends with the
    // message, as it does without watching.
    [[noreturn]] void giveUp(const std::string& message);
    // The frame on the screen becomes the last good frame.
    void keepLastFrame();
    void dropPlayer();

    std::string script_;
    std::unique_ptr<FileWatch> watch_;
    Console::Handler previousHandler_;
    std::unique_ptr<ScriptPlayer> player_;
    std::unique_ptr<FailureScreen> failureScreen_;
    std::string failure_;
    Surface lastFrame_;          // the last good frame, kept while failed
    bool lastFrameShown_ = false;  // the last presented frame was the player's
    Time resumeAt_ = 0;
    bool paused_ = false;
    std::optional<bool> overlay_;  // unset: as the script says (shown in info mode)
};

}  // namespace mirva
