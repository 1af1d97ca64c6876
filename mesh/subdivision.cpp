#include "mesh/subdivision.h"

#include <algorithm>

#include "io/console.h"
#include "mesh/topology.h"

namespace mirva {

namespace {

// new += w * old, over every attribute a vertex carries.
void addWeighted(Vertex& to, const Vertex& from, float w)
{
    to.position += from.position * w;
    to.normal += from.normal * w;
    to.tangent += from.tangent * w;
    to.binormal += from.binormal * w;
    to.k1 += from.k1 * w;
    to.k2 += from.k2 * w;
    to.u += from.u * w;
    to.v += from.v * w;
    for (int i = 0; i < 4; ++i)
        to.colour[i] += from.colour[i] * w;
}

Vertex blank()
{
    Vertex v;
    v.corner = -1;
    return v;
}

// The corner of `triangle` that is neither p nor q.
std::int32_t opposite(const Triangle& triangle, std::int32_t p, std::int32_t q)
{
    for (std::int32_t corner : triangle.v)
        if (corner != p && corner != q)
            return corner;
    return triangle.v[0];
}

std::size_t edgeIndex(const std::vector<Edge>& edges, std::int32_t p, std::int32_t q)
{
    const Edge key{std::min(p, q), std::max(p, q)};
    const auto found = std::lower_bound(edges.begin(), edges.end(), key, [](const Edge& a, const Edge& b) {
        return a.low != b.low ? a.low < b.low : a.high < b.high;
    });
    return static_cast<std::size_t>(found - edges.begin());
}

void step(LWObject& object)
{
    const std::vector<Vertex>& old = object.vertices;
    const std::size_t oldCount = old.size();
    std::vector<Vertex> vertices(oldCount + object.edges.size(), blank());

    // Edge vertices: 3/8 of each end and 1/8 of each opposite corner; half of each end
    // on a boundary.
    for (std::size_t e = 0; e < object.edges.size(); ++e) {
        const Edge& edge = object.edges[e];
        Vertex& vertex = vertices[oldCount + e];
        const Vertex& p = old[static_cast<std::size_t>(edge.low)];
        const Vertex& q = old[static_cast<std::size_t>(edge.high)];
        if (edge.second < 0) {
            addWeighted(vertex, p, 0.5f);
            addWeighted(vertex, q, 0.5f);
            continue;
        }
        const std::int32_t r = opposite(object.triangles[static_cast<std::size_t>(edge.first)], edge.low, edge.high);
        const std::int32_t s = opposite(object.triangles[static_cast<std::size_t>(edge.second)], edge.low, edge.high);
        addWeighted(vertex, p, 0.375f);
        addWeighted(vertex, q, 0.375f);
        addWeighted(vertex, old[static_cast<std::size_t>(r)], 0.125f);
        addWeighted(vertex, old[static_cast<std::size_t>(s)], 0.125f);
    }

    // Old vertices: (1 - n beta) V + beta * (sum of the n neighbours), beta = 3 / (8n),
    // 3/16 for n = 3; on a boundary 3/4 V + 1/8 of each boundary neighbour.
    Ring ring;
    for (std::size_t i = 0; i < oldCount; ++i) {
        walkRing(object, static_cast<std::int32_t>(i), ring);
        Vertex& vertex = vertices[i];
        if (ring.entries.empty()) {
            vertex = old[i];
            vertex.corner = -1;
            continue;
        }
        if (ring.open) {
            addWeighted(vertex, old[i], 0.75f);
            addWeighted(vertex, old[static_cast<std::size_t>(ring.firstBoundary)], 0.125f);
            addWeighted(vertex, old[static_cast<std::size_t>(ring.lastBoundary)], 0.125f);
            continue;
        }
        const float n = static_cast<float>(ring.entries.size());
        const float beta = ring.entries.size() == 3 ? 0.1875f : 3.0f / (8.0f * n);
        addWeighted(vertex, old[i], 1.0f - n * beta);
        for (const RingEntry& entry : ring.entries)
            addWeighted(vertex, old[static_cast<std::size_t>(entry.vertex)], beta);
    }
    for (Vertex& vertex : vertices) {
        vertex.normal = normalised(vertex.normal);
        vertex.tangent = normalised(vertex.tangent);
        vertex.binormal = normalised(vertex.binormal);
    }

    // Each triangle becomes its three corner triangles and the middle one, wound as the
    // parent, children in that order.
    std::vector<Triangle> triangles;
    triangles.reserve(4 * object.triangles.size());
    for (const Triangle& parent : object.triangles) {
        std::int32_t e[3];
        for (int k = 0; k < 3; ++k)
            e[k] = static_cast<std::int32_t>(oldCount +
                                             edgeIndex(object.edges, parent.v[k], parent.v[(k + 1) % 3]));
        const std::int32_t a = parent.v[0], b = parent.v[1], c = parent.v[2];
        const std::int32_t children[4][3] = {{a, e[0], e[2]}, {e[0], b, e[1]}, {e[2], e[1], c}, {e[0], e[1], e[2]}};
        for (const auto& corners : children) {
            Triangle child;
            child.surface = parent.surface;
            std::copy(std::begin(corners), std::end(corners), child.v);
            const Vector3& p0 = vertices[static_cast<std::size_t>(corners[0])].position;
            const Vector3 n = cross(vertices[static_cast<std::size_t>(corners[1])].position - p0,
                                    vertices[static_cast<std::size_t>(corners[2])].position - p0);
            child.normal = normalised(n);
            child.area = 0.5f * length(n);
            triangles.push_back(child);
        }
    }
    for (std::size_t t = 0; t < triangles.size(); ++t)
        for (int c = 0; c < 3; ++c)
            vertices[static_cast<std::size_t>(triangles[t].v[c])].corner = static_cast<std::int32_t>(4 * t) + c;

    object.vertices = std::move(vertices);
    object.triangles = std::move(triangles);
    for (ObjectSurface& surface : object.surfaces)
        surface.triangles *= 4;
    CalculateAdjacency(object);
}

}  // namespace

void Subdivide(LWObject& object, int steps)
{
    if (steps <= 0)
        return;
    if (object.edges.empty() && !object.triangles.empty())
        CalculateAdjacency(object);
    requireManifold(object, "can't subdivide");
    Console::print("subdivision before       v:%d t:%d e:%d\n", static_cast<int>(object.vertices.size()),
                   static_cast<int>(object.triangles.size()), static_cast<int>(object.edges.size()));
    for (int s = 1; s <= steps; ++s) {
        step(object);
        Console::print("subdivision after step %d v:%d t:%d e:%d\n", s, static_cast<int>(object.vertices.size()),
                       static_cast<int>(object.triangles.size()), static_cast<int>(object.edges.size()));
    }
}

}  // namespace mirva
