#include "lightwave/lw_object.h"

#include <cmath>
#include <cstdint>

#include "io/console.h"
#include "io/phile.h"
#include "lightwave/lwo_readers.h"

namespace mirva {

namespace {

// fmin and fmax for the bounding box without a library call per component; NaNs still
// go to the library. Of two equal values (-0 and +0) the first, the bound so far, is
// kept: fmin leaves that choice open, and the compiler may pass its arguments in either
// order.
float lower(float a, float b)
{
    return a != a || b != b ? std::fmin(a, b) : (b < a ? b : a);
}

float higher(float a, float b)
{
    return a != a || b != b ? std::fmax(a, b) : (b > a ? b : a);
}

// After reading: surfaces counted, corner references, unit normals and the tangent frame
// (0, 1, 0) x normal, normal x tangent.
void finish(LWObject& object, ChunkReader& in)
{
    if (object.vertices.empty())
        in.fail("the first layer has no points");
    object.radius = std::sqrt(object.radius);
    Vertex* vertices = object.vertices.data();
    for (std::size_t t = 0; t < object.triangles.size(); ++t) {
        const Triangle& triangle = object.triangles[t];
        if (triangle.surface < 0)
            Console::fatal("invalid LWO2 file: not every polygon has a surface");
        ++object.surfaces[static_cast<std::size_t>(triangle.surface)].triangles;
        for (int c = 0; c < 3; ++c)
            vertices[triangle.v[c]].corner = static_cast<std::int32_t>(4 * t) + c;
    }
    for (Vertex& vertex : object.vertices) {
        vertex.normal = normalised(vertex.normal);
        vertex.tangent = cross(Vector3{0, 1, 0}, vertex.normal);
        vertex.binormal = cross(vertex.normal, vertex.tangent);
    }
}

}  // namespace

void readPoints(ChunkReader& in, std::size_t count, LWObject& object)
{
    std::vector<Vertex>& vertices = object.vertices;
    vertices.clear();
    makeRoom(vertices, count);
    Vector3 low{kNoBounds, kNoBounds, kNoBounds};
    Vector3 high{-kNoBounds, -kNoBounds, -kNoBounds};
    float largestSquared = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const Vector3 p = in.vec12();
        vertices.emplace_back().position = p;
        low = {lower(low.x, p.x), lower(low.y, p.y), lower(low.z, p.z)};
        high = {higher(high.x, p.x), higher(high.y, p.y), higher(high.z, p.z)};
        largestSquared = higher(largestSquared, dot(p, p));
    }
    object.boundsMin = low;
    object.boundsMax = high;
    object.radius = largestSquared;
}

int addPolygon(LWObject& object, std::span<const std::uint32_t> points, std::int32_t surface)
{
    const std::size_t n = points.size();
    if (n < 3)
        return 0;
    Vertex* vertices = object.vertices.data();
    const Vector3 p0 = vertices[points[0]].position;
    const Vector3 normal = normalised(cross(vertices[points[1]].position - p0, vertices[points[n - 1]].position - p0));
    for (std::size_t k = 1; k + 1 < n; ++k) {
        const Vector3 edge1 = vertices[points[k]].position - p0;
        const Vector3 edge2 = vertices[points[k + 1]].position - p0;
        Triangle& triangle = object.triangles.emplace_back();
        triangle.normal = normal;
        triangle.surface = surface;
        triangle.v[0] = static_cast<std::int32_t>(points[0]);
        triangle.v[1] = static_cast<std::int32_t>(points[k]);
        triangle.v[2] = static_cast<std::int32_t>(points[k + 1]);
        triangle.area = 0.5f * length(cross(edge1, edge2));
    }
    for (std::uint32_t p : points)
        vertices[p].normal += normal;
    return static_cast<int>(n - 2);
}

std::uint32_t colourFromFloats(const Vector3& rgb)
{
    auto byte = [](float c) -> std::uint32_t {
        const float v = c * 255.0f;
        if (!(v > 0.0f))
            return 0;
        return v >= 255.0f ? 255u : static_cast<std::uint32_t>(std::lround(v));
    };
    return 0xFF000000u | byte(rgb.x) << 16 | byte(rgb.y) << 8 | byte(rgb.z);
}

LWObject LWObject::Load(const std::string& fileName)
{
    Console::print("loading %s\n", fileName.c_str());
    const PhileBlock bytes = Phile::load(fileName);
    return Parse(fileName, bytes.data(), bytes.size());
}

LWObject LWObject::Parse(const std::string& fileName, const std::uint8_t* data, std::size_t size)
{
    ChunkReader in(data, size, fileName);
    if (size >= 4 && in.id4() != makeId("FORM"))
        Console::fatal("not a valid IFF file");
    if (size < 12)
        in.fail("the file ends inside the FORM header (" + std::to_string(size) + " bytes)");
    const std::uint32_t formSize = in.u4();
    const std::uint32_t type = in.id4();
    if (type != makeId("LWO2") && type != makeId("LWOB"))
        Console::fatal("not a LWO file");
    in.setForm(idText(type));
    if (formSize > size - 8)
        in.fail("FORM of " + std::to_string(formSize) + " bytes runs past the end of the file (" +
                std::to_string(size) + " bytes)");
    const std::size_t formEnd = 8 + static_cast<std::size_t>(formSize);

    LWObject object;
    object.name = fileName;
    if (type == makeId("LWO2"))
        readLwo2(in, formEnd, object);
    else
        readLwob(in, formEnd, object);
    finish(object, in);
    Console::print("polys %d vertices %d surfaces %d\n", static_cast<int>(object.triangles.size()),
                   static_cast<int>(object.vertices.size()), static_cast<int>(object.surfaces.size()));
    return object;
}

}  // namespace mirva
