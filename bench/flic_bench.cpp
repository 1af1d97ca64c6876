// FLC decoding speed in frames a second (items_per_second), at 320 x 200 and 640 x 480:
// animations made by the FLC writer in memory, played round and round as FlicDecompress
// plays them into its texture.
//   Changes: a ball crossing a still background of bands (word deltas of a few rows).
//   Full: every pixel changes every frame (word deltas of whole lines of literal pairs).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "io/flic_player.h"
#include "tools/flc_writer.h"

namespace {

constexpr int kFrames = 32;

mirva::FlcBytes animation(int width, int height, bool full)
{
    mirva::FlcPalette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                static_cast<std::uint8_t>(i * 3)};
    mirva::FlcWriter writer(width, height);
    const int radius = height / 4;
    for (int frame = 0; frame < kFrames; ++frame) {
        mirva::FlcBytes indices(static_cast<std::size_t>(width * height));
        const int cx = radius + (width - 2 * radius) * frame / kFrames;
        const int cy = height / 2 + static_cast<int>(radius * std::sin(frame * 0.4));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                int index = full ? (x * 7 + y * 13 + frame * 5) % 251 : 1 + y / 8 % 16;
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < radius * radius)
                    index = 200 + (x + y) / 16 % 40;
                indices[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint8_t>(index);
            }
        writer.addFrame(std::move(indices), palette);
    }
    return writer.bytes();
}

void decode(benchmark::State& state, int width, int height, bool full)
{
    const mirva::FlcBytes file = animation(width, height, full);
    mirva::FlicPlayer player;
    player.load("bench.flc", mirva::PhileBlock(file.begin(), file.end()));
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width * height));
    for (auto _ : state) {
        player.decodeFrame(pixels.data(), width * 2);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["file_bytes_per_frame"] = static_cast<double>(file.size()) / (kFrames + 1);
}

void BM_FlicChanges320x200(benchmark::State& state) { decode(state, 320, 200, false); }
void BM_FlicChanges640x480(benchmark::State& state) { decode(state, 640, 480, false); }
void BM_FlicFull320x200(benchmark::State& state) { decode(state, 320, 200, true); }
void BM_FlicFull640x480(benchmark::State& state) { decode(state, 640, 480, true); }
BENCHMARK(BM_FlicChanges320x200);
BENCHMARK(BM_FlicChanges640x480);
BENCHMARK(BM_FlicFull320x200);
BENCHMARK(BM_FlicFull640x480);

}  // namespace
