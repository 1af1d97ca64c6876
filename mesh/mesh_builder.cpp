#include "mesh/mesh_builder.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "io/console.h"

namespace mirva {

namespace {

// 16-bit indices reach this many vertices.
constexpr std::size_t kIndexedVertexLimit = 65536;

// The surface of the triangle a vertex's corner reference names; -1 for an unused vertex.
std::int32_t ownSurface(const LWObject& object, const Vertex& vertex)
{
    if (vertex.corner < 0)
        return -1;
    return object.triangles[static_cast<std::size_t>(vertex.corner / 4)].surface;
}

D3DCOLOR surfaceColour(const LWObject& object, std::int32_t surface)
{
    if (surface < 0)
        return Primitive::Vertex{}.diffuse;
    return object.surfaces[static_cast<std::size_t>(surface)].colour;
}

Primitive::Vertex engineVertex(const Vertex& source, D3DCOLOR colour)
{
    return {.x = source.position.x,
            .y = source.position.y,
            .z = source.position.z,
            .nx = source.normal.x,
            .ny = source.normal.y,
            .nz = source.normal.z,
            .diffuse = colour,
            .specular = colour,
            .u = source.u,
            .v = source.v};
}

void requireIndexable(const char* what, const LWObject& object, std::size_t vertexCount)
{
    if (vertexCount > kIndexedVertexLimit)
        Console::error("%s: '%s' needs %d vertices, more than 16-bit indices reach (65536)", what,
                       object.name.c_str(), static_cast<int>(vertexCount));
}

// A triangle list of the given vertices, indexed by `corners` (three per triangle of the
// object, in order). An object without triangles gets a mesh that draws nothing.
std::unique_ptr<Primitive> triangleList(const std::vector<Primitive::Vertex>& vertices,
                                        const std::vector<std::uint32_t>& corners, bool dynamicVertices = false)
{
    auto mesh = std::make_unique<Primitive>(Primitive::TRIANGLELIST, static_cast<int>(corners.size()),
                                            static_cast<int>(vertices.size()), false, dynamicVertices);
    std::span<Primitive::Vertex> out = mesh->vertices();
    std::copy(vertices.begin(), vertices.end(), out.begin());
    std::span<WORD> indices = mesh->indices();
    for (std::size_t i = 0; i < corners.size(); ++i)
        indices[i] = static_cast<WORD>(corners[i]);
    if (corners.empty())
        mesh->setVertexCount(0);
    return mesh;
}

// Line `line` of a line list: its two vertices' positions, the rest left as it is.
void writeLine(std::span<Primitive::Vertex> out, std::size_t line, const Vector3& a, const Vector3& b)
{
    Primitive::Vertex& first = out[2 * line];
    Primitive::Vertex& second = out[2 * line + 1];
    first.x = a.x;
    first.y = a.y;
    first.z = a.z;
    second.x = b.x;
    second.y = b.y;
    second.z = b.z;
}

const Vector3& positionOf(const LWObject& object, std::int32_t vertex)
{
    return object.vertices[static_cast<std::size_t>(vertex)].position;
}

}  // namespace

std::unique_ptr<Primitive> createMesh(const LWObject& object, bool dynamicVertices)
{
    Console::print("createMesh\n");
    if (!object.triangles.empty())
        requireIndexable("createMesh", object, object.vertices.size());
    std::vector<Primitive::Vertex> vertices;
    vertices.reserve(object.vertices.size());
    for (const Vertex& vertex : object.vertices)
        vertices.push_back(engineVertex(vertex, surfaceColour(object, ownSurface(object, vertex))));
    std::vector<std::uint32_t> corners;
    corners.reserve(3 * object.triangles.size());
    for (const Triangle& triangle : object.triangles)
        for (std::int32_t v : triangle.v)
            corners.push_back(static_cast<std::uint32_t>(v));
    return triangleList(vertices, corners, dynamicVertices);
}

std::unique_ptr<Primitive> createDuplicateVerticesMesh(const LWObject& object)
{
    Console::print("createDuplicateVerticesMesh\n");
    std::vector<Primitive::Vertex> vertices;
    vertices.reserve(object.vertices.size());
    for (const Vertex& vertex : object.vertices)
        vertices.push_back(engineVertex(vertex, surfaceColour(object, ownSurface(object, vertex))));

    // Duplicates in the order the triangles' corners first need them.
    std::map<std::pair<std::int32_t, std::int32_t>, std::uint32_t> duplicates;
    std::vector<std::uint32_t> corners;
    corners.reserve(3 * object.triangles.size());
    for (const Triangle& triangle : object.triangles)
        for (std::int32_t v : triangle.v) {
            const Vertex& vertex = object.vertices[static_cast<std::size_t>(v)];
            if (triangle.surface == ownSurface(object, vertex)) {
                corners.push_back(static_cast<std::uint32_t>(v));
                continue;
            }
            const auto [found, made] =
                duplicates.try_emplace({v, triangle.surface}, static_cast<std::uint32_t>(vertices.size()));
            if (made)
                vertices.push_back(engineVertex(vertex, surfaceColour(object, triangle.surface)));
            corners.push_back(found->second);
        }
    if (!corners.empty())
        requireIndexable("createDuplicateVerticesMesh", object, vertices.size());
    Console::print("remapped vertices: %d\n", static_cast<int>(duplicates.size()));
    return triangleList(vertices, corners);
}

std::unique_ptr<Primitive> createEdgeLineMesh(const LWObject& object)
{
    const int vertexCount = static_cast<int>(2 * object.edges.size());
    auto lines = std::make_unique<Primitive>(Primitive::LINELIST, 0, vertexCount, false, true);
    std::span<Primitive::Vertex> out = lines->vertices();
    for (std::size_t e = 0; e < object.edges.size(); ++e)
        writeLine(out, e, positionOf(object, object.edges[e].low), positionOf(object, object.edges[e].high));
    return lines;
}

int fillSilhouetteEdges(const LWObject& object, const Vector3& eye, Primitive& lines)
{
    if (lines.vertexCapacity() < static_cast<int>(2 * object.edges.size()))
        Console::error("fillSilhouetteEdges: the line mesh holds %d vertices, '%s' has %d edges",
                       lines.vertexCapacity(), object.name.c_str(), static_cast<int>(object.edges.size()));
    std::span<Primitive::Vertex> out = lines.vertices();
    std::size_t count = 0;
    for (const Edge& edge : object.edges) {
        const Vector3& low = positionOf(object, edge.low);
        if (edge.second >= 0) {
            const Vector3 d = eye - low;
            const float first = dot(d, object.triangles[static_cast<std::size_t>(edge.first)].normal);
            const float second = dot(d, object.triangles[static_cast<std::size_t>(edge.second)].normal);
            if (first * second > 0.0f)
                continue;
        }
        writeLine(out, count++, low, positionOf(object, edge.high));
    }
    lines.setVertexCount(static_cast<int>(2 * count));
    return static_cast<int>(count);
}

}  // namespace mirva
