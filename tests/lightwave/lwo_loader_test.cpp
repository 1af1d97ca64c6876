// The LWO2 object loader on objects written in code: geometry, surfaces, vertex maps.
#include <cmath>

#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "tests/support/fatal.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

LWObject parse(const std::vector<std::uint8_t>& bytes, const std::string& name = "test.lwo")
{
    return LWObject::Parse(name, bytes.data(), bytes.size());
}

void expectVector(const Vector3& v, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// One square on z = 0 and the pieces of a file around it, for hand-made layouts.
IffBytes squarePoints()
{
    return IffBytes().vec12(0, 0, 0).vec12(2, 0, 0).vec12(2, 2, 0).vec12(0, 2, 0);
}

IffBytes squareFace()
{
    return IffBytes().id("FACE").u2(4).vx(0).vx(1).vx(2).vx(3);
}

TEST(LwoLoader, QuadIsCutIntoAFanOfTwoTrianglesSharingItsNormal)
{
    ObjectWriter writer;
    for (const auto& p : {Vector3{0, 0, 0}, Vector3{2, 0, 0}, Vector3{2, 2, 0}, Vector3{0, 2, 0}})
        writer.addPoint(p.x, p.y, p.z);
    writer.addPolygon({0, 1, 2, 3});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.triangles.size(), 2u);
    const Triangle& first = object.triangles[0];
    const Triangle& second = object.triangles[1];
    EXPECT_EQ((std::vector<int>{first.v[0], first.v[1], first.v[2]}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ((std::vector<int>{second.v[0], second.v[1], second.v[2]}), (std::vector<int>{0, 2, 3}));
    // (P1 - P0) x (P3 - P0) = (2, 0, 0) x (0, 2, 0) = (0, 0, 4).
    expectVector(first.normal, 0, 0, 1);
    expectVector(second.normal, 0, 0, 1);
    EXPECT_FLOAT_EQ(first.area, 2.0f);
    EXPECT_FLOAT_EQ(second.area, 2.0f);
    EXPECT_EQ(first.neighbour[0], -1);
    EXPECT_EQ(first.surface, 0);
}

TEST(LwoLoader, PolygonOfNPointsBecomesNMinusTwoTriangles)
{
    ObjectWriter writer;
    for (int i = 0; i < 6; ++i)
        writer.addPoint(std::cos(i * 1.0471976f), std::sin(i * 1.0471976f), 0);
    writer.addPolygon({0, 1, 2, 3, 4, 5});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.triangles.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(object.triangles[static_cast<std::size_t>(k)].v[0], 0);
        EXPECT_EQ(object.triangles[static_cast<std::size_t>(k)].v[1], k + 1);
        EXPECT_EQ(object.triangles[static_cast<std::size_t>(k)].v[2], k + 2);
    }
}

TEST(LwoLoader, BoxPointsBoundsRadiusAndVertexFrames)
{
    const LWObject box = parse(ObjectWriter::box(-1, -2, -3, 1, 2, 3).lwo2());
    EXPECT_EQ(box.vertices.size(), 8u);
    EXPECT_EQ(box.triangles.size(), 12u);
    expectVector(box.vertices[7].position, 1, 2, 3);
    expectVector(box.boundsMin, -1, -2, -3);
    expectVector(box.boundsMax, 1, 2, 3);
    EXPECT_FLOAT_EQ(box.radius, std::sqrt(14.0f));
    // A corner's normal is the mean of its three face normals: outwards along the diagonal.
    const float d = 1.0f / std::sqrt(3.0f);
    const Vertex& corner = box.vertices[7];
    expectVector(corner.normal, d, d, d);
    // tangent = (0, 1, 0) x n = (nz, 0, -nx); binormal = n x tangent.
    expectVector(corner.tangent, d, 0, -d);
    const Vector3 binormal = cross(corner.normal, corner.tangent);
    expectVector(corner.binormal, binormal.x, binormal.y, binormal.z);
    EXPECT_EQ(box.vertices[0].k1, 0.0f);
    EXPECT_EQ(box.vertices[0].reliable, 0);
    EXPECT_EQ(box.name, "test.lwo");
}

TEST(LwoLoader, CornerReferenceNamesTheLastTriangleUsingTheVertex)
{
    const LWObject box = parse(ObjectWriter::box(0, 0, 0, 1, 1, 1).lwo2());
    for (std::size_t v = 0; v < box.vertices.size(); ++v) {
        int expected = -1;
        for (std::size_t t = 0; t < box.triangles.size(); ++t)
            for (int c = 0; c < 3; ++c)
                if (box.triangles[t].v[c] == static_cast<int>(v))
                    expected = static_cast<int>(4 * t) + c;
        EXPECT_EQ(box.vertices[v].corner, expected);
    }
}

TEST(LwoLoader, UnusedPointKeepsNoCornerAndAZeroNormal)
{
    ObjectWriter writer;
    writer.addPoint(0, 0, 0);
    writer.addPoint(1, 0, 0);
    writer.addPoint(0, 1, 0);
    writer.addPoint(9, 9, 9);
    writer.addPolygon({0, 1, 2});
    const LWObject object = parse(writer.lwo2());
    EXPECT_EQ(object.vertices[3].corner, -1);
    expectVector(object.vertices[3].normal, 0, 0, 0);
    EXPECT_FLOAT_EQ(object.radius, std::sqrt(243.0f));
}

TEST(LwoLoader, SurfacesHaveTheirNamesColoursAndTriangleCounts)
{
    ObjectWriter twoSurfaces;
    for (int i = 0; i < 4; ++i)
        twoSurfaces.addPoint(static_cast<float>(i & 1), static_cast<float>(i >> 1), 0);
    twoSurfaces.addSurface("Red", 1.0f, 0.5f, 0.0f);
    twoSurfaces.addSurface("Odd", 1.5f, -0.25f, 0.2f);
    twoSurfaces.addPolygon({0, 1, 3, 2}, 1);
    twoSurfaces.addPolygon({0, 2, 1}, 0);
    const LWObject object = parse(twoSurfaces.lwo2());
    ASSERT_EQ(object.surfaces.size(), 2u);
    EXPECT_EQ(object.surfaces[0].name, "Red");
    // 0.5 * 255 = 127.5 rounds to 128; alpha 255.
    EXPECT_EQ(object.surfaces[0].colour, 0xFFFF8000u);
    EXPECT_EQ(object.surfaces[0].triangles, 1);
    // Components outside 0..1 are limited; 0.2 * 255 = 51.
    EXPECT_EQ(object.surfaces[1].colour, 0xFFFF0033u);
    EXPECT_EQ(object.surfaces[1].triangles, 2);
    EXPECT_EQ(object.triangles[0].surface, 1);
    EXPECT_EQ(object.triangles[2].surface, 0);
}

TEST(LwoLoader, VertexMapsGiveTextureCoordinatesAndColours)
{
    ObjectWriter writer = ObjectWriter::tetrahedron();
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.25f, 0.75f}}, {1, -1, {1.0f, 0.0f}}});
    writer.addVertexMap("RGB ", "paint", 3, {{2, -1, {0.1f, 0.2f, 0.3f}}});
    writer.addVertexMap("RGBA", "glass", 4, {{3, -1, {0.4f, 0.5f, 0.6f, 0.7f}}});
    writer.addVertexMap("WGHT", "weight", 1, {{0, -1, {0.9f}}});
    const LWObject object = parse(writer.lwo2());
    // v is flipped: 1 - 0.75.
    EXPECT_FLOAT_EQ(object.vertices[0].u, 0.25f);
    EXPECT_FLOAT_EQ(object.vertices[0].v, 0.25f);
    EXPECT_FLOAT_EQ(object.vertices[1].v, 1.0f);
    EXPECT_EQ((std::vector<float>(object.vertices[2].colour, object.vertices[2].colour + 4)),
              (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ((std::vector<float>(object.vertices[3].colour, object.vertices[3].colour + 4)),
              (std::vector<float>{0.4f, 0.5f, 0.6f, 0.7f}));
    EXPECT_EQ((std::vector<float>(object.vertices[0].colour, object.vertices[0].colour + 4)),
              (std::vector<float>{0, 0, 0, 0}));
    ASSERT_EQ(object.vertexMaps.size(), 4u);
    EXPECT_EQ(object.vertexMaps[3].type, "WGHT");
    EXPECT_EQ(object.vertexMaps[0].entries, 2);
    EXPECT_FALSE(object.vertexMaps[0].perPolygon);
}

TEST(LwoLoader, PerPolygonMapSplitsTheVertexOnlyForThatPolygon)
{
    // Two triangles share points 0 and 2. Polygon 1 gives both of them other coordinates;
    // a second map chunk gives point 0 the same values again, which reuses its copy.
    ObjectWriter writer;
    writer.addPoint(0, 0, 0);
    writer.addPoint(1, 0, 0);
    writer.addPoint(1, 1, 0);
    writer.addPoint(0, 1, 0);
    writer.addPolygon({0, 1, 2});
    writer.addPolygon({0, 2, 3});
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.0f, 0.0f}}, {2, -1, {0.5f, 0.5f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {1.0f, 1.0f}}, {2, 1, {0.25f, 0.25f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {1.0f, 1.0f}}});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.vertices.size(), 6u);
    EXPECT_EQ(object.splitVertices, 2);
    // Polygon 0 keeps the original points.
    EXPECT_EQ(object.triangles[0].v[0], 0);
    EXPECT_EQ(object.triangles[0].v[2], 2);
    // Polygon 1 uses the copies, at the same positions with the new coordinates.
    EXPECT_EQ(object.triangles[1].v[0], 4);
    EXPECT_EQ(object.triangles[1].v[1], 5);
    EXPECT_EQ(object.triangles[1].v[2], 3);
    expectVector(object.vertices[4].position, 0, 0, 0);
    EXPECT_FLOAT_EQ(object.vertices[4].u, 1.0f);
    EXPECT_FLOAT_EQ(object.vertices[4].v, 0.0f);
    EXPECT_FLOAT_EQ(object.vertices[0].u, 0.0f);
    EXPECT_FLOAT_EQ(object.vertices[5].u, 0.25f);
    // The copy has the original's normal and a corner of its own.
    expectVector(object.vertices[4].normal, 0, 0, 1);
    EXPECT_EQ(object.vertices[4].corner, 4 * 1 + 0);
    ASSERT_EQ(object.vertexMaps.size(), 3u);
    EXPECT_TRUE(object.vertexMaps[1].perPolygon);
    EXPECT_EQ(object.vertexMaps[1].entries, 2);
}

