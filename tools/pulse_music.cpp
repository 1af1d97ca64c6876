#include "tools/pulse_music.h"

#include <array>
#include <cmath>

namespace mirva {

namespace {

// A low thump: a sine that falls from 110 Hz to 40 Hz and fades out, for playing at C-2
// (about 8287 samples a second).
ModuleWriter::Sample kick()
{
    ModuleWriter::Sample s{.name = "kick"};
    double phase = 0;
    for (int i = 0; i < 2400; ++i) {
        const double t = i / 2400.0;
        phase += 2 * M_PI * (40 + 70 * (1 - t) * (1 - t)) / 8287.0;
        s.data.push_back(static_cast<std::int8_t>(std::lround(120 * (1 - t) * std::sin(phase))));
    }
    return s;
}

// A short burst of noise from a fixed generator, so every run writes the same bytes.
ModuleWriter::Sample hat()
{
    ModuleWriter::Sample s{.name = "hat", .volume = 40};
    std::uint32_t state = 12345;
    for (int i = 0; i < 800; ++i) {
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 16) & 0xFF) - 128.0;
        s.data.push_back(static_cast<std::int8_t>(std::lround(noise * (1 - i / 800.0))));
    }
    return s;
}

}  // namespace

ModuleWriter composePulse()
{
    ModuleWriter mod(4);
    mod.setTitle("pulse");
    const int kickSample = mod.addSample(kick());
    const int hatSample = mod.addSample(hat());
    const int bassSample = mod.addSample(ModuleWriter::squareWave(32, 48));
    const int leadSample = mod.addSample(ModuleWriter::squareWave(16, 32));

    const int intro = mod.addPattern();
    const int groove = mod.addPattern();
    const int lead = mod.addPattern();
    const std::array<const char*, 4> bassLine = {"C-1", "C-1", "G-1", "A#1"};
    const std::array<const char*, 8> tune = {"C-3", "D#3", "G-3", "D#3", "F-3", "D#3", "D-3", "A#2"};
    for (int row = 0; row < ModuleWriter::kRows; ++row) {
        if (row % 8 == 0)
            for (int pattern : {intro, groove, lead})
                mod.setCell(pattern, row, 0, {.note = "C-2", .sample = kickSample});
        if (row % 4 == 2)
            for (int pattern : {groove, lead})
                mod.setCell(pattern, row, 1, {.note = "C-3", .sample = hatSample});
        if (row % 4 == 0)
            for (int pattern : {groove, lead})
                mod.setCell(pattern, row, 2, {.note = bassLine[static_cast<std::size_t>(row / 16)], .sample = bassSample});
        if (row % 8 == 4)
            mod.setCell(lead, row, 3, {.note = tune[static_cast<std::size_t>(row / 8)], .sample = leadSample});
    }
    mod.setOrders({intro, groove, groove, lead, lead, groove});
    return mod;
}

}  // namespace mirva
