#pragma once
// LWObject: a LightWave object as a triangle mesh in memory.
//
// `Load` reads an LWO2 object, or the older LWOB form, into vertices (position, normal,
// tangent frame, texture coordinate, colour), triangles (face normal, area, surface,
// corners) and surfaces (name, colour). Only the first layer's points are used,
// polygons are cut into fans of triangles, and texture coordinates and colours come
// from vertex maps; per-polygon maps split the vertices they touch.
//
// The mesh steps (mesh/: adjacency, subdivision, curvature, tangents) then work on the
// same structure in place: they fill the edges, the triangle neighbours, the principal
// curvatures and the reliability flags.
//
// Every problem in a file is fatal and never reads outside the file's bytes: a chunk
// that runs past its form, a read past the end of its chunk, a point, polygon or surface
// index out of range, an object whose first layer has no points.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lightwave/vector3.h"

namespace mirva {

struct Vertex {
    Vector3 position;
    Vector3 normal;     // unit average of the face normals around it (zero when unused)
    Vector3 tangent;    // (0, 1, 0) x normal after loading; the principal direction later
    Vector3 binormal;   // normal x tangent
    float k1 = 0;       // principal curvature of the larger magnitude (mesh steps)
    float k2 = 0;       // the other principal curvature
    // 4 * t + c for one triangle t whose corner c (0..2) is this vertex; -1 when unused.
    std::int32_t corner = -1;
    float u = 0;
    float v = 0;
    float colour[4] = {0, 0, 0, 0};   // red, green, blue, alpha
    std::uint8_t reliable = 0;        // curvature estimate usable (mesh steps)
};

struct Triangle {
    Vector3 normal;   // unit normal of the polygon it was cut from
    float area = 0;
    std::int32_t surface = -1;   // index into the surfaces
    std::int32_t v[3] = {0, 0, 0};
    // Edge k joins corners k and (k + 1) mod 3. Across it: the neighbour triangle (-1 on
    // a boundary) and the number of the same edge as seen from that neighbour.
    std::int32_t neighbour[3] = {-1, -1, -1};
    std::uint8_t neighbourEdge[3] = {0, 0, 0};
};

struct Edge {
    std::int32_t low = 0;    // the smaller vertex index
    std::int32_t high = 0;
    std::int32_t first = -1;    // first triangle that uses the edge
    std::int32_t second = -1;   // the other one; -1 for a boundary edge
};

struct ObjectSurface {
    std::string name;
    std::uint32_t colour = 0xFF000000u;   // 0xAARRGGBB: bytes blue, green, red, alpha in memory
    std::int32_t triangles = 0;
};

// What the loader read of one vertex map, for inspection.
struct VertexMapInfo {
    std::string type;           // "TXUV", "RGB ", "RGBA", "WGHT", ...
    std::string name;
    int dimension = 0;
    int entries = 0;
    bool perPolygon = false;    // a discontinuous map (VMAD)
};

// The bounding box of no points runs from this (the largest float) down to its negative.
inline constexpr float kNoBounds = 3.4028235e38f;

struct LWObject {
    std::string name;   // the file name it was loaded from
    std::vector<Vertex> vertices;
    std::vector<Triangle> triangles;
    std::vector<Edge> edges;   // ordered by (low, high); filled by the adjacency step
    std::vector<ObjectSurface> surfaces;
    Vector3 boundsMin{kNoBounds, kNoBounds, kNoBounds};
    Vector3 boundsMax{-kNoBounds, -kNoBounds, -kNoBounds};
    float radius = 0;   // largest distance of a point from the origin
    // Edge uses that found their edge already shared by two triangles (adjacency step).
    std::int32_t nonManifold = 0;

    std::vector<VertexMapInfo> vertexMaps;
    int splitVertices = 0;   // vertices added by per-polygon maps

    // Reads the file through Phile and parses it; logs what it read.
    static LWObject Load(const std::string& fileName);
    // The same on bytes already in memory; `fileName` names the object and its messages.
    static LWObject Parse(const std::string& fileName, const std::uint8_t* data, std::size_t size);
};

}  // namespace mirva