TEST(LwoLoader, PerPolygonColourSplitKeepsTheTextureCoordinate)
{
    ObjectWriter writer = ObjectWriter::tetrahedron();
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.25f, 0.5f}}});
    writer.addVertexMap("RGB ", "paint", 3, {{0, -1, {1, 1, 1}}});
    writer.addPerPolygonMap("RGB ", "paint", 3, {{0, 0, {1, 0, 0}}});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.vertices.size(), 5u);
    EXPECT_FLOAT_EQ(object.vertices[4].colour[1], 0.0f);
    EXPECT_FLOAT_EQ(object.vertices[4].u, 0.25f);
    EXPECT_FLOAT_EQ(object.vertices[4].v, 0.5f);
}

TEST(LwoLoader, PerPolygonMapWithoutItsVertexMapIsSkipped)
{
    ObjectWriter writer = ObjectWriter::tetrahedron();
    writer.addPerPolygonMap("TXUV", "nameless", 2, {{0, 0, {1.0f, 1.0f}}});
    const LWObject object = parse(writer.lwo2());
    EXPECT_EQ(object.vertices.size(), 4u);
    EXPECT_TRUE(object.vertexMaps.empty());
}

TEST(LwoLoader, OnlyTheFirstLayerIsRead)
{
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("Default"));
    chunks.chunk("LAYR", IffBytes().u2(0).u2(0).vec12(0, 0, 0).s0(""));
    chunks.chunk("PNTS", squarePoints());
    chunks.chunk("POLS", squareFace());
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    chunks.chunk("LAYR", IffBytes().u2(1).u2(0).vec12(0, 0, 0).s0(""));
    chunks.chunk("PNTS", IffBytes().vec12(50, 50, 50).vec12(51, 50, 50).vec12(50, 51, 50));
    chunks.chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).f4(0.5f).f4(0.5f));
    chunks.chunk("POLS", IffBytes().id("FACE").u2(3).vx(0).vx(1).vx(2));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    const LWObject object = parse(IffBytes::form("LWO2", chunks));
    EXPECT_EQ(object.vertices.size(), 4u);
    EXPECT_EQ(object.triangles.size(), 2u);
    EXPECT_FLOAT_EQ(object.boundsMax.x, 2.0f);
    EXPECT_FLOAT_EQ(object.vertices[0].u, 0.0f);
}

