#pragma once
// Brush strokes: the painted look of the Painterly component, apart from the component.
//
// Once per object file, `brushStrokesOf` loads the object, finds its principal
// directions (adjacency, curvature, tangent interpolation) and scatters four strokes over
// every triangle, one in each quarter of it, lying in the surface along the direction.
// `makeStrokeBatches` makes the quad primitives that draw them, 512 strokes at most each,
// with their indices filled once.
//
// Every frame, for each placement of the object:
//
//   const StrokeView view(world, camera.placement, camera.view);
//   const int visible = painter.sort(strokes, view);          // facing the eye, far first
//   for (int batch = 0; batch * kStrokesPerBatch < visible; ++batch) {
//       const int n = painter.fillBatch(batch, strokes, view, environment, quads.vertices());
//       quads.setVertexCount(4 * n); quads.setIndexCount(6 * n); quads.draw(camera);
//   }
//
// A stroke's colour is its surface colour lit by the light that comes from the camera
// (never below half), plus the environment image looked up by the normal as a sphere
// map (the darker the surface, the more of it) and a sharp highlight. The quads are
// written in world space, so the primitives draw with the identity transformation.
//
// Where the surface has no principal direction (flat, or a sphere, curved alike every
// way), a stroke lies across the y axis instead, so that it still has its size.
//
// Degenerate geometry stays harmless: a triangle without area gives strokes of size 0
// with a zero normal, and strokes whose normal or sort key is not a number are never
// drawn, so no NaN reaches the sort or the vertex colours.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/primitive.h"
#include "io/transformation.h"
#include "lightwave/vector3.h"

namespace mirva {

class Surface;
struct LWObject;

inline constexpr int kStrokesPerBatch = 512;

struct BrushStroke {
    Vector3 position;   // object space
    Vector3 normal;     // unit (zero on a degenerate triangle)
    Vector3 direction;  // unit principal direction, or across y (zero with the normal)
    std::uint32_t colour = 0xFF000000u;  // the triangle's surface colour, 0xAARRGGBB
    float length = 0;   // both sizes are the square root of the triangle's area
    float width = 0;
};

// Four strokes for every triangle of an object whose directions are ready (after
// CalculateCurvature and InterpolateTangents), drawing two numbers each from the
// program's random generator.
std::vector<BrushStroke> scatterStrokes(const LWObject& object);

// Loads the object file, finds its directions and scatters its strokes.
std::vector<BrushStroke> brushStrokesOf(const std::string& fileName);

// Quad primitives for `strokes` strokes: one per 512, with dynamic vertices and two
// triangles a stroke in their indices.
std::vector<std::unique_ptr<Primitive>> makeStrokeBatches(int strokes);

// What one placement of an object is seen and lit by, in the object's own space.
struct StrokeView {
    // `world` places the object; the camera's placement (camera to world) and view.
    StrokeView(const Transformation& world, const Transformation& cameraPlacement, const Transformation& cameraView);

    Transformation world;
    Vector3 light;     // the camera's z axis negated, through the inverse of world's axes
    Vector3 eye;       // the camera's position
    Vector3 viewAxis;  // towards the camera: a position along it sorts nearer
};

// A stroke's vertex colour for a view: 0xAARRGGBB with the environment texel's alpha.
std::uint32_t strokeColour(const BrushStroke& stroke, const StrokeView& view, const Surface& environment);

// Sorts and writes the strokes of one view. Its buffer is kept from view to view, so a
// frame allocates nothing once the largest object has been drawn.
class StrokePainter {
public:
    // Keeps the strokes whose normal faces the eye ((E - p).n > 0.1) and sorts them
    // farthest first; returns how many were kept.
    int sort(std::span<const BrushStroke> strokes, const StrokeView& view);
    // Writes the quads of the sorted strokes of batch `batch` (4 vertices each) into
    // `quads`; returns how many strokes it wrote.
    int fillBatch(int batch, std::span<const BrushStroke> strokes, const StrokeView& view, const Surface& environment,
                  std::span<Primitive::Vertex> quads) const;

    int visible() const { return static_cast<int>(order_.size()); }
    // The index of the stroke that is drawn `n`-th.
    int strokeAt(int n) const { return static_cast<int>(order_[static_cast<std::size_t>(n)] & 0xFFFFFFFFu); }

private:
    std::vector<std::uint64_t> order_;  // sortable key in the high half, stroke index in the low
};

}  // namespace mirva
