// The frame cost of the flat effects at 640 x 480 on the headless device, as `mirva render`
// makes frames (frame update and read-back, no file written): a screen cleared and
// nothing else (the cost every frame has), a ChaosZoomer shown full-screen by a Sprite,
// and a FlowerZoomer of 60 seven-petal flowers.
//   build/bench/mirva_flat_effects_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/render_frames.h"

namespace {

using namespace mirva;
namespace fs = std::filesystem;

// Argument: 0 the cleared screen alone, 1 the zoomer, 2 the flowers.
void BM_FlatEffectFrame640x480(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / "mirva_flat_effects_bench";
    fs::create_directories(dir / "maps");
    for (const char* file : {"maps/flare4.tga", "maps/inner3.tga", "maps/petal.tga", "maps/middle.tga"})
        fs::copy_file(fs::path(MIRVA_DATA_DIR) / file, dir / file, fs::copy_options::overwrite_existing);
    std::string script = "Enum Layers { BACK ZOOM DRAW }\n"
                         "Construct Clearer back { Layer = BACK ClearColor = 159, 80, 0 Enabled = true }\n";
    if (state.range(0) == 1)
        script += "Construct ChaosZoomer zoomer { Layer = ZOOM Enabled = true }\n"
                  "Construct Sprite show { Layer = DRAW Map = \"chaoszoomertexture\" Blend = COPY\n"
                  "  Motion = 0, 0, 1, 0, 0, 0, 1, 1, 1 Size = 1, 0.75 Enabled = true }\n";
    if (state.range(0) == 2)
        script += "Construct FlowerZoomer field { Layer = DRAW MiddleMap = \"maps/middle.tga\" "
                  "PetalMap = \"maps/petal.tga\"\n  Petals = 7 PetalWidth = 0.55 PetalInnerRadius = 0.6 "
                  "PetalOuterRadius = 2.6 Enabled = true }\n";
    std::ofstream(dir / "flat.txt") << script + "Timer 100:0:0 120 1.0\n";
    renderFrames(state, dir, "flat.txt");
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
}
BENCHMARK(BM_FlatEffectFrame640x480)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace
