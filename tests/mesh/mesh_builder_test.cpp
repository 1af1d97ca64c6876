// Mesh building: the engine primitives made of a cube and of a subdivided sphere (counts,
// vertex contents, indices), vertices duplicated where surfaces meet, the edge line mesh
// and the silhouette edges filled into it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "mesh/mesh_builder.h"
#include "mesh/subdivision.h"
#include "mesh/topology.h"
#include "tests/engine/engine_fixture.h"
#include "tests/mesh/shapes.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using MeshBuilding = EngineTest;

using Point = std::array<float, 3>;

Point positionOf(const Primitive::Vertex& v)
{
    return {v.x, v.y, v.z};
}

LWObject cube()
{
    return load(ObjectWriter::box(-1, -1, -1, 1, 1, 1), "cube.lwo");
}

// A sphere of radius 1 (162 points, 320 triangles) with the texture map (x, y) of each
// point, subdivided once. The map's v axis points up, the texture's down: v = 1 - y.
LWObject subdividedSphere()
{
    ObjectWriter writer = ObjectWriter::geodesicSphere(1.0f, 2);
    const LWObject plain = load(writer);
    std::vector<ObjectWriter::MapEntry> uv;
    for (std::size_t i = 0; i < plain.vertices.size(); ++i)
        uv.push_back({static_cast<std::uint32_t>(i), -1, {plain.vertices[i].position.x, plain.vertices[i].position.y}});
    writer.addVertexMap("TXUV", "planar", 2, uv);
    LWObject sphere = load(writer, "sphere.lwo");
    CalculateAdjacency(sphere);
    Subdivide(sphere, 1);
    return sphere;
}

TEST_F(MeshBuilding, CubeMeshHasOneVertexPerCornerAndThreeIndicesPerTriangle)
{
    const LWObject object = cube();
    const auto mesh = createMesh(object);
    EXPECT_EQ(mesh->kind(), Primitive::TRIANGLELIST);
    ASSERT_EQ(mesh->vertexCapacity(), 8);
    ASSERT_EQ(mesh->indexCapacity(), 36);
    EXPECT_EQ(mesh->vertexCount(), 8);
    EXPECT_EQ(mesh->indexCount(), 36);

    // Every corner (+-1, +-1, +-1) once, its normal pointing out along the diagonal, in
    // the default surface's grey 200.
    std::set<Point> corners;
    const float diagonal = 1.0f / std::sqrt(3.0f);
    for (int i = 0; i < 8; ++i) {
        const Primitive::Vertex& v = mesh->vertex(i);
        corners.insert(positionOf(v));
        EXPECT_NEAR(v.nx, v.x * diagonal, 1e-5f);
        EXPECT_NEAR(v.ny, v.y * diagonal, 1e-5f);
        EXPECT_NEAR(v.nz, v.z * diagonal, 1e-5f);
        EXPECT_EQ(v.diffuse, 0xFFC8C8C8u);
        EXPECT_EQ(v.specular, 0xFFC8C8C8u);
    }
    EXPECT_EQ(corners.size(), 8u);
    for (const Point& p : corners)
        for (float c : p)
            EXPECT_EQ(std::fabs(c), 1.0f);

    // Each triangle lies in one face (one coordinate the same at its three corners), and
    // each of the six faces holds two triangles.
    std::map<std::pair<int, float>, int> perFace;
    for (int t = 0; t < 12; ++t) {
        const Point a = positionOf(mesh->vertex(mesh->index(3 * t)));
        const Point b = positionOf(mesh->vertex(mesh->index(3 * t + 1)));
        const Point c = positionOf(mesh->vertex(mesh->index(3 * t + 2)));
        int shared = 0;
        for (int axis = 0; axis < 3; ++axis)
            if (a[axis] == b[axis] && b[axis] == c[axis]) {
                ++perFace[{axis, a[axis]}];
                ++shared;
            }
        EXPECT_EQ(shared, 1) << "triangle " << t;
    }
    EXPECT_EQ(perFace.size(), 6u);
    for (const auto& [face, count] : perFace)
        EXPECT_EQ(count, 2);
}

