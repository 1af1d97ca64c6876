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

}  // namespace mirva::test
