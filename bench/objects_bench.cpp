// Frames per second of a 3D script at 640 x 480 on the headless device, as `mirva render`
// makes them (frame update and read-back, no file written): 20 Cartoon instances of one
// 5,000-triangle torus, each finding its silhouette every frame, and 20 lit, textured
// Objects of 5,000 triangles each placed by a scene with a light, all turning.
//   build/bench/mirva_objects_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench/render_frames.h"
#include "tools/object_writer.h"

namespace {

using namespace mirva;
namespace fs = std::filesystem;

std::string constant(float value)
{
    return "{ Envelope\n 1\n Key " + std::to_string(value) + " 0 0 0 0 0 0 0 0\n Behaviors 1 1\n}\n";
}

// Nine channels of constants, heading turning a full turn every 4 seconds.
std::string turning(float x, float y, float z)
{
    const float values[9] = {x, y, z, 0, 0.4f, 0, 1, 1, 1};
    std::string text = "NumChannels 9\n";
    for (int i = 0; i < 9; ++i) {
        text += "Channel " + std::to_string(i) + "\n";
        text += i == 3 ? "{ Envelope\n 2\n Key 0 0 3 0 0 0 0 0 0\n Key 6.2831855 4 3 0 0 0 0 0 0\n Behaviors 4 4\n}\n"
                       : constant(values[i]);
    }
    return text;
}

void writeData(const fs::path& dir, bool cartoons, bool objects)
{
    fs::create_directories(dir / "maps");
    fs::create_directories(dir / "shaders");
    fs::create_directories(dir / "objects");
    for (const char* file : {"maps/64shade.tga", "maps/tiles.tga", "shaders/cartoon.vso"}) {
        fs::create_directories((dir / file).parent_path());
        fs::copy_file(fs::path(MIRVA_DATA_DIR) / file, dir / file, fs::copy_options::overwrite_existing);
    }
    // 50 x 50 quads: 5,000 triangles.
    const ObjectWriter torus = ObjectWriter::torus(1.0f, 0.35f, 50, 50);
    torus.write((dir / "objects/toon.lwo").string());
    std::string scene = "LWSC\n3\n\n";
    std::string script = "Enum Layers { BACK SCENE MATERIAL DRAW TOON }\n"
                         "Construct Clearer back { Layer = BACK ClearColor = 20, 30, 60 Enabled = true }\n"
                         "Construct LWS scene { Layer = SCENE Scene = \"lit.lws\" Enabled = true }\n"
                         "Construct Material paint { Layer = MATERIAL Type = TEXTUREANDDIFFUSE Lighting = true "
                         "Map = \"maps/tiles.tga\" Diffuse = 255, 200, 120 Enabled = true }\n";
    for (int i = 0; i < 20; ++i) {
        const float x = static_cast<float>(i % 5) * 2.6f - 5.2f, y = static_cast<float>(i / 5) * 2.6f - 3.9f;
        const std::string lit = "objects/lit" + std::to_string(i) + ".lwo";
        torus.write((dir / lit).string());
        scene += "LoadObjectLayer 1 " + lit + "\nObjectMotion\n" + turning(x, y, 16.0f);
        if (objects)
            script += "Construct Object lit" + std::to_string(i) + " { Layer = DRAW Object = \"" + lit +
                  "\" Material = paint Scene = scene Ambient = 40, 40, 40 Enabled = true }\n";
        if (cartoons)
            script += "Construct Cartoon toon" + std::to_string(i) + " { Layer = TOON Object = \"objects/toon.lwo\" "
                  "LightPosition = -20, 20, -10 Motion = " + std::to_string(x) + ", " + std::to_string(y) +
                  ", 12, 0, 0.5, 0, 1, 1, 1 Enabled = true }\n";
    }
    scene += "AddLight\nLightName Sun\nLightMotion\n" + turning(0, 0, 0) + "LightColor 1 1 1\nLightIntensity 1\n"
             "LightType 0\n";
    std::ofstream(dir / "lit.lws") << scene;
    std::ofstream(dir / "objects.txt") << script + "Timer 100:0:0 120 1.0\n";
}

// Argument: 1 the Cartoons alone, 2 the Objects alone, 3 both.
void BM_RenderObjects640x480(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / "mirva_objects_bench";
    writeData(dir, state.range(0) & 1, state.range(0) & 2);
    renderFrames(state, dir, "objects.txt");
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(dir);
}
BENCHMARK(BM_RenderObjects640x480)->Arg(3)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(5.0)->UseRealTime();

}  // namespace
