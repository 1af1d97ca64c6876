#pragma once
// Curvature of an LWObject's surface at every vertex. Needs the adjacency
// (mesh/topology.h); the directions it finds are then smoothed by `InterpolateTangents`
// (mesh/tangents.h).
//
// `CalculateCurvature` fits the ring of neighbours around each vertex with a quadratic
// patch (harmonic sums over the ring) and stores the ring's normal, the two principal
// curvatures (k1 the one of larger magnitude) and the direction of k1 as the tangent. A
// vertex is unreliable when the fit is degenerate, when |k1| < 0.01 (flat) or when
// |k1| < 2 |k2| (nearly umbilic: no clear direction).
#include "lightwave/lw_object.h"

namespace mirva {

void CalculateCurvature(LWObject& object);

}  // namespace mirva
