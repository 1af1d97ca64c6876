#include "components/brush_strokes.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "io/random.h"
#include "io/surface.h"
#include "lightwave/lw_object.h"
#include "lightwave/transformation.h"
#include "mesh/curvature.h"
#include "mesh/subdivision.h"
#include "mesh/tangents.h"
#include "mesh/topology.h"

namespace mirva {

namespace {

constexpr int kStrokesPerTriangle = 4;
// The generator's 0..32767 as a number from 0 to 1.
constexpr float kRandomScale = 3.051851e-5f;
// How far the directions of the surface are spread, in rings of neighbours.
constexpr float kTangentSigma = 2.0f;
// A stroke is drawn when its normal faces the eye by more than this.
constexpr float kFacing = 0.1f;

// Blending three vertex values with the weights w, u, v.
Vector3 blend(const Vector3& a, const Vector3& b, const Vector3& c, float w, float u, float v)
{
    return a * w + b * u + c * v;
}

// A direction in the surface for a stroke where the surface has none (flat, or curved
// alike every way, as a sphere): across the y axis, as the loader starts its tangents, or
// across x where the normal lies along y. Without it such strokes would have no extent.
Vector3 directionIn(const Vector3& normal)
{
    const Vector3 across = cross({0, 1, 0}, normal);
    return normalised(dot(across, across) > 1e-6f ? across : cross({1, 0, 0}, normal));
}

// x rounded to the nearest of 0 .. size - 1 (halves up); anything not a number is 0.
int nearestIndex(float x, int size)
{
    if (!(x > 0.0f))
        return 0;
    if (x >= static_cast<float>(size - 1))
        return size - 1;
    const int below = static_cast<int>(x);
    return x - static_cast<float>(below) >= 0.5f ? below + 1 : below;
}

std::uint32_t channel(float value)
{
    return static_cast<std::uint32_t>(nearestIndex(value, 256));
}

// Floats ordered as unsigned integers: the sign bit flips the positive ones above every
// negative one, and the negative ones are inverted so that larger magnitudes sort lower.
std::uint64_t sortable(float key)
{
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(key);
    return (bits & 0x80000000u) ? ~bits : (bits | 0x80000000u);
}

// The colour rules; inline here so that the batch loop has them in place.
inline std::uint32_t colourOf(const BrushStroke& stroke, const StrokeView& view, const Surface& environment)
{
    const Vector3& n = stroke.normal;
    const float d = std::max(dot(n, view.light), 0.5f);
    const auto red = static_cast<float>((stroke.colour >> 16) & 0xFF);
    const auto green = static_cast<float>((stroke.colour >> 8) & 0xFF);
    const auto blue = static_cast<float>(stroke.colour & 0xFF);
    // Dark surfaces take much of the environment, light ones little.
    const float k = 1.0f - (0.29f * red + 0.5f * green + 0.11f * blue) / 255.0f;

    std::uint32_t texel = 0xFF000000u;
    if (!environment.empty()) {
        const int width = environment.width(), height = environment.height();
        const int column = nearestIndex((n.x * 0.5f + 0.5f) * static_cast<float>(width), width);
        const int row = nearestIndex((-n.y * 0.5f + 0.5f) * static_cast<float>(height), height);
        texel = environment.pixel(column, row);
    }
    const auto tr = static_cast<float>((texel >> 16) & 0xFF);
    const auto tg = static_cast<float>((texel >> 8) & 0xFF);
    const auto tb = static_cast<float>(texel & 0xFF);

    float highlight = 0.0f;
    const float s = dot(n, normalised(normalised(view.eye - stroke.position) + view.light));
    if (s > 0.0f) {
        float power = s * s;  // s^2, then squared five times: s^64
        for (int i = 0; i < 5; ++i)
            power *= power;
        highlight = 255.0f * power;
    }
    return (texel & 0xFF000000u) | channel(d * (tr * k + red) + highlight) << 16 |
           channel(d * (tg * k + green) + highlight) << 8 | channel(d * (tb * k + blue) + highlight);
}

Primitive::Vertex corner(const Vector3& p, std::uint32_t colour, float u, float v)
{
    return {.x = p.x, .y = p.y, .z = p.z, .diffuse = colour, .u = u, .v = v};
}

}  // namespace

std::vector<BrushStroke> scatterStrokes(const LWObject& object)
{
    std::vector<BrushStroke> strokes;
    strokes.reserve(object.triangles.size() * kStrokesPerTriangle);
    for (const Triangle& triangle : object.triangles) {
        const Vertex& P = object.vertices[static_cast<std::size_t>(triangle.v[0])];
        const Vertex& Q = object.vertices[static_cast<std::size_t>(triangle.v[1])];
        const Vertex& S = object.vertices[static_cast<std::size_t>(triangle.v[2])];
        // Directions are lines: turn the other two to agree with the first.
        const Vector3 tP = P.tangent;
        const Vector3 tQ = dot(Q.tangent, tP) < 0.0f ? -Q.tangent : Q.tangent;
        const Vector3 tS = dot(S.tangent, tP) < 0.0f ? -S.tangent : S.tangent;
        const auto surface = static_cast<std::size_t>(triangle.surface);
        const std::uint32_t colour = surface < object.surfaces.size() ? object.surfaces[surface].colour : 0xFF000000u;
        const float size = triangle.area > 0.0f ? std::sqrt(triangle.area) : 0.0f;

        for (int quarter = 0; quarter < kStrokesPerTriangle; ++quarter) {
            float u = static_cast<float>(randomNext()) * kRandomScale;
            float v = static_cast<float>(randomNext()) * kRandomScale;
            if (u + v > 1.0f) {
                u = 1.0f - u;
                v = 1.0f - v;
            }
            u *= 0.5f;
            v *= 0.5f;
            // The quarters of the midpoint subdivision: at P, at Q, at S, and the middle
            // one, which is the corner quarter mirrored.
            switch (quarter) {
            case 1: u += 0.5f; break;
            case 2: v += 0.5f; break;
            case 3:
                u = 0.5f - u;
                v = 0.5f - v;
                break;
            default: break;
            }
            const float w = 1.0f - u - v;
            const Vector3 normal = normalised(blend(P.normal, Q.normal, S.normal, w, u, v));
            Vector3 direction = normalised(blend(tP, tQ, tS, w, u, v));
            if (direction == Vector3{})
                direction = directionIn(normal);
            strokes.push_back({.position = blend(P.position, Q.position, S.position, w, u, v),
                               .normal = normal,
                               .direction = direction,
                               .colour = colour,
                               .length = size,
                               .width = size});
        }
    }
    return strokes;
}

std::vector<BrushStroke> brushStrokesOf(const std::string& fileName)
{
    LWObject object = LWObject::Load(fileName);
    CalculateAdjacency(object);
    Subdivide(object, 0);
    CalculateCurvature(object);
    InterpolateTangents(object, kTangentSigma);
    return scatterStrokes(object);
}

std::vector<std::unique_ptr<Primitive>> makeStrokeBatches(int strokes)
{
    std::vector<std::unique_ptr<Primitive>> batches;
    for (int first = 0; first < strokes; first += kStrokesPerBatch) {
        const int count = std::min(kStrokesPerBatch, strokes - first);
        auto quads = std::make_unique<Primitive>(Primitive::TRIANGLELIST, 6 * count, 4 * count, false, true);
        const std::span<WORD> indices = quads->indices();
        for (int i = 0; i < count; ++i) {
            const auto base = static_cast<WORD>(4 * i);
            const WORD two[6] = {base, static_cast<WORD>(base + 1), static_cast<WORD>(base + 2),
                                 base, static_cast<WORD>(base + 2), static_cast<WORD>(base + 3)};
            std::copy(std::begin(two), std::end(two), indices.begin() + 6 * i);
        }
        batches.push_back(std::move(quads));
    }
    return batches;
}

StrokeView::StrokeView(const Transformation& placement, const Transformation& cameraPlacement,
                       const Transformation& cameraView)
    : world(placement)
{
    const Transformation toObject = inverse(placement);
    const auto& camera = cameraPlacement.m;
    light = transformDirection(toObject, -Vector3{camera[2][0], camera[2][1], camera[2][2]});
    eye = transformPoint(toObject, {camera[3][0], camera[3][1], camera[3][2]});
    const Transformation toCamera = multiply(placement, cameraView);
    viewAxis = -Vector3{toCamera.m[0][2], toCamera.m[1][2], toCamera.m[2][2]};
}

std::uint32_t strokeColour(const BrushStroke& stroke, const StrokeView& view, const Surface& environment)
{
    return colourOf(stroke, view, environment);
}

int StrokePainter::sort(std::span<const BrushStroke> strokes, const StrokeView& view)
{
    order_.clear();
    order_.reserve(strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        const BrushStroke& stroke = strokes[i];
        if (!(dot(view.eye - stroke.position, stroke.normal) > kFacing))
            continue;
        const float key = dot(stroke.position, view.viewAxis) - 0.25f * dot(stroke.normal, view.light);
        if (std::isnan(key))
            continue;
        order_.push_back(sortable(key) << 32 | i);
    }
    std::sort(order_.begin(), order_.end());
    return visible();
}

int StrokePainter::fillBatch(int batch, std::span<const BrushStroke> strokes, const StrokeView& view,
                             const Surface& environment, std::span<Primitive::Vertex> quads) const
{
    const std::size_t first = static_cast<std::size_t>(batch) * kStrokesPerBatch;
    if (batch < 0 || first >= order_.size())
        return 0;
    const std::size_t count = std::min({order_.size() - first, std::size_t{kStrokesPerBatch}, quads.size() / 4});
    Primitive::Vertex* out = quads.data();
    for (std::size_t i = 0; i < count; ++i, out += 4) {
        const BrushStroke& stroke = strokes[order_[first + i] & 0xFFFFFFFFu];
        const std::uint32_t colour = colourOf(stroke, view, environment);
        const Vector3 centre = transformPoint(view.world, stroke.position);
        const Vector3 one = transformDirection(view.world, stroke.direction * (stroke.length * 0.75f));
        const Vector3 across = cross(stroke.direction, stroke.normal);
        const Vector3 two = transformDirection(view.world, across * (stroke.width * 1.25f));
        out[0] = corner(centre + one - two, colour, 0.0f, 0.0f);
        out[1] = corner(centre + one + two, colour, 1.0f, 0.0f);
        out[2] = corner(centre - one + two, colour, 1.0f, 1.0f);
        out[3] = corner(centre - one - two, colour, 0.0f, 1.0f);
    }
    return static_cast<int>(count);
}

}  // namespace mirva
