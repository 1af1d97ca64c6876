#pragma once
// Objects for the mesh tests, made with the object writer and read by the real loader.
#include <cstdint>
#include <string>
#include <vector>

#include "lightwave/lw_object.h"
#include "mesh/topology.h"
#include "tools/object_writer.h"

namespace mirva::test {

inline LWObject load(const ObjectWriter& writer, const std::string& name = "shape.lwo")
{
    const std::vector<std::uint8_t> bytes = writer.lwo2();
    return LWObject::Parse(name, bytes.data(), bytes.size());
}

inline LWObject withAdjacency(const ObjectWriter& writer, const std::string& name = "shape.lwo")
{
    LWObject object = load(writer, name);
    CalculateAdjacency(object);
    return object;
}

// Triangles given by their corners over the given points, wound as written.
inline ObjectWriter triangles(const std::vector<std::vector<float>>& points,
                              const std::vector<std::vector<std::uint32_t>>& corners)
{
    ObjectWriter writer;
    for (const auto& p : points)
        writer.addPoint(p[0], p[1], p[2]);
    for (const auto& c : corners)
        writer.addPolygon(c);
    return writer;
}

// The cube from -1 to 1 with each face in a surface of its own colour (0xAARRGGBB):
// faces -x, +x, -y, +y, -z, +z.
constexpr std::uint32_t kFaceColours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

inline LWObject colouredCube()
{
    ObjectWriter writer = ObjectWriter::box(-1, -1, -1, 1, 1, 1);
    for (int face = 0; face < 6; ++face) {
        const std::uint32_t c = kFaceColours[face];
        const int surface = writer.addSurface("Face" + std::to_string(face), static_cast<float>(c >> 16 & 0xFF) / 255,
                                              static_cast<float>(c >> 8 & 0xFF) / 255, static_cast<float>(c & 0xFF) / 255);
        writer.setPolygonSurface(face, surface);
    }
    return load(writer, "coloured.lwo");
}

}  // namespace mirva::test
