// Mesh building: the engine primitives of a cube, vertices duplicated where surfaces
// meet, the edge line mesh and the silhouette edges filled into it. The player's object
// tests draw these meshes: Object, lit and unlit, and Cartoon with its outline.
#include <algorithm>
#include <array>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "mesh/mesh_builder.h"
#include "tests/engine/engine_fixture.h"
#include "tests/mesh/shapes.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

// Primitives keep buffers on the display device.
using MeshBuilding = EngineTest;

using Point = std::array<float, 3>;

Point positionOf(const Primitive::Vertex& v)
{
    return {v.x, v.y, v.z};
}

// The edge lines of a mesh as pairs of end points, each pair ordered.
std::vector<std::pair<Point, Point>> linesOf(const Primitive& lines)
{
    std::vector<std::pair<Point, Point>> result;
    for (int i = 0; i + 1 < lines.vertexCount(); i += 2)
        result.push_back(std::minmax(positionOf(lines.vertex(i)), positionOf(lines.vertex(i + 1))));
    return result;
}

int differingCoordinates(const std::pair<Point, Point>& line)
{
    const auto& [a, b] = line;
    return (a[0] != b[0]) + (a[1] != b[1]) + (a[2] != b[2]);
}

// The cube from -1 to 1, two of its points with texture coordinates.
LWObject cube()
{
    ObjectWriter writer = ObjectWriter::box(-1, -1, -1, 1, 1, 1);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.25f, 0.5f}}, {6, -1, {1.0f, 0.75f}}});
    return withAdjacency(writer, "cube.lwo");
}

// The same cube with each face in a surface of its own colour.
LWObject colouredCube()
{
    ObjectWriter writer = ObjectWriter::box(-1, -1, -1, 1, 1, 1);
    for (int face = 0; face < 6; ++face) {
        const float red = static_cast<float>(face) / 5;
        writer.setPolygonSurface(face, writer.addSurface("Face" + std::to_string(face), red, 1, 0));
    }
    return load(writer, "coloured.lwo");
}

// Every triangle's corners, read through the mesh's indices, are its object vertices
// (place, normal, texture coordinate) in the colour of the triangle's surface. In a plain
// mesh the indices are the object's own vertex numbers.
void expectCorners(const LWObject& object, const Primitive& mesh, bool plain)
{
    ASSERT_EQ(mesh.indexCapacity(), static_cast<int>(3 * object.triangles.size()));
    for (std::size_t t = 0; t < object.triangles.size(); ++t)
        for (int k = 0; k < 3; ++k) {
            const Triangle& triangle = object.triangles[t];
            const WORD index = mesh.index(3 * static_cast<int>(t) + k);
            EXPECT_TRUE(!plain || index == triangle.v[k]) << "triangle " << t << " corner " << k;
            const Primitive::Vertex& v = mesh.vertex(index);
            const mirva::Vertex& source = object.vertices[static_cast<std::size_t>(triangle.v[k])];
            const D3DCOLOR colour = object.surfaces[static_cast<std::size_t>(triangle.surface)].colour;
            EXPECT_EQ(std::tuple(v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v, v.diffuse, v.specular),
                      std::tuple(source.position.x, source.position.y, source.position.z, source.normal.x,
                                 source.normal.y, source.normal.z, source.u, source.v, colour, colour))
                << "triangle " << t << " corner " << k;
        }
}

TEST_F(MeshBuilding, CubeMeshesHaveAVertexPerCornerOrOnePerCornerAndSurface)
{
    const LWObject object = cube();
    const auto mesh = createMesh(object);
    EXPECT_EQ((std::vector<int>{mesh->vertexCapacity(), mesh->vertexCount(), mesh->indexCount()}),
              (std::vector<int>{8, 8, 36}));
    expectCorners(object, *mesh, true);
    std::unique_ptr<Primitive> duplicated;
    EXPECT_EQ(consoleOutput([&] { duplicated = createDuplicateVerticesMesh(object); }),
              "createDuplicateVerticesMesh\nremapped vertices: 0\n");
    expectCorners(object, *duplicated, true);

    // A vertex is duplicated for every surface beside its own: each corner meets three
    // faces of different surfaces, its own and two copies. With every triangle's corners
    // in its own colour, 24 vertices leave room for no other spread of the copies.
    const LWObject coloured = colouredCube();
    EXPECT_EQ(consoleOutput([&] { duplicated = createDuplicateVerticesMesh(coloured); }),
              "createDuplicateVerticesMesh\nremapped vertices: 16\n");
    EXPECT_EQ(duplicated->vertexCapacity(), 24);
    expectCorners(coloured, *duplicated, false);
}