TEST(LwoLoader, OddSizedChunkIsFollowedByAPadByte)
{
    IffBytes chunks;
    chunks.chunk("ODDS", IffBytes().u1(1).u1(2).u1(3));   // 3 bytes and the pad
    chunks.chunk("TAGS", IffBytes().s0("Default"));
    chunks.chunk("PNTS", squarePoints());
    chunks.chunk("POLS", squareFace());
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    const std::vector<std::uint8_t> bytes = IffBytes::form("LWO2", chunks);
    EXPECT_EQ(bytes[12 + 8 + 3], 0);   // the pad
    const LWObject object = parse(bytes);
    EXPECT_EQ(object.triangles.size(), 2u);
}

TEST(LwoLoader, PolygonPointCountIsTheLowTenBitsOfItsWord)
{
    // 70 points on a circle in one polygon, with all six flag bits set.
    IffBytes points, face;
    face.id("FACE").u2(0xFC00 | 70);
    for (int i = 0; i < 70; ++i) {
        points.vec12(std::cos(i * 0.08975979f), std::sin(i * 0.08975979f), 0);
        face.vx(static_cast<std::uint32_t>(i));
    }
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("Default"));
    chunks.chunk("PNTS", points);
    chunks.chunk("POLS", face);
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    const LWObject object = parse(IffBytes::form("LWO2", chunks));
    ASSERT_EQ(object.triangles.size(), 68u);
    EXPECT_EQ(object.triangles[67].v[2], 69);
}

