#pragma once
// Frames of a script rendered as `mirva render` makes them, measured: the script runs in
// `dir` (its working folder), every iteration is one frame (sound, frame update, read
// back, and the PNG file when `outDir` is given or the video's picture and sound when
// `videoFile` is), and the rate is the "frames/s" counter.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/render.h"

namespace mirva {

inline void renderFrames(benchmark::State& state, const std::filesystem::path& dir, const std::string& script,
                         const std::string& outDir = "", const std::string& videoFile = "")
{
    std::filesystem::current_path(dir);
    RenderOptions options;
    options.script = script;
    options.outDir = outDir;
    options.videoFile = videoFile;
    {
        OfflineRenderer renderer(options);
        for (auto _ : state)
            renderer.renderFrame();
        renderer.finish();
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace mirva