TEST_F(MeshBuilding, MeshesBeyondSixteenBitIndicesAreRefusedAndOnesWithoutTrianglesDrawNothing)
{
    LWObject big{.name = "big.lwo", .vertices = std::vector<mirva::Vertex>(65537),
                 .triangles = {{.surface = 0, .v = {0, 1, 65536}}}, .surfaces = std::vector<ObjectSurface>(2)};
    EXPECT_FATAL(createMesh(big), "createMesh: 'big.lwo' needs 65537 vertices, more than 16-bit indices reach (65536)");

    // 65535 vertices and one duplicate still fit; two don't.
    big.vertices.resize(65535);
    for (const auto& [v, corner] : {std::pair{0, 0}, {1, 1}, {2, 2}, {3, 5}, {4, 6}})
        big.vertices[static_cast<std::size_t>(v)].corner = corner;
    big.triangles[0].v[2] = 2;
    big.triangles.push_back({.surface = 1, .v = {0, 1, 3}});   // copies of 0 and 1
    EXPECT_FATAL(createDuplicateVerticesMesh(big),
                 "createDuplicateVerticesMesh: 'big.lwo' needs 65537 vertices, more than 16-bit indices reach (65536)");
    big.triangles[1] = {.surface = 1, .v = {0, 3, 4}};   // a copy of 0 only
    EXPECT_EQ(createDuplicateVerticesMesh(big)->vertexCapacity(), 65536);

    const auto mesh = createMesh(LWObject{.vertices = std::vector<mirva::Vertex>(3)});
    EXPECT_TRUE(mesh->indexCapacity() == 0 && mesh->vertexCount() == 0);
}

TEST_F(MeshBuilding, EdgeLinesAndSilhouettes)
{
    const LWObject object = cube();
    const auto lines = createEdgeLineMesh(object);
    // A list (not a strip) of 18 lines: the 12 edges of the cube and a diagonal across each face.
    ASSERT_EQ(std::pair(lines->kind(), lines->vertexCapacity()), std::pair(int{Primitive::LINELIST}, 36));
    const auto all = linesOf(*lines);
    EXPECT_EQ(std::set(all.begin(), all.end()).size(), 18u);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 1; }), 12);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 2; }), 6);
    // Straight in front of a face, its four sides are the outline. Towards the corner
    // (1, 1, -1): three faces turned to the eye, the outline a hexagon of the six cube
    // edges that touch neither the near nor the far corner.
    EXPECT_EQ(fillSilhouetteEdges(object, {0, 0, -4}, *lines), 4);
    EXPECT_EQ(fillSilhouetteEdges(object, {10, 10, -10}, *lines), 6);
    EXPECT_EQ(lines->vertexCount(), 12);
    const Point nearest{1, 1, -1}, farthest{-1, -1, 1};
    for (const auto& [a, b] : linesOf(*lines))
        EXPECT_TRUE(differingCoordinates({a, b}) == 1 && a != nearest && b != nearest && a != farthest &&
                    b != farthest);

    // Border edges always outline; triangles seen edge-on count as turned away.
    // A square of two triangles in the plane y = 0; its diagonal is the only interior edge.
    const LWObject square = withAdjacency(ObjectWriter::grid(1, 1));
    const auto squareLines = createEdgeLineMesh(square);
    EXPECT_EQ(fillSilhouetteEdges(square, {0.5f, -3, 0.5f}, *squareLines), 4);
    EXPECT_EQ(fillSilhouetteEdges(square, {0.5f, 3, 0.5f}, *squareLines), 4);
    // Seen edge-on, from within its plane, the diagonal joins the outline.
    EXPECT_EQ(fillSilhouetteEdges(square, {5, 0, -2}, *squareLines), 5);
    EXPECT_FATAL(fillSilhouetteEdges(object, {0, 0, -10}, *squareLines),
                 "fillSilhouetteEdges: the line mesh holds 10 vertices, 'cube.lwo' has 18 edges");
}

}  // namespace
}  // namespace mirva::test
