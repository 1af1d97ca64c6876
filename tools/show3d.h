#pragma once
// The show's 3D data, made in code so that `mirva-show3d DATA_DIR` rebuilds it exactly:
//
//   maps/64shade.tga        the cartoon shade ramp: 64 x 4 grey pixels in three hard bands,
//                           read across by N.L (dark where the light misses, light where
//                           it falls straight on)
//   maps/tiles.tga          128 x 128 bevelled tiles in cream and teal, a texture for lit
//                           objects
//   objects/torusknot.lwo   a (2, 3) torus knot tube in bands of three colours
//   objects/star.lwo        a puffy five-pointed star: front, rim and back surfaces
//   objects/spheres.lwo     a core sphere with six smaller ones around it, four colours
//   scenes/flight.lws       the three objects circling in formation, a camera flying round
//                           them the other way, a sun and a fill light; 24 s at 30 frames
//   scenes/family.lws       five stars on a spinning carousel (a null), a small knot
//                           orbiting the first star, the spheres in the middle; 24 s
//
// Every object is closed, each polygon wound so that (P1 - P0) x (Pn-1 - P0) points out
// of the object, and carries a "TXUV" map projected along z over its bounds (so a texture
// lies flat on the face turned to a camera looking along +z). Object files are named in
// the scenes by their path from the data folder, which is how a script finds them.
//
// Does not: write motion files or scripts.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/object_writer.h"

namespace mirva {

inline constexpr const char* kTorusKnotFile = "objects/torusknot.lwo";
inline constexpr const char* kStarFile = "objects/star.lwo";
inline constexpr const char* kSpheresFile = "objects/spheres.lwo";
inline constexpr const char* kShadeRampFile = "maps/64shade.tga";
inline constexpr const char* kTilesFile = "maps/tiles.tga";
inline constexpr const char* kFlightSceneFile = "scenes/flight.lws";
inline constexpr const char* kFamilySceneFile = "scenes/family.lws";

ObjectWriter torusKnotObject();
ObjectWriter starObject();
ObjectWriter spheresObject();

// The grey level (0..255) of each of the ramp's 64 columns.
std::vector<std::uint8_t> shadeRampLevels();
// The ramp as an uncompressed 24-bit TGA file, 64 x 4, rows bottom first.
std::vector<std::uint8_t> shadeRampTga();
// The tiles texture, 128 x 128, rows bottom first.
std::vector<std::uint8_t> tilesTga();

std::string flightSceneText();
std::string familySceneText();

// Writes every file above under `dataDir` (making its folders) and returns their paths
// relative to it, in the order written.
std::vector<std::string> writeShow3dData(const std::string& dataDir);

}  // namespace mirva
