// Mesh building: the engine primitives of a cube, vertices duplicated where surfaces
// meet, the edge line mesh and the silhouette edges filled into it; and built cubes
// drawn on the headless 64 x 48 screen, unlit, lit and outlined.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "engine/light.h"
#include "mesh/mesh_builder.h"
#include "tests/engine/draw_fixture.h"
#include "tests/mesh/shapes.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using MeshBuilding = DrawTest;

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
    // 18 edges: the 12 edges of the cube and a diagonal across each face.
    ASSERT_EQ(lines->vertexCapacity(), 36);
    const auto all = linesOf(*lines);
    EXPECT_EQ(std::set(all.begin(), all.end()).size(), 18u);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 1; }), 12);
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const auto& l) { return differingCoordinates(l) == 2; }), 6);
    // (Straight in front of a face, its four sides are the outline: see the drawn outline.)
    // Towards the corner (1, 1, -1): three faces turned to the eye, the outline a hexagon
    // of the six cube edges that touch neither the near nor the far corner.
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

    // A sphere's outline is one closed loop: each end point shared by exactly two edges.
    const LWObject sphere = withAdjacency(ObjectWriter::geodesicSphere(1.0f, 3));
    const auto sphereLines = createEdgeLineMesh(sphere);
    const int count = fillSilhouetteEdges(sphere, {0.3f, -0.2f, -6}, *sphereLines);
    EXPECT_GT(count, 20);
    std::map<Point, int> ends;
    for (const auto& [a, b] : linesOf(*sphereLines))
        ++ends[a], ++ends[b];
    EXPECT_EQ(ends.size(), static_cast<std::size_t>(count));
    for (const auto& [point, uses] : ends)
        EXPECT_EQ(uses, 2);
}

constexpr D3DCOLOR kBackground = 0xFF102030;

// The cube from -1 to 1 placed 4 along the view: its face towards the camera, at depth
// 3, covers x from 64 x (1 - 1/3) / 2 = 21.33 to 42.67 and, with the screen's vertical
// scale 64 / 48, y from 24 x (1 - 4/9) = 13.33 to 34.67. Every other face lies behind it.
const Transformation kInFront{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 4}}};

// Whether the pixel's centre lies inside the front face. Pixel centres are at whole
// screen coordinates, as in Direct3D.
bool insideFrontFace(int x, int y)
{
    const auto cx = static_cast<float>(x), cy = static_cast<float>(y);
    return cx > 64.0f / 3.0f && cx < 128.0f / 3.0f && cy > 40.0f / 3.0f && cy < 104.0f / 3.0f;
}

TEST_F(MeshBuilding, AnUnlitCubeCoversItsFrontFaceInItsSurfaceColourAndItsOutlineIsThatFacesSquare)
{
    // The default culling keeps the triangles wound clockwise on the screen. With the
    // object's winding kept, those are the faces turned to the camera: all of the -z
    // face is seen, none of the inside of the others.
    const LWObject plain = cube(), coloured = colouredCube();
    for (const auto& [mesh, colour] : {std::pair{createMesh(plain), 0xFFC8C8C8u},
                                       std::pair{createDuplicateVerticesMesh(coloured), kFaceColours[4]}}) {
        mesh->transformation = kInFront;
        Material material(Material::DIFFUSE, Material::COPY);
        const Picture picture = drawOver(kBackground, *mesh, material);
        // Every pixel at least a pixel away from the front face's edges.
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                EXPECT_TRUE(insideFrontFace(x - 1, y - 1) != insideFrontFace(x + 1, y + 1) ||
                            picture.at(x, y) == (insideFrontFace(x, y) ? colour : kBackground))
                    << x << "," << y << ": " << hex(picture.at(x, y));
    }

    // Its outline seen head-on is the front square: the camera at the origin is at
    // (0, 0, -4) in the cube's own space.
    const auto lines = createEdgeLineMesh(plain);
    lines->transformation = kInFront;
    ASSERT_EQ(fillSilhouetteEdges(plain, {0, 0, -4}, *lines), 4);
    Material outline(Material::FACTOR, Material::COPY);
    outline.factor = 0xFFFF0000;
    outline.culling = Material::NOCULLING;
    const Picture picture = drawOver(kBackground, *lines, outline);
    auto red = [&](int x, int y) { return picture.at(x, y) == 0xFFFF0000u; };
    // Lines at columns 21.33 and 42.67 and rows 13.33 and 34.67; nothing inside.
    EXPECT_TRUE((red(21, 24) || red(22, 24)) && (red(42, 24) || red(43, 24)));
    EXPECT_TRUE((red(32, 13) || red(32, 14)) && (red(32, 34) || red(32, 35)));
    for (int x = 24; x < 40; ++x)
        for (int y = 16; y < 32; ++y)
            EXPECT_EQ(picture.at(x, y), kBackground) << x << "," << y;
    EXPECT_EQ(picture.at(10, 24), kBackground);
}

TEST_F(MeshBuilding, ALitCubeIsBrighterOnTheSideTheLightComesFrom)
{
    const auto mesh = createMesh(cube());
    mesh->transformation = kInFront;
    Material material(Material::DIFFUSE, Material::COPY);
    material.lighting = true;
    Light light{.kind = Light::DIRECTIONAL, .direction = {-1, 0, 0}};   // coming from +x
    mesh->setLights({&light});
    const Picture picture = drawOver(kBackground, *mesh, material);

    // The front face's corners have the normals (+-1, +-1, -1) / sqrt 3: the light falls
    // on its right-hand corners at 1 / sqrt 3 and misses its left-hand ones, and the
    // shade runs linearly in between. (The face's extent is the unlit test's.)
    const float rightShade = 255.0f / std::sqrt(3.0f);
    for (int x = 22; x < 43; ++x)
        for (int y : {16, 24, 32}) {
            const int level = static_cast<int>(std::lround((static_cast<float>(x) * 3 / 64 - 1) * rightShade));
            const D3DCOLOR pixel = picture.at(x, y);
            EXPECT_TRUE(std::abs(static_cast<int>(pixel & 0xFF) - level) <= 2 && (pixel >> 16 & 0xFF) == (pixel & 0xFF))
                << x << "," << y << ": " << hex(pixel) << " for " << level;
        }
}

}  // namespace
}  // namespace mirva::test
