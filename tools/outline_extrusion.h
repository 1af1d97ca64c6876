#pragma once
// Outline extrusion: a flat shape given by closed polylines in the xy plane, filled by the
// non-zero rule (as font outlines are), made into a closed solid between z = 0 and
// z = depth.
//
// GLU's tessellator does the geometry in two passes. The first merges contours that
// overlap or cross into one boundary on which the solid always lies to the left of an
// edge (outer contours run counter-clockwise with y up, holes clockwise); the second
// cuts the region inside that boundary into triangles for the two faces. Each boundary
// edge then gets a rectangle of wall. Faces and walls share the boundary's points, so
// every edge of the solid belongs to exactly two polygons, and every polygon is wound so
// that (P1 - P0) x (Pn-1 - P0) points out of the solid: the front face (z = 0) looks
// towards -z, the back face (z = depth) towards +z.
//
// The walls are written before the faces. A renderer that colours each point once, by
// the last polygon that uses it, so gives the front and back points their own surface's
// colour, and the walls shade from one to the other.
//
// Does not: bevel, smooth, or split points between surfaces: the normals the loader
// averages over a rim point mix the face with its walls.
#include <string>
#include <vector>

#include "tools/object_writer.h"

namespace mirva {

struct OutlinePoint {
    float x = 0, y = 0;
};

using Contour = std::vector<OutlinePoint>;   // closed: the last point joins the first

struct ExtrusionSurface {
    std::string name;
    float red = 0, green = 0, blue = 0;
};

struct ExtrusionDesc {
    float depth = 1.0f;
    ExtrusionSurface front{"Front", 1.0f, 1.0f, 1.0f};
    ExtrusionSurface back{"Back", 0.5f, 0.5f, 0.5f};
    ExtrusionSurface side{"Side", 0.75f, 0.75f, 0.75f};
    // The "TXUV" map "Planar" projects along z: u = x / uvUnit, v = y / uvUnit.
    float uvUnit = 1.0f;
};

// The solid, with surfaces front, back and side in that order and the boundary's points
// twice: first at z = 0, then in the same order at z = depth. Fatal ("<tool>: ...") when
// the tessellator fails or the outline encloses nothing.
ObjectWriter extrudeOutline(const std::vector<Contour>& outline, const ExtrusionDesc& desc, const std::string& tool);

}  // namespace mirva
