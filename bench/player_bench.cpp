// Script loading speed: a generated script of 10,000 timed instructions, most of them
// with animated values, loaded whole (include pass, parser, value checks, builders) as
// the show and `mirva check` load it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "player/script_player.h"

namespace {

std::string generatedScript(int instructions)
{
    std::string s = "Enum Layers { BACK MIDDLE FRONT }\n";
    for (int i = 0; i < 20; ++i)
        s += "Construct Clearer clear" + std::to_string(i) + " { Layer = BACK ClearColor = 0, 0, 64 }\n";
    s += "Construct Sprite sprite { Map = \"maps/s.tga\" }\n";
    s += "Timer 1000:0:0 125 1.0\n";
    for (int i = 0; i < instructions; ++i) {
        const std::string time = std::to_string(i / 64) + ":" + std::to_string(i % 64) + ":0 ";
        const std::string name = "clear" + std::to_string(i % 20);
        switch (i % 4) {
        case 0:
            s += time + "Set " + name + " { CameraMotion = 0, 0, -5, Key 0,0,TCB,0,0,0 Key 2,6.28,TCB,0,0,0 "
                 "CONSTANT REPEAT, 0, 0, 1, 1, 1 EnvelopeSpeed 1.5 Layer = FRONT }\n";
            break;
        case 1:
            s += time + "Begin " + name + " { ClearColor = Key 0,0,LINEAR Key 1,255,LINEAR CONSTANT CONSTANT, "
                 "64, Key 0,10,BEZIER,0.5,-0.5 Key 4,20,HERMITE,1,1 RESET OSCILLATE\n"
                 "  FOV = 60, 45 Ambient = 10, 20, 30, 255 }\n";
            break;
        case 2:
            s += time + "Set sprite { Size = Key 0,1,STEPPED Key 1,2,STEPPED CONSTANT CONSTANT, 1 "
                 "Diffuse = 255, 255, 255 Blend = ADD }\n";
            break;
        default:
            s += time + "End " + name + "\n";
            break;
        }
    }
    return s;
}

void BM_LoadScript(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "mirva_player_bench_script.txt";
    std::ofstream(path) << generatedScript(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        mirva::ScriptPlayer player(path.string());
        benchmark::DoNotOptimize(player.instructions().data());
    }
    std::filesystem::remove(path);
    state.counters["instructions"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_LoadScript)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
