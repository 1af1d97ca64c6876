// Offline mixing speed of tracker modules, in times real time ("realtime" = seconds of
// music mixed per second of CPU). A 4-channel and a 32-channel module with a note on every
// row of every channel, as busy as modules get.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"
#include "tools/module_writer.h"

namespace {

using mirva::ModuleWriter;

std::vector<std::uint8_t> busyModule(int channels)
{
    ModuleWriter mod(channels);
    ModuleWriter::Sample saw{.name = "saw", .loopStart = 0, .loopLength = 256};
    for (int i = 0; i < 256; ++i)
        saw.data.push_back(static_cast<std::int8_t>(i - 128));
    ModuleWriter::Sample sine{.name = "sine", .loopStart = 0, .loopLength = 512};
    for (int i = 0; i < 512; ++i)
        sine.data.push_back(static_cast<std::int8_t>(std::lround(100 * std::sin(i * 2 * M_PI / 512))));
    mod.addSample(saw);
    mod.addSample(sine);
    mod.addSample(ModuleWriter::squareWave(64, 48));
    static const char* notes[] = {"C-1", "E-1", "G-1", "C-2", "D#2", "G-2", "A#2", "C-3"};
    for (int p = 0; p < 4; ++p) {
        mod.addPattern();
        for (int row = 0; row < ModuleWriter::kRows; ++row)
            for (int c = 0; c < channels; ++c)
                mod.setCell(p, row, c, {.note = notes[(row * 3 + c + p) % 8], .sample = 1 + (row + c) % 3});
    }
    mod.setOrders({0, 1, 2, 3, 0, 1, 2, 3});   // 61 s
    return mod.bytes();
}

void MixModule(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = busyModule(static_cast<int>(state.range(0)));
    mirva::SoundOutput::choose(mirva::SoundOutput::Kind::Offline);
    mirva::BASS_Init(mirva::BASS_DEVICE_DEFAULT, 44100, 0, nullptr);
    mirva::BASS_Start();
    constexpr std::size_t kSeconds = 10;
    for (auto _ : state) {
        state.PauseTiming();
        const mirva::HMUSIC music =
            mirva::BASS_MusicLoad(true, bytes.data(), 0, static_cast<mirva::DWORD>(bytes.size()), 0);
        mirva::BASS_MusicPlay(music);
        state.ResumeTiming();
        // One video frame at a time, as offline rendering pulls it.
        for (std::size_t frame = 0; frame < kSeconds * 60; ++frame)
            benchmark::DoNotOptimize(mirva::SoundOutput::mix(735));
        mirva::BASS_ChannelStop(music);
    }
    mirva::BASS_Free();
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(kSeconds * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(MixModule)->Arg(4)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