TEST(LwoLoader, PolygonsOfFewerThanThreePointsMakeNoTrianglesButKeepTheirNumbers)
{
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("Lines").s0("Faces"));
    chunks.chunk("PNTS", squarePoints());
    chunks.chunk("POLS", IffBytes().id("FACE").u2(2).vx(0).vx(1).u2(1).vx(3).u2(3).vx(0).vx(1).vx(2));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0).vx(1).u2(0).vx(2).u2(1));
    const LWObject object = parse(IffBytes::form("LWO2", chunks));
    ASSERT_EQ(object.triangles.size(), 1u);
    EXPECT_EQ(object.triangles[0].surface, 1);
    EXPECT_EQ(object.surfaces[1].name, "Faces");
    EXPECT_EQ(object.surfaces[0].triangles, 0);
}

TEST(LwoLoader, OnlySurfaceTagsAssignSurfaces)
{
    // A part tag names tag 1; a colour tag names a value beyond the tag list. Only the
    // SURF entries count, and a later SURF entry for the same polygon replaces the first.
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("Skin").s0("Arm"));
    chunks.chunk("PNTS", squarePoints());
    chunks.chunk("POLS", squareFace());
    chunks.chunk("PTAG", IffBytes().id("PART").vx(0).u2(1));
    chunks.chunk("PTAG", IffBytes().id("COLR").vx(0).u2(77));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(1).vx(0).u2(0));
    const LWObject object = parse(IffBytes::form("LWO2", chunks));
    EXPECT_EQ(object.triangles[0].surface, 0);
    EXPECT_EQ(object.triangles[1].surface, 0);
    // The tag used has no SURF chunk: its surface takes the tag's name and stays black.
    ASSERT_EQ(object.surfaces.size(), 1u);
    EXPECT_EQ(object.surfaces[0].name, "Skin");
    EXPECT_EQ(object.surfaces[0].colour, 0xFF000000u);
}

