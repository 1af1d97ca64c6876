#pragma once
// `mirva render SCRIPT --out DIR [--frames N] [--fps F] [--size WxH] [--wav FILE]`:
// plays a script offline, with no window and no sound card, and writes every frame as a
// numbered PNG file ("frame00000.png", ...) into DIR.
//
// Deterministic: each frame moves the script clock by exactly 1/F seconds (F = 60 by
// default), and a `Song` or `AudioStream` script mixes exactly the samples of each frame
// before the frame reads its time, so positions and sample triggers are the same on every
// run, and two renders of a script give identical files. With --wav the mixed sound goes
// to a WAV file too. Without --frames it renders until the script has ended once (the
// frame that passes the end is the last). A progress line on stderr shows the frames
// done, the total and the speed. The size defaults to 640x480.
#include <string>
#include <vector>

namespace mirva {

struct RenderOptions {
    std::string script;
    std::string outDir;
    int frames = 0;  // 0: until the script ends
    double fps = 60.0;
    int width = 640, height = 480;
    std::string wavFile;
};

// Reads the arguments after the word "render"; false with the reason in `error` when
// they are not a valid command line.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

// Arguments after the word "render". Returns the exit code; script errors are fatal.
int render(const std::vector<std::string>& args);

// The file name of frame `n`.
std::string frameFileName(int n);

}  // namespace mirva
