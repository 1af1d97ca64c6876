#pragma once
// Mesh topology of a loaded LWObject: the edge table, the neighbour of every triangle
// across each of its edges, and the ring of neighbours around a vertex.
//
// Order of use: load the object, `CalculateAdjacency`, then any of the steps that walk
// the mesh (subdivision, neighbourhoods, curvature, tangents). A mesh in which an edge is
// shared by more than two triangles still gets its adjacency (the extra uses are only
// counted); the steps that walk it refuse it.
//
// mesh/ sits on lightwave/: it works in place on the object the loader made.
#include <cstdint>
#include <vector>

#include "lightwave/lw_object.h"

namespace mirva {

// (Re)builds the object's edges (ordered by their vertex pair), each triangle's
// neighbours and edge numbers, and the count of edges shared by more than two triangles.
void CalculateAdjacency(LWObject& object);

struct RingEntry {
    std::int32_t vertex = 0;
    // Forward neighbours 0, 1, 2, ...; on an open ring the backward ones -1, -2, ...
    std::int32_t position = 0;
};

struct Ring {
    std::vector<RingEntry> entries;
    int triangles = 0;   // triangles counted by the walk (on an open ring the start twice)
    bool open = false;
    std::int32_t firstBoundary = -1;   // the open ring's neighbour at the end of the backward walk
    std::int32_t lastBoundary = -1;    // ... and at the end of the forward walk
};

// The ring of neighbours around `vertex`, walked through the triangle neighbours from
// the triangle its corner reference names: empty for an unused vertex. Fatal for a mesh
// with edges shared by more than two triangles.
Ring Neighbourhood(const LWObject& object, std::int32_t vertex);

// The same walk without the check, into a ring whose storage is reused; for the mesh
// steps, which check the mesh once. Where a neighbour is wound the other way round the
// walk can't go on around the vertex, and the ring counts as open there.
void walkRing(const LWObject& object, std::int32_t vertex, Ring& ring);

// Fatal "<what>: '<name>' contains <n> edges which are shared by more than 2 polygons"
// when the object has such edges.
void requireManifold(const LWObject& object, const char* what);

}  // namespace mirva
