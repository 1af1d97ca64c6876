#pragma once
// The images of the show's flat effects and of its painted objects, drawn in code so
// that `mirva-flatmaps DATA_DIR` rebuilds them exactly:
//
//   maps/flare4.tga   128 x 128, a warm lens flare: a white core, a soft halo, a faint
//                     blue ring and six thin rays, black outside (drawn additively)
//   maps/inner3.tga   256 x 256, a dim five-armed spiral in violet and orange that the
//                     video-feedback zoomer adds into its picture every frame; its
//                     brightest parts stay below a quarter of full so that the feedback
//                     does not burn out to white
//   maps/petal.tga    64 x 128, one white petal with alpha: its round tip at the top
//                     (texture v 0, the outer end), narrowing to its base at the bottom,
//                     a darker middle vein; tinted by the petal colour when drawn
//   maps/middle.tga   64 x 64, the round middle of a flower with alpha: a pale disc
//                     with a sunflower pattern of seeds
//   maps/brush.tga    128 x 64, one painter's dab with alpha: white, long along u, soft
//                     edges, bristle streaks running along u and ragged ends; the
//                     stroke's colour tints it
//   maps/envmap.tga   256 x 256, a sphere map looked up by a normal (column from n.x,
//                     row from -n.y): pale sky to deep blue above the horizon, brown
//                     ground below, a warm sun up to the left and front
#include <cstdint>
#include <string>
#include <vector>

#include "io/surface.h"

namespace mirva {

inline constexpr const char* kFlareFile = "maps/flare4.tga";
inline constexpr const char* kInnerFile = "maps/inner3.tga";
inline constexpr const char* kPetalFile = "maps/petal.tga";
inline constexpr const char* kMiddleFile = "maps/middle.tga";
inline constexpr const char* kBrushFile = "maps/brush.tga";
inline constexpr const char* kEnvironmentFile = "maps/envmap.tga";

Surface flareImage();
Surface innerImage();
Surface petalImage();
Surface middleImage();
Surface brushImage();
Surface environmentImage();

// Writes every image above under `dataDir` (making its maps folder) and returns their
// paths relative to it, in the order written.
std::vector<std::string> writeFlatMaps(const std::string& dataDir);

}  // namespace mirva
