#pragma once
// SampleSynth: the instruments of the show's music, synthesized into 8-bit MOD samples so
// the music is written from code alone and every run writes the same bytes.
//
// Each sample is made for the note it is meant to be played at, since ProTracker plays a
// sample faster for higher notes (PAL: C-2 plays 8287 samples a second, C-3 16574, B-3
// 31389). Pitched samples hold whole cycles: a cycle of 128 bytes sounds C2 at C-2, 64
// bytes C3, 32 bytes C4, so they stay in tune with each other whatever note they play.
//
//   drums    kick (C-2), snare (C-3), hat and crash (B-3): noise and swept sines
//   bass     a plucked saw, 128-byte cycle, decaying (not looped)
//   pad      detuned soft saws on root, fifth and octave, 64-byte cycle, looped after a
//            slow attack: it fits major and minor chords alike
//   lead     two detuned pulses, 32-byte cycle, looped
//   pluck    a square whose harmonics die first, 32-byte cycle, for arpeggios
//
// Does not: filter in real time, write files, or know which song uses what.
#include "tools/module_writer.h"

namespace mirva::synth {

inline constexpr double kRateC2 = 8287.0;
inline constexpr double kRateC3 = 16574.0;
inline constexpr double kRateB3 = 31389.0;

ModuleWriter::Sample kick();
ModuleWriter::Sample snare();
ModuleWriter::Sample hat();
ModuleWriter::Sample crash();
ModuleWriter::Sample bass();
ModuleWriter::Sample pad();
ModuleWriter::Sample lead();
ModuleWriter::Sample pluck();

// A band-limited sawtooth (falling, -1..1) at `phase` radians with `harmonics` partials,
// partial h weighted by 1/h^slope (slope 1 is a true saw; more is softer).
double saw(double phase, int harmonics, double slope = 1.0);

}  // namespace mirva::synth