TEST_F(MeshBuilding, SubdividedSphereKeepsItsShapeNormalsAndTextureCoordinates)
{
    const LWObject sphere = subdividedSphere();
    // One Loop step: 162 + 480 edge points, 4 x 320 triangles.
    ASSERT_EQ(sphere.vertices.size(), 642u);
    const auto mesh = createMesh(sphere);
    ASSERT_EQ(mesh->vertexCapacity(), 642);
    ASSERT_EQ(mesh->indexCapacity(), 3 * 1280);
    for (int i = 0; i < 642; ++i) {
        const Primitive::Vertex& v = mesh->vertex(i);
        const float r = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        // Loop smoothing pulls the points a little inside the sphere they started on.
        EXPECT_GT(r, 0.95f);
        EXPECT_LE(r, 1.0f + 1e-5f);
        EXPECT_GT((v.nx * v.x + v.ny * v.y + v.nz * v.z) / r, 0.999f) << "vertex " << i;
        // The same masks (weights adding up to 1) move the texture coordinates, so they
        // stay u = x, v = 1 - y.
        EXPECT_NEAR(v.u, v.x, 1e-5f);
        EXPECT_NEAR(v.v, 1.0f - v.y, 1e-5f);
    }
    // Every index names a vertex, and every vertex is used.
    std::set<WORD> used;
    for (int i = 0; i < mesh->indexCapacity(); ++i)
        used.insert(mesh->index(i));
    EXPECT_EQ(used.size(), 642u);
    EXPECT_EQ(*used.rbegin(), 641);
}

TEST_F(MeshBuilding, VerticesAreDuplicatedForEverySurfaceBesideTheirOwn)
{
    const LWObject object = colouredCube();
    std::unique_ptr<Primitive> mesh;
    const std::string log = consoleOutput([&] { mesh = createDuplicateVerticesMesh(object); });
    // Each corner meets three faces of different surfaces: its own and two copies.
    EXPECT_EQ(log, "createDuplicateVerticesMesh\nremapped vertices: 16\n");
    ASSERT_EQ(mesh->vertexCapacity(), 24);
    ASSERT_EQ(mesh->indexCapacity(), 36);

    std::map<Point, int> copies;
    for (int i = 0; i < 24; ++i)
        ++copies[positionOf(mesh->vertex(i))];
    EXPECT_EQ(copies.size(), 8u);
    for (const auto& [corner, count] : copies)
        EXPECT_EQ(count, 3);

    // Every triangle (two per face, in face order) shows its face's colour at its three
    // corners, at the corners' own places and with their own normals.
    for (int t = 0; t < 12; ++t)
        for (int k = 0; k < 3; ++k) {
            const Primitive::Vertex& v = mesh->vertex(mesh->index(3 * t + k));
            const mirva::Vertex& source = object.vertices[static_cast<std::size_t>(object.triangles[t].v[k])];
            EXPECT_EQ(v.diffuse, kFaceColours[t / 2]) << "triangle " << t;
            EXPECT_EQ(v.specular, kFaceColours[t / 2]);
            EXPECT_EQ(positionOf(v), (Point{source.position.x, source.position.y, source.position.z}));
            EXPECT_EQ(v.nx, source.normal.x);
            EXPECT_EQ(v.nz, source.normal.z);
        }
}

TEST_F(MeshBuilding, OneSurfaceNeedsNoDuplicatesAndGivesThePlainMesh)
{
    const LWObject sphere = subdividedSphere();
    const auto plain = createMesh(sphere);
    std::unique_ptr<Primitive> duplicated;
    EXPECT_EQ(consoleOutput([&] { duplicated = createDuplicateVerticesMesh(sphere); }),
              "createDuplicateVerticesMesh\nremapped vertices: 0\n");
    ASSERT_EQ(duplicated->vertexCapacity(), plain->vertexCapacity());
    ASSERT_EQ(duplicated->indexCapacity(), plain->indexCapacity());
    for (int i = 0; i < plain->vertexCapacity(); ++i)
        EXPECT_EQ(std::memcmp(&duplicated->vertex(i), &plain->vertex(i), sizeof(Primitive::Vertex)), 0);
    for (int i = 0; i < plain->indexCapacity(); ++i)
        EXPECT_EQ(duplicated->index(i), plain->index(i));
}

TEST_F(MeshBuilding, MeshesBeyondSixteenBitIndicesAreRefused)
{
    LWObject big;
    big.name = "big.lwo";
    big.vertices.resize(65537);
    big.surfaces.resize(2);
    Triangle triangle;
    triangle.surface = 0;
    triangle.v[0] = 0;
    triangle.v[1] = 1;
    triangle.v[2] = 65536;
    big.triangles.push_back(triangle);
    EXPECT_FATAL(createMesh(big), "createMesh: 'big.lwo' needs 65537 vertices, more than 16-bit indices reach (65536)");

    // 65535 vertices and one duplicate still fit; two don't.
    big.vertices.resize(65535);
    big.vertices[0].corner = 0;
    big.vertices[1].corner = 1;
    big.vertices[2].corner = 2;
    big.vertices[3].corner = 5;
    big.vertices[4].corner = 6;
    triangle.v[2] = 2;
    big.triangles[0] = triangle;
    triangle.surface = 1;
    triangle.v[2] = 3;
    big.triangles.push_back(triangle);   // (0, 1, 3): copies of 0 and 1
    EXPECT_FATAL(createDuplicateVerticesMesh(big),
                 "createDuplicateVerticesMesh: 'big.lwo' needs 65537 vertices, more than 16-bit indices reach (65536)");
    big.triangles[1].v[1] = 3;
    big.triangles[1].v[2] = 4;           // (0, 3, 4): a copy of 0 only
    EXPECT_EQ(createDuplicateVerticesMesh(big)->vertexCapacity(), 65536);
}

