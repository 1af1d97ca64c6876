#pragma once
// Loop subdivision of an LWObject in place: every step puts a new vertex on each edge,
// moves the old vertices by the Loop masks and cuts every triangle into four, for every
// vertex attribute alike (position, normal, tangent frame, curvatures, texture
// coordinate, colour). The adjacency is rebuilt after each step.
#include "lightwave/lw_object.h"

namespace mirva {

// `steps` rounds; 0 does nothing. Computes the adjacency first when the object has none;
// fatal for a mesh with edges shared by more than two triangles.
void Subdivide(LWObject& object, int steps);

}  // namespace mirva
