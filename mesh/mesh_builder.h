#pragma once
// Mesh building: an LWObject packed into the engine's indexed Primitive, ready to draw.
//
//   createMesh                   one engine vertex per object vertex, coloured by its
//                                own surface; for objects drawn with one material.
//   createDuplicateVerticesMesh  the same, but a vertex shared by triangles of different
//                                surfaces is copied once per further surface, so that
//                                every triangle shows its own surface's colour.
//   createEdgeLineMesh           a line list with room for every edge of the object
//                                (needs the adjacency, mesh/topology.h); the outline of
//                                the cartoon style refills it for every view with
//                                `fillSilhouetteEdges`.
//
// A vertex's own surface is that of the triangle its corner reference names. Colours go
// into both the diffuse and the specular colour of the engine vertex. Indices are 16 bits
// wide: an indexed mesh of more than 65536 vertices is fatal, naming the object.
//
// Does not: attach materials, lights or placements; the component that draws does.
#include <memory>

#include "engine/primitive.h"
#include "lightwave/lw_object.h"
#include "lightwave/vector3.h"

namespace mirva {

// `dynamicVertices`: for a mesh whose positions its user rewrites every frame.
std::unique_ptr<Primitive> createMesh(const LWObject& object, bool dynamicVertices = false);
std::unique_ptr<Primitive> createDuplicateVerticesMesh(const LWObject& object);

// Two vertices per edge of the object's edge array, in that order, holding the edge's
// end points; drawn without indices. Its vertices are dynamic: they are rewritten for
// every view.
std::unique_ptr<Primitive> createEdgeLineMesh(const LWObject& object);

// Fills `lines` (made by createEdgeLineMesh for the same object) with the edges that
// outline the object seen from `eye`, given in object space: every boundary edge, and
// every interior edge whose two triangles don't both face the eye, or both face away.
// The edges keep their order; the vertex count to draw becomes two per edge. Returns the
// number of edges.
int fillSilhouetteEdges(const LWObject& object, const Vector3& eye, Primitive& lines);

}  // namespace mirva
