// Offline rendering of the show, data/scripts/deriravedivido.txt, at 640 x 480 on the
// headless device: frames per second of `mirva render` (sound mixed, frame update, frame
// read back and written as a PNG file, or encoded into an MP4 video), and the same
// without any file, to tell the rendering from the encoding. Each benchmark plays the show from its start; it runs
// in the show's working directory.
//   build/bench/mirva_render_bench
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/render_frames.h"

namespace {

using namespace mirva;

enum class Output { None, Png, Video };

void renderShow(benchmark::State& state, Output output)
{
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "mirva_render_bench";
    std::filesystem::create_directories(out);
    renderFrames(state, MIRVA_DATA_DIR, "scripts/deriravedivido.txt", output == Output::Png ? out.string() : "",
                 output == Output::Video ? (out / "show.mp4").string() : "");
    std::filesystem::remove_all(out);
}

void BM_RenderShowFrame640x480(benchmark::State& state)
{
    renderShow(state, Output::Png);
}
BENCHMARK(BM_RenderShowFrame640x480)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime();

void BM_RenderShowFrameToVideo640x480(benchmark::State& state)
{
    renderShow(state, Output::Video);
}
BENCHMARK(BM_RenderShowFrameToVideo640x480)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime();

void BM_RenderShowFrameWithoutFile640x480(benchmark::State& state)
{
    renderShow(state, Output::None);
}
BENCHMARK(BM_RenderShowFrameWithoutFile640x480)->Unit(benchmark::kMillisecond)->MinTime(10.0)->UseRealTime();

}  // namespace
