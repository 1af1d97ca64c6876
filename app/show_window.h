#pragma once
// The show: the program's window and main loop (`mirva [-console] [-fullscreen]
// [-usedfiles]`, run in the show's working directory).
//
// Order: the setup dialog (cancel ends the program with code 0), the window "mirva" at
// the dialog's size (640 x 480 in a window, else the full-screen mode's), the screen mode,
// the Application (start-up screen, game, script), realtime priority when chosen, then
// the loop: window events, and one frame each pass while the window is in front (shown,
// not minimised, with the keyboard focus). Esc or the close box ends the program with
// code 0; F1 runs the setup dialog again and rebuilds everything (cancel closes); a new
// window size above 16 x 16 pixels rebuilds everything too.
//
// While the window runs, a fatal error first sets normal priority, gives the device back
// and hides the window (the console's cleanup hook), then shows its message in a box
// titled "error". Without any display the program says so and ends with code 255.
namespace mirva {

class CommandLine;

// Plays the show; returns the exit code.
int runShow(const CommandLine& line);

// The window's client size as last seen while the show runs in a window, and whether a
// new size asks for a rebuild: only a size that changed, and only when both sides are
// above 16 pixels (a size at or below that is remembered all the same).
class ResizeWatch {
public:
    static constexpr int kSmallest = 16;

    ResizeWatch(int width = 0, int height = 0) : width_(width), height_(height) {}
    bool rebuildFor(int width, int height)
    {
        if (width == width_ && height == height_)
            return false;
        width_ = width;
        height_ = height;
        return width > kSmallest && height > kSmallest;
    }

private:
    int width_, height_;
};

}  // namespace mirva
