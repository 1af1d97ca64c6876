// Painterly: the processor's work of one frame for 20,000 strokes (a 5,000-triangle
// torus) turning in front of the camera: cull, sort, colour and the quads written into
// the batches' vertex arrays (no draw); and whole frames at 640 x 480 on the headless
// device, as `mirva render` makes them, of one Painterly of that torus, alone (argument 0)
// and with the show's line of 3D text (3,700 triangles) scrolling along two waving paths
// in front of it (argument 1).
//   build/bench/mirva_painterly_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/headless_screen.h"
#include "bench/render_frames.h"
#include "components/brush_strokes.h"
#include "engine/camera.h"
#include "io/surface.h"
#include "lightwave/transformation.h"
#include "tools/object_writer.h"

namespace {

using namespace mirva;
namespace fs = std::filesystem;

// 50 x 50 quads: 5,000 triangles, 20,000 strokes.
void writeTorus(const fs::path& file)
{
    ObjectWriter torus = ObjectWriter::torus(1.0f, 0.35f, 50, 50);
    torus.addSurface("Paint", 0.8f, 0.3f, 0.2f);
    torus.write(file.string());
}

void BM_PaintStrokes20000(benchmark::State& state)
{
    openHeadlessScreen(640, 480);
    const fs::path file = fs::temp_directory_path() / "mirva_painterly_bench.lwo";
    writeTorus(file);
    const std::vector<BrushStroke> strokes = brushStrokesOf(file.string());
    fs::remove(file);
    const std::vector<std::unique_ptr<Primitive>> batches = makeStrokeBatches(static_cast<int>(strokes.size()));
    const Surface environment(std::string(MIRVA_DATA_DIR) + "/maps/envmap.tga");
    const Camera camera;
    StrokePainter painter;
    Transformation world;
    world.m[3][2] = 4.0f;
    float heading = 0.0f;
    for (auto _ : state) {
        setRotationAndScale(world, heading, 0.7f, 0.0f, 1.0f, 1.0f, 1.0f);
        heading += 0.01f;
        const StrokeView view(world, camera.placement, camera.view);
        const int visible = painter.sort(strokes, view);
        for (int batch = 0; batch * kStrokesPerBatch < visible; ++batch)
            painter.fillBatch(batch, strokes, view, environment, batches[static_cast<std::size_t>(batch)]->vertices());
        benchmark::DoNotOptimize(batches.front()->vertex(0));
    }
    state.counters["strokes"] = static_cast<double>(strokes.size());
    state.counters["visible"] = painter.visible();
}
BENCHMARK(BM_PaintStrokes20000)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_RenderPainterly640x480(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / "mirva_painterly_frames";
    fs::create_directories(dir / "maps");
    for (const char* map : {"maps/brush.tga", "maps/envmap.tga"})
        fs::copy_file(fs::path(MIRVA_DATA_DIR) / map, dir / map, fs::copy_options::overwrite_existing);
    writeTorus(dir / "torus.lwo");
    fs::create_directories(dir / "objects");
    fs::copy_file(fs::path(MIRVA_DATA_DIR) / "objects/scrolltext.lwo", dir / "objects/scrolltext.lwo",
                  fs::copy_options::overwrite_existing);
    const std::string text =
        "Construct Scroller3D text { Layer = DRAW Object = \"objects/scrolltext.lwo\" Stretch = 0.857\n"
        "  UpperMotion = Key -30,56,LINEAR Key 60,-70,LINEAR CONSTANT CONSTANT,\n"
        "    Key 0,-1.4,TCB,0,0,0 Key 1.92,-0.9,TCB,0,0,0 OSCILLATE OSCILLATE, 12\n"
        "  LowerMotion = Key -30,56,LINEAR Key 60,-70,LINEAR CONSTANT CONSTANT,\n"
        "    Key 0,-2.6,TCB,0,0,0 Key 1.92,-2.1,TCB,0,0,0 OSCILLATE OSCILLATE, 12 Enabled = true }\n";
    std::ofstream(dir / "painterly.txt")
        << "Enum Layers { BACK DRAW }\n"
           "Construct Clearer back { Layer = BACK ClearColor = 20, 30, 60 Enabled = true }\n"
           "Construct Painterly paint { Layer = DRAW Object = \"torus.lwo\" BrushMap = \"maps/brush.tga\"\n"
           "  EnvMap = \"maps/envmap.tga\" Motion = 0, 0, 3.5, Key 0,0,LINEAR Key 4,6.2831855,LINEAR REPEAT REPEAT,"
           " 0.7, 0, 1, 1, 1 Enabled = true }\n"
           + (state.range(0) == 1 ? text : "") + "Timer 100:0:0 120 1.0\n";
    renderFrames(state, dir, "painterly.txt");
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
}
BENCHMARK(BM_RenderPainterly640x480)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

}  // namespace
