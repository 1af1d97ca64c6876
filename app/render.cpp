#include "app/render.h"

#include "app/command_options.h"
#include "app/frame_stats.h"
#include "app/video_encoder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "io/console.h"
#include "io/surface.h"
#include "platform/d3d8/window.h"
#include "platform/sound/sound_output.h"
#include "player/script_player.h"

namespace mirva {

namespace {

constexpr const char* kUsage = "usage: mirva render SCRIPT --out DIR [--frames N] [--fps F] [--size WxH] [--wav FILE]\n"
                               "       mirva render SCRIPT --video FILE.mp4 [--frames N] [--fps F] [--size WxH] "
                               "[--wav FILE]\n"
                               "       mirva render SCRIPT --stats [--frames N] [--fps F] [--size WxH]\n";

// "frame DONE/TOTAL  SPEED frames/s" on stderr, a few times a second: rewritten in place
// on a terminal, one line each time otherwise (a log file).
class Progress {
public:
    explicit Progress(int total)
        : total_(total), terminal_(isatty(fileno(stderr)) != 0), start_(std::chrono::steady_clock::now())
    {
    }
    void show(int done, bool last)
    {
        const auto now = std::chrono::steady_clock::now();
        if (!last && now - shown_ < std::chrono::milliseconds(250))
            return;
        shown_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const double speed = elapsed > 0.0 ? done / elapsed : 0.0;
        const int total = last ? done : std::max(total_, done);
        std::fprintf(stderr, "%sframe %d/%d  %.1f frames/s%s", terminal_ ? "\r" : "", done, total, speed,
                     terminal_ && !last ? " " : "\n");
        std::fflush(stderr);
    }

private:
    int total_;
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shown_{};
};

}  // namespace

Surface readFrontBuffer(int width, int height)
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    IDirect3DSurface8* image = nullptr;
    if (HRESULT hr = device->CreateImageSurface(static_cast<UINT>(width), static_cast<UINT>(height), D3DFMT_A8R8G8B8,
                                                &image);
        FAILED(hr))
        DXDriver::directXError("render: Device->CreateImageSurface - ", hr);
    if (HRESULT hr = device->GetFrontBuffer(image); FAILED(hr))
        DXDriver::directXError("render: Device->GetFrontBuffer - ", hr);
    D3DLOCKED_RECT locked;
    if (HRESULT hr = image->LockRect(&locked, nullptr, D3DLOCK_READONLY); FAILED(hr))
        DXDriver::directXError("render: Surface->LockRect - ", hr);
    Surface frame(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(locked.pBits) +
                                                                 static_cast<std::ptrdiff_t>(y) * locked.Pitch);
        std::uint32_t* out = frame.pixels() + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x)
            out[x] = row[x] | 0xFF000000;
    }
    image->UnlockRect();
    image->Release();
    return frame;
}

std::string frameFileName(int n)
{
    return formatText("frame%05d.png", n);
}

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    const auto read = [&options](const std::string& option, const std::string& value, std::string& why) {
        if (option == "--stats") {
            options.stats = true;
        } else if (option == "--out") {
            options.outDir = value;
        } else if (option == "--video") {
            options.videoFile = value;
        } else if (option == "--wav") {
            options.wavFile = value;
        } else if (option == "--frames") {
            if (!readInt(value, options.frames) || options.frames < 1) {
                why = "--frames wants a whole number of at least 1, not '" + value + "'";
                return false;
            }
        } else if (option == "--fps") {
            if (!readDouble(value, options.fps) || !(options.fps >= 1.0 && options.fps <= 1000.0)) {
                why = "--fps wants a number from 1 to 1000, not '" + value + "'";
                return false;
            }
        } else {
            return readSize(value, options.width, options.height, why);
        }
        return true;
    };
    if (!readCommandLine(args, {"--stats"}, {"--out", "--video", "--frames", "--fps", "--size", "--wav"},
                         options.script, read, error))
        return false;
    if (options.stats && (!options.outDir.empty() || !options.wavFile.empty() || !options.videoFile.empty())) {
        error = "--stats writes no files: leave out --out, --video and --wav";
        return false;
    }
    if (!options.outDir.empty() && !options.videoFile.empty()) {
        error = "--out and --video are two outputs: give one of them";
        return false;
    }
    if (options.outDir.empty() && options.videoFile.empty() && !options.stats) {
        error = "no output given (--out DIR or --video FILE)";
        return false;
    }
    // H.264 in 4:2:0 keeps one colour sample for every 2 x 2 pixels.
    if (!options.videoFile.empty() && (options.width % 2 != 0 || options.height % 2 != 0)) {
        error = formatText("--video needs an even width and height, not %dx%d", options.width, options.height);
        return false;
    }
    return true;
}

OfflineRenderer::SoundChoice::~SoundChoice()
{
    SoundOutput::choose(SoundOutput::Kind::Automatic);
}

OfflineRenderer::OfflineRenderer(const RenderOptions& options)
    : options_(options), window_(options.width, options.height)
{
    SoundOutput::Sink toVideo;
    if (!options.videoFile.empty())
        toVideo = [this](std::span<const std::int16_t> samples) {
            if (video_)
                video_->addSamples(samples);
        };
    SoundOutput::choose(SoundOutput::Kind::Offline, options.wavFile, std::move(toVideo));
    dxDriver().rememberedSelection() = {};
    bool realtime = false;
    if (!selectScreenMode(realtime, false) || !setScreenMode(&window_))
        Console::error("render: no %d x %d screen mode to render into", options.width, options.height);
    player_ = std::make_unique<ScriptPlayer>(options.script);
    songSections_ = player_->timeSource().describe().rfind("Song", 0) == 0;
    // Loading mixes nothing; the first samples come with the second frame. Only now is
    // it known whether the video has a sound track.
    if (!options.videoFile.empty())
        video_ = std::make_unique<VideoEncoder>(
            options.videoFile, VideoFormat{.width = options.width,
                                           .height = options.height,
                                           .fps = options.fps,
                                           .sound = player_->soundStarted()});
}

OfflineRenderer::~OfflineRenderer()
{
    player_->mixOfflineSound(static_cast<std::uint64_t>(done_), options_.fps);
    player_.reset();
    shutDownEngine();
    restoreScreenMode();
}

void OfflineRenderer::renderFrame()
{
    player_->mixOfflineSound(static_cast<std::uint64_t>(done_), options_.fps);
    player_->frameUpdate(static_cast<float>(1.0 / options_.fps));
    // Nothing to write, nothing to read back: the frame is drawn and presented all the same.
    if (video_)
        video_->addPicture(readFrontBuffer(options_.width, options_.height));
    else if (!options_.outDir.empty())
        readFrontBuffer(options_.width, options_.height)
            .savePng((std::filesystem::path(options_.outDir) / frameFileName(done_)).string());
    ++done_;
}

void OfflineRenderer::finish()
{
    player_->mixOfflineSound(static_cast<std::uint64_t>(done_), options_.fps);
    if (video_) {
        video_->finish();
        video_.reset();
    }
}

bool OfflineRenderer::finished() const
{
    return options_.frames > 0 ? done_ >= options_.frames : player_->restarts() > 0;
}

// The clock reads 1/fps on the first frame, whose start instruction sets it back to 0,
// then k/fps on frame k; the first reading past the length ends the play.
int OfflineRenderer::expectedFrames() const
{
    if (options_.frames > 0)
        return options_.frames;
    const double seconds = player_->timeSource().lengthSeconds();
    return seconds < 0.0 ? 0 : static_cast<int>(seconds * options_.fps) + 2;
}

std::string OfflineRenderer::section(Time time) const
{
    if (songSections_)
        return formatText("order %d", (time >> 14) & 0x1FFFF);
    return formatText("%ds", done_ / static_cast<int>(options_.fps * 10.0) * 10);
}

namespace {

// Renders to the end (or the frames asked for), timing every frame.
void printFrameStats(OfflineRenderer& renderer)
{
    FrameStats stats;
    while (!renderer.finished()) {
        const auto start = std::chrono::steady_clock::now();
        renderer.renderFrame();
        const double milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        // The frame that passes the end restarts the script and shows nothing of it.
        if (renderer.finished() && renderer.player().restarts() > 0)
            break;
        const Time shown = renderer.player().previousTime();
        stats.add(renderer.section(shown), milliseconds, shown);
    }
    std::fputs(stats.table().c_str(), stdout);
}

}  // namespace

int render(const std::vector<std::string>& args)
{
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(args, options, error)) {
        std::fprintf(stderr, "mirva render: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options.stats) {
        OfflineRenderer renderer(options);
        printFrameStats(renderer);
        return 0;
    }
    if (!options.outDir.empty()) {
        std::error_code made;
        std::filesystem::create_directories(options.outDir, made);
        if (made || !std::filesystem::is_directory(options.outDir))
            Console::error("render: can't make the output folder '%s'", options.outDir.c_str());
    }

    OfflineRenderer renderer(options);
    if (!renderer.player().soundStarted()) {
        if (!options.wavFile.empty())
            std::fprintf(stderr, "mirva render: the script plays no sound; no WAV file is written\n");
        if (!options.videoFile.empty())
            std::fprintf(stderr, "mirva render: the script plays no sound; the video has pictures only\n");
    }
    Progress progress(renderer.expectedFrames());
    while (!renderer.finished()) {
        renderer.renderFrame();
        progress.show(renderer.framesDone(), false);
    }
    renderer.finish();
    progress.show(renderer.framesDone(), true);
    return 0;
}

}  // namespace mirva
