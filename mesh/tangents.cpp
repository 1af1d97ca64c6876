#include "mesh/tangents.h"

#include <algorithm>
#include <cmath>

#include "io/console.h"
#include "mesh/topology.h"

namespace mirva {

namespace {

// How far the directions beyond the current ring may turn the sum before the search stops.
constexpr double kTolerance = 1e-6;

// The neighbours of every vertex, found once: vertex i's are entries first[i] ..
// first[i + 1] - 1.
struct Neighbours {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> list;
    std::size_t most = 0;   // the largest number of neighbours of one vertex
};

Neighbours neighboursOf(const LWObject& object)
{
    Neighbours result;
    result.first.assign(object.vertices.size() + 1, 0);
    Ring ring;
    for (std::size_t i = 0; i < object.vertices.size(); ++i) {
        walkRing(object, static_cast<std::int32_t>(i), ring);
        for (const RingEntry& entry : ring.entries)
            result.list.push_back(entry.vertex);
        result.first[i + 1] = static_cast<std::int32_t>(result.list.size());
        result.most = std::max(result.most, ring.entries.size());
    }
    return result;
}

}  // namespace

void InterpolateTangents(LWObject& object, float sigma)
{
    Console::print("interpolating tangents\n");
    requireManifold(object, "can't traverse neighbourhood");
    const std::size_t count = object.vertices.size();
    const Neighbours neighbours = neighboursOf(object);

    // weights[d] = e^(c d^2), c = 1 / (-2 sigma^2), up to the first distance that weighs
    // nothing in float; beyond the table every weight is 0.
    const float c = 1.0f / (-2.0f * sigma * sigma);
    std::vector<float> weights = {1.0f};
    while (weights.size() <= count) {
        const float d = static_cast<float>(weights.size());
        const float w = std::exp(c * d * d);
        if (!(w > 0.0f))
            break;
        weights.push_back(w);
    }
    auto weight = [&](std::size_t d) { return d < weights.size() ? weights[d] : 0.0f; };
    // Every vertex of ring d + 1 adds at most most - 1 new vertices to ring d + 2.
    const double growth = static_cast<double>(neighbours.most > 1 ? neighbours.most - 1 : 1);

    // The reliable directions in one compact array (zero for the others), read again and
    // again by the searches.
    std::vector<Vector3> reliable(count);
    for (std::size_t i = 0; i < count; ++i)
        if (object.vertices[i].reliable)
            reliable[i] = object.vertices[i].tangent;

    std::vector<Vector3> directions(count);
    std::vector<std::uint32_t> seen(count, 0);
    std::vector<std::int32_t> layer, nextLayer;
    std::uint32_t stamp = 0;
    for (std::size_t v = 0; v < count; ++v) {
        const Vertex& source = object.vertices[v];
        if (source.corner == -1)
            continue;
        ++stamp;
        const Vector3& n = source.normal;
        Vector3 sum;
        std::size_t reached = 1;
        seen[v] = stamp;
        layer.assign(1, static_cast<std::int32_t>(v));
        for (std::size_t d = 0; !layer.empty() && weight(d) > 0.0f; ++d) {
            const float w = weight(d);
            for (std::int32_t index : layer) {
                const Vector3& t = reliable[static_cast<std::size_t>(index)];
                if (t == Vector3{})
                    continue;
                Vector3 projected = normalised(t - dot(t, n) * n);
                if (dot(projected, sum) < 0.0f)
                    projected = -projected;
                sum += w * projected;
            }
            nextLayer.clear();
            for (std::int32_t index : layer) {
                const std::size_t i = static_cast<std::size_t>(index);
                for (std::int32_t k = neighbours.first[i]; k < neighbours.first[i + 1]; ++k) {
                    const std::int32_t neighbour = neighbours.list[static_cast<std::size_t>(k)];
                    if (seen[static_cast<std::size_t>(neighbour)] != stamp) {
                        seen[static_cast<std::size_t>(neighbour)] = stamp;
                        nextLayer.push_back(neighbour);
                    }
                }
            }
            reached += nextLayer.size();
            layer.swap(nextLayer);
            // What all further rings could add, each vertex at most its weight times a unit
            // vector: bounded by the ring sizes' growth and by the vertices left.
            const double size = static_cast<double>(sum == Vector3{} ? 0.0f : length(sum));
            if (size > 0.0) {
                double bound = 0, ring = static_cast<double>(layer.size());
                for (std::size_t k = d + 1; k < weights.size() && ring > 0; ++k, ring *= growth) {
                    bound += static_cast<double>(weights[k]) * ring;
                    if (static_cast<double>(weights[k]) * ring < bound * 1e-3)
                        break;
                }
                bound = std::min(bound, static_cast<double>(weight(d + 1)) * static_cast<double>(count - reached + layer.size()));
                if (bound < kTolerance * size)
                    break;
            }
        }
        directions[v] = normalised(sum);
    }
    for (std::size_t v = 0; v < count; ++v) {
        Vertex& vertex = object.vertices[v];
        if (vertex.corner == -1)
            continue;
        vertex.tangent = directions[v];
        vertex.binormal = cross(vertex.normal, vertex.tangent);
    }
}

}  // namespace mirva
