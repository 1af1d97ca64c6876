#pragma once
// `mirva play SCRIPT [--at TIME] [--size WxH] [--fullscreen] [--watch]`: plays any script
// in a window, without the setup dialog, for the person writing it (run in the show's
// working folder, as the show is).
//
// The window (640 x 480 unless --size says otherwise; the full screen with --fullscreen)
// is titled "mirva play: SCRIPT  oo:rr:dd", with " paused" and " error" where they apply.
// --at starts at order:row:decimals, or at a number of seconds into the music. Keys:
// Space pauses and resumes (music and clock together), Left and Right jump an order back
// and forward (with Shift: 8 rows), Home starts again from 0:0:0, F2 shows or hides the
// info overlay, Esc ends. --watch reloads the show whenever one of its files is saved
// (see LiveShow). The window keeps playing while another program has the keyboard, so
// that a save in an editor shows at once.
#include <string>
#include <vector>

#include "app/live_show.h"

namespace mirva {

struct PlayOptions {
    std::string script;
    StartTime at;
    int width = 640, height = 480;
    bool fullscreen = false;
    bool watch = false;
};

// Reads the arguments after the word "play"; false with the reason in `error` when they
// are not a valid command line.
bool parsePlayOptions(const std::vector<std::string>& args, PlayOptions& options, std::string& error);

// What a key does while a script plays: rows to jump (0 for none) or another action.
struct PlayKey {
    enum Action { None, TogglePause, Jump, Restart, ToggleOverlay, Quit };
    Action action = None;
    int rows = 0;
};
// `sdlKey` an SDL key code, `shift` whether Shift is held.
PlayKey playKey(int sdlKey, bool shift);

// Arguments after the word "play". Returns the exit code.
int play(const std::vector<std::string>& args);

}  // namespace mirva
