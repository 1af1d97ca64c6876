#pragma once
// Tangent interpolation: every vertex of an LWObject gets the Gaussian-weighted mean of
// the reliable principal directions of its connected part of the mesh, weight
// e^(-d^2 / (2 sigma^2)) for a ring distance d, each direction projected into the
// vertex's tangent plane. Run after `CalculateCurvature` (mesh/curvature.h).
//
// Directions are lines without a sign, so each one is summed with the sign that agrees
// with the sum so far (nearest first): two neighbours whose directions differ only in
// sign reinforce each other instead of cancelling out.
//
// The search from a vertex goes out ring by ring and stops once everything beyond can no
// longer turn the result by a part in a million (or weighs nothing in float): for a sigma
// of a few rings that is a neighbourhood of some hundred vertices, not the whole mesh.
#include "lightwave/lw_object.h"

namespace mirva {

void InterpolateTangents(LWObject& object, float sigma);

}  // namespace mirva