TEST(LwoLoader, SurfaceTagsFollowTheirOwnPolygonChunk)
{
    // Two POLS chunks in the first layer, each with its own PTAG chunk numbering its
    // polygons from 0; a patch chunk makes no triangles.
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("A").s0("B"));
    chunks.chunk("PNTS", squarePoints());
    chunks.chunk("POLS", IffBytes().id("FACE").u2(3).vx(0).vx(1).vx(2));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    chunks.chunk("POLS", IffBytes().id("PTCH").u2(3).vx(0).vx(1).vx(3));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(1));
    chunks.chunk("POLS", IffBytes().id("FACE").u2(3).vx(0).vx(2).vx(3));
    chunks.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(1));
    const LWObject object = parse(IffBytes::form("LWO2", chunks));
    ASSERT_EQ(object.triangles.size(), 2u);
    EXPECT_EQ(object.triangles[0].surface, 0);
    EXPECT_EQ(object.triangles[1].surface, 1);
    EXPECT_EQ(object.triangles[1].v[1], 2);
}

// 260 x 255 quads make 66,572 points, so the later point indices take four bytes.
TEST(LwoLoader, ABigGridLoadsWhole)
{
    const int columns = 260;
    const int rows = 255;
    const LWObject grid = parse(ObjectWriter::grid(columns, rows, 0.5f).lwo2());
    ASSERT_EQ(grid.vertices.size(), static_cast<std::size_t>((columns + 1) * (rows + 1)));
    ASSERT_EQ(grid.triangles.size(), static_cast<std::size_t>(2 * columns * rows));
    EXPECT_EQ(grid.surfaces[0].triangles, 2 * columns * rows);
    expectVector(grid.boundsMax, 130, 0, 127.5f);
    // The last quad (i, j): (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j).
    auto index = [&](int i, int j) { return j * (columns + 1) + i; };
    const std::size_t last = static_cast<std::size_t>(2 * columns * rows - 2);
    const Triangle& first = grid.triangles[last];
    const Triangle& second = grid.triangles[last + 1];
    EXPECT_EQ((std::vector<int>{first.v[0], first.v[1], first.v[2], second.v[1], second.v[2]}),
              (std::vector<int>{index(columns - 1, rows - 1), index(columns - 1, rows), index(columns, rows),
                                index(columns, rows), index(columns, rows - 1)}));
    expectVector(second.normal, 0, 1, 0);
    EXPECT_FLOAT_EQ(second.area, 0.125f);
    const Vertex& farCorner = grid.vertices[static_cast<std::size_t>(index(columns, rows))];
    EXPECT_EQ(farCorner.corner, static_cast<int>(4 * (last + 1) + 1));
    expectVector(grid.vertices[static_cast<std::size_t>(index(100, 100))].normal, 0, 1, 0);
}

TEST(LwoLoader, LoadReadsTheFileByName)
{
    const std::string path = testing::TempDir() + "/mirva_box.lwo";
    ObjectWriter::box(0, 0, 0, 1, 1, 1).write(path);
    const LWObject object = LWObject::Load(path);
    EXPECT_EQ(object.name, path);
    EXPECT_EQ(object.triangles.size(), 12u);
    EXPECT_FATAL(LWObject::Load(path + ".missing"), "Phile::load - couldn't open file '" + path + ".missing'");
}

}  // namespace
}  // namespace mirva
