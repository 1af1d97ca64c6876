#pragma once
// `mirva render SCRIPT --out DIR [--frames N] [--fps F] [--size WxH] [--wav FILE]`:
// plays a script offline, with no window and no sound card, and writes every frame as a
// numbered PNG file ("frame00000.png", ...) into DIR.
//
// `mirva render SCRIPT --video FILE [--frames N] [--fps F] [--size WxH] [--wav FILE]`
// encodes the frames and their sound straight into one MP4 file (H.264 and AAC; see
// app/video_encoder.h), with no PNG files in between. The size must be even each way. A
// script that plays no sound gives a video with pictures only.
//
// `mirva render SCRIPT --stats [--frames N] [--fps F] [--size WxH]` writes no files and
// prints how long the frames took (update, draw and present; see app/frame_stats.h) per
// order of the music, or per ten seconds of a Timer or AudioStream script.
//
// Deterministic: each frame moves the script clock by exactly 1/F seconds (F = 60 by
// default), and a `Song` or `AudioStream` script mixes exactly the samples of each frame
// before the frame reads its time, so positions and sample triggers are the same on every
// run, and two renders of a script give identical files. With --wav the mixed sound goes
// to a WAV file too (with --video as well: the same samples as the video's sound). Without --frames it renders until the script has ended once (the
// frame that passes the end is the last). A progress line on stderr shows the frames
// done, the total and the speed. The size defaults to 640x480.
#include <memory>
#include <string>
#include <vector>

#include "io/surface.h"
#include "platform/d3d8/window.h"
#include "script/script_time.h"

namespace mirva {

class ScriptPlayer;
class VideoEncoder;

struct RenderOptions {
    std::string script;
    std::string outDir;
    int frames = 0;  // 0: until the script ends
    double fps = 60.0;
    int width = 640, height = 480;
    std::string wavFile;
    std::string videoFile;
    bool stats = false;
};

// Reads the arguments after the word "render"; false with the reason in `error` when
// they are not a valid command line.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error);

// The renderer behind the command: a headless screen of the options' size, the offline
// sound output (with the WAV file, if any), the script's player and the video file, if
// any. One frame at a time:
//
//   OfflineRenderer renderer(options);
//   while (!renderer.finished())
//       renderer.renderFrame();   // sound, frame update, read-back, PNG file or video
//   renderer.finish();            // the last frame's sound; the video file completed
class OfflineRenderer {
public:
    explicit OfflineRenderer(const RenderOptions& options);
    // Mixes the last frame's sound (so a WAV file lasts exactly the frames) and gives the
    // screen back. A video file that was not finished stays incomplete.
    ~OfflineRenderer();
    OfflineRenderer(const OfflineRenderer&) = delete;
    OfflineRenderer& operator=(const OfflineRenderer&) = delete;

    // The next frame: its sound, the frame update with 1/fps seconds, and the picture
    // written to the output folder or the video (neither when there is none).
    void renderFrame();
    // After the last frame: mixes its sound and completes the video file.
    void finish();
    // With a number of frames: that many are done; without: the script has ended once.
    bool finished() const;
    int framesDone() const { return done_; }
    // The frames one render takes, as far as the time source can tell (0: unknown).
    int expectedFrames() const;
    // The section a frame that showed script time `time` belongs to in the statistics:
    // "order N" for a Song, "Ns" (the ten seconds it starts) otherwise.
    std::string section(Time time) const;
    ScriptPlayer& player() { return *player_; }

private:
    RenderOptions options_;
    HeadlessWindow window_;
    // Puts the automatic sound output back when the renderer goes, however it ends, so
    // no later player mixes into this renderer's video.
    struct SoundChoice {
        ~SoundChoice();
    } soundChoice_;
    std::unique_ptr<VideoEncoder> video_;   // outlives the player, whose sound it receives
    std::unique_ptr<ScriptPlayer> player_;
    bool songSections_ = false;   // statistics per order of the music
    int done_ = 0;
};

// Arguments after the word "render". Returns the exit code; script errors are fatal.
int render(const std::vector<std::string>& args);

// The frame presented last, as an opaque image of the screen's size (the screen has no
// alpha).
Surface readFrontBuffer(int width, int height);

// The file name of frame `n`.
std::string frameFileName(int n);

}  // namespace mirva
