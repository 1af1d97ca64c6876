// The show's objects: closed meshes built from grids of points around a path or between
// two poles. Each grid is made of triangles (so every face normal is exact for the
// outline test of the cartoon style) and turned, as a whole, so that its face normals
// point outwards: a closed mesh wound that way encloses a positive volume.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/show3d.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;

struct P3 {
    float x = 0, y = 0, z = 0;
};

P3 operator+(P3 a, P3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
P3 operator-(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 operator*(P3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
P3 cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
P3 unit(P3 a)
{
    const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return a * (1.0f / length);
}

// A power that keeps the sign: superellipse profiles.
float signedPower(float value, float exponent)
{
    return std::copysign(std::pow(std::fabs(value), exponent), value);
}

float fraction(int i, int n)
{
    return static_cast<float>(i) / static_cast<float>(n);
}

using PointAt = std::function<P3(int column, int ring)>;
using SurfaceAt = std::function<int(int column, int row)>;

class ShapeBuilder {
public:
    int surface(const std::string& name, float red, float green, float blue)
    {
        surfaces_.push_back({name, red, green, blue});
        return static_cast<int>(surfaces_.size()) - 1;
    }

    // `columns` x `rings` points, closed both ways: a tube whose ends meet. Triangle row r
    // joins ring r to ring r + 1.
    void tube(int columns, int rings, const PointAt& at, const SurfaceAt& surfaceAt)
    {
        const std::uint32_t base = addRings(columns, rings, at);
        auto index = [&](int column, int ring) {
            return base + static_cast<std::uint32_t>((ring % rings) * columns + column % columns);
        };
        std::vector<Face> faces;
        for (int ring = 0; ring < rings; ++ring)
            for (int column = 0; column < columns; ++column)
                addQuad(faces, index(column, ring), index(column + 1, ring), index(column + 1, ring + 1),
                        index(column, ring + 1), surfaceAt(column, ring));
        addOutwards(faces);
    }

    // `rings` rings of `columns` points between the poles `first` and `last`. Triangle row
    // 0 fans from `first` to ring 0, row r joins ring r - 1 to ring r, row `rings` fans
    // from the last ring to `last`.
    void capped(int columns, int rings, P3 first, P3 last, const PointAt& at, const SurfaceAt& surfaceAt)
    {
        const auto start = static_cast<std::uint32_t>(points_.size());
        points_.push_back(first);
        const std::uint32_t base = addRings(columns, rings, at);
        const auto end = static_cast<std::uint32_t>(points_.size());
        points_.push_back(last);
        auto index = [&](int column, int ring) {
            return base + static_cast<std::uint32_t>(ring * columns + column % columns);
        };
        std::vector<Face> faces;
        for (int column = 0; column < columns; ++column) {
            faces.push_back({start, index(column + 1, 0), index(column, 0), surfaceAt(column, 0)});
            for (int ring = 0; ring + 1 < rings; ++ring)
                addQuad(faces, index(column, ring), index(column + 1, ring), index(column + 1, ring + 1),
                        index(column, ring + 1), surfaceAt(column, ring + 1));
            faces.push_back({index(column, rings - 1), index(column + 1, rings - 1), end, surfaceAt(column, rings)});
        }
        addOutwards(faces);
    }

    // The object, with a "TXUV" map projected along z over the square around its bounds.
    ObjectWriter finish() const
    {
        ObjectWriter writer;
        for (const SurfaceSpec& s : surfaces_)
            writer.addSurface(s.name, s.red, s.green, s.blue);
        P3 low = points_.front(), high = points_.front();
        for (const P3& p : points_) {
            writer.addPoint(p.x, p.y, p.z);
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
        for (const Face& face : faces_)
            writer.addPolygon({face.a, face.b, face.c}, face.surface);
        const float size = std::max(high.x - low.x, high.y - low.y);
        const P3 centre = (low + high) * 0.5f;
        std::vector<ObjectWriter::MapEntry> uv;
        for (std::size_t i = 0; i < points_.size(); ++i)
            uv.push_back({static_cast<std::uint32_t>(i), -1,
                          {(points_[i].x - centre.x) / size + 0.5f, (points_[i].y - centre.y) / size + 0.5f}});
        writer.addVertexMap("TXUV", "Planar", 2, uv);
        return writer;
    }

private:
    struct Face {
        std::uint32_t a, b, c;
        int surface;
    };
    struct SurfaceSpec {
        std::string name;
        float red, green, blue;
    };

    std::uint32_t addRings(int columns, int rings, const PointAt& at)
    {
        const auto base = static_cast<std::uint32_t>(points_.size());
        for (int ring = 0; ring < rings; ++ring)
            for (int column = 0; column < columns; ++column)
                points_.push_back(at(column, ring));
        return base;
    }

    static void addQuad(std::vector<Face>& faces, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                        int surface)
    {
        faces.push_back({a, b, c, surface});
        faces.push_back({a, c, d, surface});
    }

    // Every face of one closed piece, all turned over when the piece encloses a negative
    // volume (its faces wound inwards).
    void addOutwards(std::vector<Face>& faces)
    {
        double volume = 0;
        for (const Face& f : faces) {
            const P3 a = points_[f.a], n = cross(points_[f.b] - a, points_[f.c] - a);
            volume += static_cast<double>(a.x * n.x + a.y * n.y + a.z * n.z);
        }
        for (Face& f : faces) {
            if (volume < 0)
                std::swap(f.b, f.c);
            faces_.push_back(f);
        }
    }

    std::vector<SurfaceSpec> surfaces_;
    std::vector<P3> points_;
    std::vector<Face> faces_;
};

}  // namespace

ObjectWriter torusKnotObject()
{
    // The (2, 3) torus knot (a trefoil) around the z axis, so that it shows its three
    // loops to a camera looking along z. Its strands stay 0.76 apart, clear of the tube.
    constexpr float R = 0.85f, r = 0.38f, tubeRadius = 0.19f;
    constexpr int kAlong = 180, kAround = 12, kBand = 15;
    auto centre = [&](float t) {
        const float ring = R + r * std::cos(3 * t);
        return P3{ring * std::cos(2 * t), ring * std::sin(2 * t), -r * std::sin(3 * t)};
    };
    ShapeBuilder shape;
    const int colours[3] = {shape.surface("KnotCoral", 1.0f, 0.42f, 0.35f),
                            shape.surface("KnotSun", 1.0f, 0.8f, 0.28f),
                            shape.surface("KnotTeal", 0.18f, 0.68f, 0.7f)};
    shape.tube(
        kAround, kAlong,
        [&](int column, int ring) {
            const float t = 2 * kPi * fraction(ring, kAlong);
            const P3 tangent = unit(centre(t + 0.001f) - centre(t - 0.001f));
            // The knot always runs round the z axis, so its tangent is never along z.
            const P3 normal = unit(cross(tangent, {0, 0, 1}));
            const P3 binormal = cross(normal, tangent);
            const float phi = 2 * kPi * fraction(column, kAround);
            return centre(t) + (normal * std::cos(phi) + binormal * std::sin(phi)) * tubeRadius;
        },
        [&](int, int ring) { return colours[(ring / kBand) % 3]; });
    return shape.finish();
}

namespace {

// The distance from the centre to the outline of a star with straight edges from points
// at `outer` to notches at `inner`, one point at angle 0, along the ray at `theta`.
float straightStar(float theta, float outer, float inner)
{
    const float step = kPi / 5;   // from a point to the next notch
    float a = std::fmod(theta, 2 * step);
    if (a < 0)
        a += 2 * step;
    if (a > step)
        a = 2 * step - a;
    // The ray (cos a, sin a) meets the edge from (outer, 0) to the notch.
    const P3 tip{outer, 0, 0}, notch{inner * std::cos(step), inner * std::sin(step), 0};
    const P3 edge = notch - tip;
    return (tip.x * edge.y - tip.y * edge.x) / (std::cos(a) * edge.y - std::sin(a) * edge.x);
}

}  // namespace

ObjectWriter starObject()
{
    // A pillow in the outline of a five-pointed star, one point up, its front towards -z.
    // The outline is a straight-edged star averaged over a small arc, which rounds its
    // points and notches. Rings run from the front pole over the rim to the back pole
    // along a superellipse profile, which flattens the faces and rounds the rim.
    constexpr int kColumns = 120, kRings = 15, kSmoothing = 16;
    constexpr float kOuter = 1.15f, kInner = 0.55f, kHalfThickness = 0.32f, kProfile = 0.8f, kArc = 0.14f;
    ShapeBuilder shape;
    const int front = shape.surface("StarFront", 1.0f, 0.84f, 0.25f);
    const int rim = shape.surface("StarRim", 1.0f, 0.5f, 0.15f);
    const int back = shape.surface("StarBack", 0.85f, 0.3f, 0.55f);
    auto outline = [&](float theta) {
        float sum = 0;
        for (int i = -kSmoothing; i <= kSmoothing; ++i)
            sum += straightStar(theta - kPi / 2 + kArc * fraction(i, kSmoothing), kOuter, kInner);
        return sum / (2 * kSmoothing + 1);
    };
    shape.capped(
        kColumns, kRings, {0, 0, -kHalfThickness}, {0, 0, kHalfThickness},
        [&](int column, int ring) {
            const float theta = 2 * kPi * fraction(column, kColumns);
            const float phi = kPi * fraction(ring + 1, kRings + 1);
            const float out = outline(theta) * signedPower(std::sin(phi), kProfile);
            return P3{out * std::cos(theta), out * std::sin(theta),
                      -kHalfThickness * signedPower(std::cos(phi), kProfile)};
        },
        [&](int, int row) { return row <= 5 ? front : row <= 9 ? rim : back; });
    return shape.finish();
}

ObjectWriter spheresObject()
{
    // A core sphere and six smaller ones on the axes around it, just sinking into it;
    // opposite balls share a colour.
    ShapeBuilder shape;
    const int core = shape.surface("Core", 0.62f, 0.52f, 0.95f);
    const int colours[3] = {shape.surface("BallRed", 0.95f, 0.3f, 0.3f), shape.surface("BallGreen", 0.4f, 0.85f, 0.4f),
                            shape.surface("BallBlue", 0.3f, 0.6f, 1.0f)};
    auto sphere = [&](P3 centre, float radius, int columns, int rings, int surface) {
        shape.capped(
            columns, rings, centre + P3{0, radius, 0}, centre - P3{0, radius, 0},
            [&](int column, int ring) {
                const float theta = 2 * kPi * fraction(column, columns);
                const float phi = kPi * fraction(ring + 1, rings + 1);
                return centre + P3{std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta)} * radius;
            },
            [&](int, int) { return surface; });
    };
    sphere({0, 0, 0}, 0.7f, 32, 15, core);
    constexpr float kOrbit = 0.95f, kBall = 0.36f;
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {1.0f, -1.0f}) {
            P3 centre;
            (axis == 0 ? centre.x : axis == 1 ? centre.y : centre.z) = side * kOrbit;
            sphere(centre, kBall, 20, 9, colours[axis]);
        }
    return shape.finish();
}

}  // namespace mirva
