#pragma once
// The show's animations, drawn in code so that `mirva-showanim DATA_DIR` rebuilds them
// exactly:
//
//   anims/orb.flc   256 x 256, 64 frames at 25 a second, looping: a glowing orb on a
//                   transparent background (colour index 0, the first pixel of every
//                   frame). Inside, a still swirl of colour bands; over it three steel
//                   blades turning a third of a round in the 64 frames round a pulsing
//                   core; round it a gold rim with a spark running once round.
//
// The palette stays the same from frame to frame: the show's player writes colours, not
// indices, so all movement is in the pixels, and only what moves is stored.
//
// Does not: write scripts.
#include <string>
#include <vector>

#include "tools/flc_writer.h"

namespace mirva {

inline constexpr const char* kOrbAnimFile = "anims/orb.flc";
inline constexpr int kOrbSize = 256;
inline constexpr int kOrbFrames = 64;

// Frame `frame` (0 to 63) of the orb: colour indices, rows top first.
FlcBytes orbFrame(int frame);
FlcPalette orbPalette();
FlcWriter orbAnimation();

// Writes every file above under `dataDir` (making its folders) and returns their paths
// relative to it, in the order written.
std::vector<std::string> writeShowAnimations(const std::string& dataDir);

}  // namespace mirva