TEST_F(MeshBuilding, AnObjectWithoutTrianglesGivesAMeshThatDrawsNothing)
{
    LWObject points;
    points.vertices.resize(3);
    const auto mesh = createMesh(points);
    EXPECT_EQ(mesh->indexCapacity(), 0);
    EXPECT_EQ(mesh->vertexCount(), 0);
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
    int n = 0;
    for (int axis = 0; axis < 3; ++axis)
        n += line.first[axis] != line.second[axis];
    return n;
}

TEST_F(MeshBuilding, EdgeLineMeshHasALineForEveryEdge)
{
    LWObject object = cube();
    CalculateAdjacency(object);
    const auto lines = createEdgeLineMesh(object);
    EXPECT_EQ(lines->kind(), Primitive::LINELIST);
    EXPECT_EQ(lines->indexCapacity(), 0);
    // A closed triangulated cube: 12 triangles x 3 / 2 = 18 edges, the 12 edges of the
    // cube and a diagonal across each face.
    ASSERT_EQ(lines->vertexCapacity(), 36);
    const auto all = linesOf(*lines);
    EXPECT_EQ(std::set(all.begin(), all.end()).size(), 18u);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 1; }), 12);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 2; }), 6);

    const LWObject sphere = subdividedSphere();
    EXPECT_EQ(createEdgeLineMesh(sphere)->vertexCapacity(), 2 * 1920);
}

TEST_F(MeshBuilding, SilhouetteOfAClosedCubeSeparatesFacesTowardsAndAwayFromTheEye)
{
    LWObject object = cube();
    CalculateAdjacency(object);
    const auto lines = createEdgeLineMesh(object);

    // Straight in front of the -z face: only that face is towards the eye, and its four
    // sides are the outline.
    EXPECT_EQ(fillSilhouetteEdges(object, {0, 0, -10}, *lines), 4);
    EXPECT_EQ(lines->vertexCount(), 8);
    for (const auto& line : linesOf(*lines)) {
        EXPECT_EQ(differingCoordinates(line), 1);
        EXPECT_EQ(line.first[2], -1.0f);
        EXPECT_EQ(line.second[2], -1.0f);
    }

    // Towards the corner (1, 1, -1): three faces turned to the eye, the outline a hexagon
    // of the six cube edges that touch neither the near nor the far corner.
    EXPECT_EQ(fillSilhouetteEdges(object, {10, 10, -10}, *lines), 6);
    EXPECT_EQ(lines->vertexCount(), 12);
    for (const auto& line : linesOf(*lines)) {
        EXPECT_EQ(differingCoordinates(line), 1);
        for (const Point& end : {line.first, line.second}) {
            EXPECT_NE(end, (Point{1, 1, -1}));
            EXPECT_NE(end, (Point{-1, -1, 1}));
        }
    }
}

TEST_F(MeshBuilding, SilhouetteOfASphereIsOneClosedLoop)
{
    const LWObject sphere = subdividedSphere();
    const auto lines = createEdgeLineMesh(sphere);
    const int count = fillSilhouetteEdges(sphere, {0.3f, -0.2f, -6}, *lines);
    EXPECT_GT(count, 20);
    // Each end point of a closed outline is shared by exactly two of its edges.
    std::map<Point, int> ends;
    for (const auto& line : linesOf(*lines)) {
        ++ends[line.first];
        ++ends[line.second];
    }
    EXPECT_EQ(ends.size(), static_cast<std::size_t>(count));
    for (const auto& [point, uses] : ends)
        EXPECT_EQ(uses, 2);
}

TEST_F(MeshBuilding, BorderEdgesAlwaysOutlineAndEdgeOnTrianglesCountAsTurnedAway)
{
    // A square of two triangles in the plane z = 0; its diagonal is the only interior edge.
    LWObject square = load(triangles({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}}));
    CalculateAdjacency(square);
    const auto lines = createEdgeLineMesh(square);
    EXPECT_EQ(fillSilhouetteEdges(square, {0.5f, 0.5f, -3}, *lines), 4);
    EXPECT_EQ(fillSilhouetteEdges(square, {0.5f, 0.5f, 3}, *lines), 4);
    // Seen edge-on, from within its plane, the diagonal joins the outline.
    EXPECT_EQ(fillSilhouetteEdges(square, {5, -2, 0}, *lines), 5);

    LWObject big = cube();
    CalculateAdjacency(big);
    EXPECT_FATAL(fillSilhouetteEdges(big, {0, 0, -10}, *lines),
                 "fillSilhouetteEdges: the line mesh holds 10 vertices, 'cube.lwo' has 18 edges");
}

}  // namespace
}  // namespace mirva::test
