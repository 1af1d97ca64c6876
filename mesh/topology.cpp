#include "mesh/topology.h"

#include <algorithm>

#include "io/console.h"

namespace mirva {

// Every edge use (triangle t, edge k) is ordered by its vertex pair and then by 3t + k,
// so the uses of one edge come in the order a walk over the triangles meets them: the
// first makes the edge, the second links the two triangles, any further one is counted.
// The order comes from buckets by the lower vertex, each sorted by the higher one (a
// vertex has few edges), which keeps the table's build linear in the mesh size.
void CalculateAdjacency(LWObject& object)
{
    Console::print("calculating polygon adjacency\n");
    object.edges.clear();
    object.nonManifold = 0;
    const std::size_t triangleCount = object.triangles.size();

    struct Use {
        std::int32_t high;
        std::uint32_t index;   // 3t + k
    };
    std::int32_t lowest = 0;
    for (Triangle& triangle : object.triangles)
        for (int k = 0; k < 3; ++k) {
            triangle.neighbour[k] = -1;
            triangle.neighbourEdge[k] = 0;
            lowest = std::max(lowest, triangle.v[k]);
        }
    std::vector<std::uint32_t> bucket(static_cast<std::size_t>(lowest) + 2, 0);
    for (const Triangle& triangle : object.triangles)
        for (int k = 0; k < 3; ++k)
            ++bucket[static_cast<std::size_t>(std::min(triangle.v[k], triangle.v[(k + 1) % 3])) + 1];
    for (std::size_t i = 1; i < bucket.size(); ++i)
        bucket[i] += bucket[i - 1];
    std::vector<Use> uses(3 * triangleCount);
    std::vector<std::uint32_t> fill(bucket.begin(), bucket.end() - 1);
    for (std::size_t t = 0; t < triangleCount; ++t)
        for (int k = 0; k < 3; ++k) {
            const std::int32_t p = object.triangles[t].v[k], q = object.triangles[t].v[(k + 1) % 3];
            uses[fill[static_cast<std::size_t>(std::min(p, q))]++] = {std::max(p, q), static_cast<std::uint32_t>(3 * t + k)};
        }

    int interior = 0;
    for (std::size_t low = 0; low + 1 < bucket.size(); ++low) {
        const auto begin = uses.begin() + bucket[low], end = uses.begin() + bucket[low + 1];
        std::stable_sort(begin, end, [](const Use& a, const Use& b) { return a.high < b.high; });
        for (auto group = begin; group != end;) {
            auto next = group + 1;
            while (next != end && next->high == group->high)
                ++next;
            Edge edge;
            edge.low = static_cast<std::int32_t>(low);
            edge.high = group->high;
            const std::int32_t u = static_cast<std::int32_t>(group->index / 3);
            const int j = static_cast<int>(group->index % 3);
            edge.first = u;
            if (next - group >= 2) {
                const std::int32_t t = static_cast<std::int32_t>(group[1].index / 3);
                const int k = static_cast<int>(group[1].index % 3);
                edge.second = t;
                Triangle& first = object.triangles[static_cast<std::size_t>(u)];
                Triangle& second = object.triangles[static_cast<std::size_t>(t)];
                second.neighbour[k] = u;
                second.neighbourEdge[k] = static_cast<std::uint8_t>(j);
                first.neighbour[j] = t;
                first.neighbourEdge[j] = static_cast<std::uint8_t>(k);
                object.nonManifold += static_cast<std::int32_t>(next - group - 2);
                ++interior;
            }
            object.edges.push_back(edge);
            group = next;
        }
    }
    const int edgeCount = static_cast<int>(object.edges.size());
    Console::print("edges %d interior edges %d boundary edges %d\n", edgeCount, interior, edgeCount - interior);
    Console::print("edges shared by more than 2 triangles: %d\n", object.nonManifold);
}

void requireManifold(const LWObject& object, const char* what)
{
    if (object.nonManifold != 0)
        Console::error("%s: '%s' contains %d edges which are shared by more than 2 polygons", what,
                       object.name.c_str(), object.nonManifold);
}

Ring Neighbourhood(const LWObject& object, std::int32_t vertex)
{
    Ring ring;
    if (object.vertices[static_cast<std::size_t>(vertex)].corner == -1)
        return ring;
    requireManifold(object, "can't traverse neighbourhood");
    walkRing(object, vertex, ring);
    return ring;
}

// Forward: from the vertex's corner c of triangle t, the next neighbour is corner c + 1;
// across edge c the neighbour triangle holds the vertex at corner (j + 1) mod 3, where j
// is the edge's number there. Backward: the previous neighbour is corner c + 2 and the
// vertex sits at corner j of the triangle across edge c + 2.
void walkRing(const LWObject& object, std::int32_t vertex, Ring& ring)
{
    ring.entries.clear();
    ring.triangles = 0;
    ring.open = false;
    ring.firstBoundary = ring.lastBoundary = -1;
    const std::int32_t corner = object.vertices[static_cast<std::size_t>(vertex)].corner;
    if (corner < 0)
        return;
    const auto& triangles = object.triangles;
    const std::int32_t start = corner / 4;
    const int startCorner = corner % 4;
    // No ring can hold more triangles than the mesh; the bound keeps a walk over a
    // damaged mesh finite.
    const int limit = static_cast<int>(triangles.size());

    std::int32_t t = start;
    int c = startCorner;
    for (std::int32_t position = 0;; ++position) {
        const Triangle& triangle = triangles[static_cast<std::size_t>(t)];
        ++ring.triangles;
        const std::int32_t next = triangle.v[(c + 1) % 3];
        ring.entries.push_back({next, position});
        const std::int32_t across = triangle.neighbour[c];
        const int j = triangle.neighbourEdge[c];
        const bool onward = across >= 0 && triangles[static_cast<std::size_t>(across)].v[(j + 1) % 3] == vertex;
        if (onward && across == start)
            return;
        if (!onward || ring.triangles >= limit) {
            ring.open = true;
            ring.lastBoundary = next;
            break;
        }
        t = across;
        c = (j + 1) % 3;
    }

    t = start;
    c = (startCorner + 2) % 3;
    for (std::int32_t position = -1;; --position) {
        const Triangle& triangle = triangles[static_cast<std::size_t>(t)];
        ++ring.triangles;
        const std::int32_t previous = triangle.v[c];
        ring.entries.push_back({previous, position});
        const std::int32_t across = triangle.neighbour[c];
        const int j = triangle.neighbourEdge[c];
        if (across < 0 || triangles[static_cast<std::size_t>(across)].v[j] != vertex || ring.triangles >= 2 * limit) {
            ring.firstBoundary = previous;
            return;
        }
        t = across;
        c = (j + 2) % 3;
    }
}

}  // namespace mirva
