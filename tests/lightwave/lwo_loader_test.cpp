// The object loader on objects written in code, in the LWO2 form and the older LWOB:
// geometry, surfaces, vertex maps, and broken files, each of which ends in one clear
// message, never in a read outside the file.
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

LWObject parse(const IffBytes& chunks, const std::string& form = "LWO2")
{
    return parse(IffBytes::form(form, chunks));
}

std::string failure(const std::vector<std::uint8_t>& bytes)
{
    return test::fatalMessage([&] { parse(bytes, "bad.lwo"); });
}

void expectNear(const Vector3& a, const Vector3& b)
{
    EXPECT_LT(length(a - b), 1e-6f) << a.x << " " << a.y << " " << a.z << " is not " << b.x << " " << b.y << " " << b.z;
}

std::vector<int> corners(const Triangle& t)
{
    return {t.v[0], t.v[1], t.v[2]};
}

IffBytes squarePoints()
{
    return IffBytes().vec12(0, 0, 0).vec12(1, 0, 0).vec12(1, 1, 0).vec12(0, 1, 0);
}

IffBytes face(std::initializer_list<std::uint32_t> points)
{
    IffBytes bytes;
    bytes.id("FACE").u2(static_cast<std::uint32_t>(points.size()));
    for (std::uint32_t p : points)
        bytes.vx(p);
    return bytes;
}

IffBytes surfaceTag(std::uint32_t polygon, std::uint32_t tag)
{
    return IffBytes().id("SURF").vx(polygon).u2(tag);
}

// TAGS "Default", the square's points and polygons, for more chunks to follow.
IffBytes start(const IffBytes& polygons = face({0, 1, 2}))
{
    return IffBytes().chunk("TAGS", IffBytes().s0("Default")).chunk("PNTS", squarePoints()).chunk("POLS", polygons);
}

// Polygons of 3, 4 and 70 points with the six flag bits above their point count set.
TEST(LwoLoader, PolygonsAreCutIntoFansSharingTheirNormalAndABigGridLoadsWhole)
{
    for (const int n : {3, 4, 70}) {
        const float step = 6.2831853f / static_cast<float>(n);
        IffBytes points, polygon = IffBytes().id("FACE").u2(0xFC00u | static_cast<std::uint32_t>(n));
        for (int i = 0; i < n; ++i) {
            points.vec12(std::cos(step * static_cast<float>(i)), std::sin(step * static_cast<float>(i)), 0);
            polygon.vx(static_cast<std::uint32_t>(i));
        }
        const LWObject object = parse(IffBytes().chunk("TAGS", IffBytes().s0("Default")).chunk("PNTS", points)
                                          .chunk("POLS", polygon).chunk("PTAG", surfaceTag(0, 0)));
        ASSERT_EQ(object.triangles.size(), static_cast<std::size_t>(n - 2)) << n;
        float area = 0;
        for (int k = 0; k < n - 2; ++k) {
            const Triangle& t = object.triangles[static_cast<std::size_t>(k)];
            EXPECT_EQ(corners(t), (std::vector<int>{0, k + 1, k + 2})) << n;
            expectNear(t.normal, {0, 0, 1});
            area += t.area;
        }
        EXPECT_NEAR(area, 0.5f * static_cast<float>(n) * std::sin(step), 1e-4f) << n;
    }

    // 260 x 255 quads make 261 x 256 = 66,816 points, so the later point indices take four
    // bytes. Point (i, j) is 261 j + i; the last quad, (259, 254), is cut into
    // (259, 254), (259, 255), (260, 255) and (259, 254), (260, 255), (260, 254).
    const LWObject grid = parse(ObjectWriter::grid(260, 255, 0.5f).lwo2());
    ASSERT_EQ(grid.triangles.size(), 2u * 260u * 255u);
    EXPECT_EQ(corners(grid.triangles[132598]), (std::vector<int>{66553, 66814, 66815}));
    EXPECT_EQ(corners(grid.triangles[132599]), (std::vector<int>{66553, 66815, 66554}));
}

TEST(LwoLoader, BoxPointsBoundsVertexFramesTheSameFromLwobAndLwobDetailPolygons)
{
    ObjectWriter writer = ObjectWriter::box(-1, -2, -3, 1, 2, 3);
    writer.addSurface("Green", 0.5f, 1.5f, -0.25f);
    const LWObject box = parse(writer.lwo2());
    ASSERT_EQ(box.vertices.size(), 8u);
    ASSERT_EQ(box.triangles.size(), 12u);
    expectNear(box.boundsMin, {-1, -2, -3});
    expectNear(box.boundsMax, {1, 2, 3});
    // 0.5 * 255 = 127.5 rounds to 128; components outside 0..1 are limited.
    EXPECT_EQ(box.surfaces[0].colour, 0xFF80FF00u);
    // A corner's normal is the mean of its three face normals: out along the diagonal.
    // tangent = (0, 1, 0) x n = (nz, 0, -nx); binormal = n x tangent = (-1/3, 2/3, -1/3).
    const float d = 1.0f / std::sqrt(3.0f);
    const Vertex& corner = box.vertices[7];
    expectNear(corner.normal, {d, d, d});
    expectNear(corner.tangent, {d, 0, -d});
    expectNear(corner.binormal, {-1.0f / 3, 2.0f / 3, -1.0f / 3});

    // The LWOB form of the box gives the same points, triangles and corner normals.
    auto shape = [](const LWObject& o) {
        std::vector<float> numbers{o.radius};
        for (const Vertex& v : o.vertices)
            numbers.insert(numbers.end(),
                           {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z});
        for (const Triangle& t : o.triangles)
            numbers.insert(numbers.end(), {float(t.v[0]), float(t.v[1]), float(t.v[2]), float(t.surface)});
        return numbers;
    };
    const LWObject old = parse(writer.lwob(), "old.lwo");
    EXPECT_EQ(shape(old), shape(box));
    ASSERT_EQ(old.surfaces.size(), 1u);
    EXPECT_TRUE(old.surfaces[0].name == "Green" && old.surfaces[0].triangles == 12);

    // In LWOB a negative surface number is its magnitude and is followed by detail
    // polygons, which are read past.
    auto colour = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) { return IffBytes().u1(r).u1(g).u1(b).u1(0); };
    IffBytes polygons;
    polygons.u2(3).u2(0).u2(1).u2(2).u2(static_cast<std::uint16_t>(-2));   // surface entry 1
    polygons.u2(2);                                                         // two detail polygons
    polygons.u2(3).u2(0).u2(1).u2(3).u2(1);
    polygons.u2(4).u2(0).u2(1).u2(2).u2(3).u2(2);
    polygons.u2(3).u2(0).u2(2).u2(3).u2(1);                                 // surface entry 0
    polygons.u2(2).u2(0).u2(1).u2(1);                                       // a line: no triangle
    // A surface chunk colours the surface of its name only, past other sub-chunks.
    const LWObject object = parse(IffBytes().chunk("SRFS", IffBytes().s0("A").s0("B")).chunk("PNTS", squarePoints())
                                      .chunk("POLS", polygons)
                                      .chunk("SURF", IffBytes().s0("Nobody").subChunk("COLR", colour(9, 9, 9)))
                                      .chunk("SURF", IffBytes().s0("B").subChunk("FLAG", IffBytes().u2(4))
                                                         .subChunk("COLR", colour(10, 20, 30))),
                                  "LWOB");
    ASSERT_EQ(object.triangles.size(), 2u);
    EXPECT_EQ((std::vector<int>{object.triangles[0].surface, object.triangles[1].surface, object.triangles[1].v[1],
                                object.surfaces[1].triangles}),
              (std::vector<int>{1, 0, 2, 1}));
    EXPECT_EQ(std::pair(object.surfaces[0].colour, object.surfaces[1].colour), std::pair(0xFF000000u, 0xFF0A141Eu));
}

TEST(LwoLoader, VertexMapsGiveTextureCoordinatesAndColours)
{
    ObjectWriter writer = ObjectWriter::tetrahedron();
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.25f, 0.75f}}, {1, -1, {1.0f, 0.0f}}});
    writer.addVertexMap("RGB ", "paint", 3, {{2, -1, {0.1f, 0.2f, 0.3f}}});
    writer.addVertexMap("RGBA", "glass", 4, {{3, -1, {0.4f, 0.5f, 0.6f, 0.7f}}});
    writer.addVertexMap("WGHT", "weight", 1, {{0, -1, {0.9f}}});
    writer.addPerPolygonMap("RGB ", "paint", 3, {{0, 0, {1, 0, 0}}});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.vertices.size(), 5u);
    auto colour = [&](std::size_t v) {
        return std::vector<float>(object.vertices[v].colour, object.vertices[v].colour + 4);
    };
    // v is flipped: 1 - 0.75.
    EXPECT_EQ((std::vector<float>{object.vertices[0].u, object.vertices[0].v, object.vertices[1].v}),
              (std::vector<float>{0.25f, 0.25f, 1.0f}));
    EXPECT_EQ(colour(2), (std::vector<float>{0.1f, 0.2f, 0.3f, 1.0f}));
    EXPECT_EQ(colour(3), (std::vector<float>{0.4f, 0.5f, 0.6f, 0.7f}));
    // The per-polygon colour of point 0 splits it; the copy keeps its texture coordinate.
    EXPECT_EQ(colour(4), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(std::pair(object.vertices[4].u, object.vertices[4].v), std::pair(0.25f, 0.25f));
}

TEST(LwoLoader, PerPolygonMapSplitsTheVertexOnlyForThatPolygon)
{
    // Two triangles share points 0 and 2. Polygon 1 gives both of them other coordinates;
    // a second map chunk gives point 0 the same values again, which reuses its copy.
    ObjectWriter writer;
    for (const Vector3& p : {Vector3{0, 0, 0}, Vector3{1, 0, 0}, Vector3{1, 1, 0}, Vector3{0, 1, 0}})
        writer.addPoint(p.x, p.y, p.z);
    writer.addPolygon({0, 1, 2});
    writer.addPolygon({0, 2, 3});
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.0f, 0.0f}}, {2, -1, {0.5f, 0.5f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {1.0f, 1.0f}}, {2, 1, {0.25f, 0.25f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {1.0f, 1.0f}}});
    const LWObject object = parse(writer.lwo2());
    ASSERT_EQ(object.vertices.size(), 6u);
    EXPECT_EQ(object.splitVertices, 2);
    // Polygon 0 keeps the original points; polygon 1 uses the copies, at the same places
    // with the new coordinates, the original's normal and a corner of their own.
    EXPECT_EQ(corners(object.triangles[0]), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(corners(object.triangles[1]), (std::vector<int>{4, 5, 3}));
    expectNear(object.vertices[4].position, {0, 0, 0});
    const std::vector<Vertex>& v = object.vertices;
    EXPECT_EQ((std::vector<float>{v[4].u, v[4].v, v[0].u, v[5].u}), (std::vector<float>{1, 0, 0, 0.25f}));
    expectNear(object.vertices[4].normal, {0, 0, 1});
    EXPECT_EQ(object.vertices[4].corner, 4 * 1 + 0);

    // A per-polygon map without its vertex map is skipped.
    ObjectWriter nameless = ObjectWriter::tetrahedron();
    nameless.addPerPolygonMap("TXUV", "nameless", 2, {{0, 0, {1.0f, 1.0f}}});
    EXPECT_EQ(parse(nameless.lwo2()).vertices.size(), 4u);
}

TEST(LwoLoader, PolygonsTheirSurfaceTagsLayersAndPadBytes)
{
    // A line and a lone point make no triangles but keep their numbers; point 3, far out,
    // is left unused.
    const IffBytes polygons = face({0, 1}).u2(1).vx(3).u2(3).vx(0).vx(1).vx(2);
    const IffBytes points = IffBytes().vec12(0, 0, 0).vec12(1, 0, 0).vec12(1, 1, 0).vec12(0, 9, 0);
    const LWObject object = parse(IffBytes().chunk("TAGS", IffBytes().s0("Lines").s0("Faces")).chunk("PNTS", points)
                                      .chunk("POLS", polygons).chunk("PTAG", surfaceTag(0, 0).vx(1).u2(0).vx(2).u2(1)));
    ASSERT_EQ(object.triangles.size(), 1u);
    EXPECT_TRUE(object.triangles[0].surface == 1 && object.surfaces[1].name == "Faces" &&
                object.surfaces[0].triangles == 0);
    // The unused point has no corner and a zero normal, but counts for the radius.
    EXPECT_EQ(object.vertices[3].corner, -1);
    expectNear(object.vertices[3].normal, {0, 0, 0});
    EXPECT_FLOAT_EQ(object.radius, 9.0f);

    // A PART tag names tag 1 and a COLR tag a value beyond the tag list: only SURF
    // entries count, and a later one for the same polygon replaces the first. The tag
    // used has no SURF chunk: its surface takes the tag's name and stays black.
    const LWObject tagged = parse(IffBytes().chunk("TAGS", IffBytes().s0("Skin").s0("Arm"))
                                      .chunk("PNTS", squarePoints()).chunk("POLS", face({0, 1, 2, 3}))
                                      .chunk("PTAG", IffBytes().id("PART").vx(0).u2(1))
                                      .chunk("PTAG", IffBytes().id("COLR").vx(0).u2(77))
                                      .chunk("PTAG", surfaceTag(0, 1).vx(0).u2(0)));
    EXPECT_TRUE(tagged.triangles[0].surface == 0 && tagged.triangles[1].surface == 0);
    ASSERT_EQ(tagged.surfaces.size(), 1u);
    EXPECT_TRUE(tagged.surfaces[0].name == "Skin" && tagged.surfaces[0].colour == 0xFF000000u);

    // Each POLS chunk has its own PTAG chunk numbering its polygons from 0; a patch
    // chunk makes no triangles.
    const LWObject chunks = parse(IffBytes().chunk("TAGS", IffBytes().s0("A").s0("B")).chunk("PNTS", squarePoints())
                                      .chunk("POLS", face({0, 1, 2})).chunk("PTAG", surfaceTag(0, 0))
                                      .chunk("POLS", IffBytes().id("PTCH").u2(3).vx(0).vx(1).vx(3))
                                      .chunk("PTAG", surfaceTag(0, 1))
                                      .chunk("POLS", face({0, 2, 3})).chunk("PTAG", surfaceTag(0, 1)));
    ASSERT_EQ(chunks.triangles.size(), 2u);
    EXPECT_TRUE(chunks.triangles[0].surface == 0 && chunks.triangles[1].surface == 1);
    EXPECT_EQ(corners(chunks.triangles[1]), (std::vector<int>{0, 2, 3}));

    // Only the first layer is read, and an odd-sized chunk is followed by a pad byte.
    const LWObject layered = parse(start(face({0, 1, 2, 3})).chunk("PTAG", surfaceTag(0, 0))
                                       .chunk("LAYR", IffBytes().u2(1).u2(0).vec12(0, 0, 0).s0(""))
                                       .chunk("PNTS", IffBytes().vec12(50, 50, 50).vec12(51, 50, 50).vec12(50, 51, 50))
                                       .chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).f4(0.5f).f4(0.5f))
                                       .chunk("POLS", face({0, 1, 2})).chunk("PTAG", surfaceTag(0, 0)));
    EXPECT_TRUE(layered.vertices.size() == 4 && layered.triangles.size() == 2 && layered.boundsMax.x == 1.0f &&
                layered.vertices[0].u == 0.0f);

    const IffBytes rest = start().chunk("PTAG", surfaceTag(0, 0));
    const std::vector<std::uint8_t> bytes =
        IffBytes::form("LWO2", IffBytes().chunk("ODDS", IffBytes().u1(1).u1(2).u1(3)).raw(rest.bytes()));
    EXPECT_EQ(parse(bytes).triangles.size(), 1u);
}

TEST(LwoBadInput, EveryBrokenFileEndsInItsMessage)
{
    const std::string lwo2 = "invalid LWO2 file 'bad.lwo': ";
    const std::string lwob = "invalid LWOB file 'bad.lwo': ";
    IffBytes huge = IffBytes().u2(1024);   // a polygon of 1024 points, given its surface below
    for (int i = 0; i < 1024; ++i)
        huge.u2(static_cast<std::uint32_t>(i % 4));
    auto old = [](const IffBytes& polygons) {
        return IffBytes::form(
            "LWOB", IffBytes().chunk("SRFS", IffBytes().s0("A")).chunk("PNTS", squarePoints()).chunk("POLS", polygons));
    };
    auto form = [](const IffBytes& chunks) { return IffBytes::form("LWO2", chunks); };
    const IffBytes surface = IffBytes().s0("Default").s0("");
    const IffBytes shortColour = IffBytes(surface).subChunk("COLR", IffBytes().f4(1));
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {{'F', 'O', 'R', 'M', 0, 0}, "invalid IFF file 'bad.lwo': the file ends inside the FORM header (6 bytes)"},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}, "not a valid IFF file"},
        {IffBytes::form("ILBM", IffBytes()), "not a LWO file"},
        // Chunks that run past their end.
        {form(IffBytes().id("PNTS").u4(1000).vec12(0, 0, 0)),
         lwo2 + "PNTS chunk of 1000 bytes runs past the end of the file"},
        // 12 header bytes, TAGS 16, PNTS 56, POLS 20: the stray bytes start at 104.
        {form(start().u1('X').u1('Y')), lwo2 + "truncated chunk header at byte 104"},
        {form(start().chunk("POLS", IffBytes().id("FACE").u2(4).vx(0).vx(1))), lwo2 + "truncated POLS chunk"},
        {form(IffBytes().chunk("TAGS", IffBytes().u1('a').u1('b'))), lwo2 + "truncated TAGS chunk"},
        {form(start().chunk("SURF", IffBytes(surface).id("COLR").u2(40).vec12(1, 1, 1))),
         lwo2 + "COLR chunk of 40 bytes runs past the end of the SURF chunk"},
        {form(start().chunk("PTAG", surfaceTag(0, 0)).chunk("SURF", shortColour)),
         lwo2 + "truncated COLR chunk"},
        // Indices out of range.
        {form(start(face({0, 1, 4}))), lwo2 + "point index 4 out of range (the first layer has 4 points)"},
        {form(start().chunk("PTAG", surfaceTag(1, 0))), "invalid LWO2 file: PTAG polygon index invalid (1)"},
        {form(start().chunk("PTAG", surfaceTag(0, 1))), "invalid LWO2 file: PTAG polygon tag invalid (1)"},
        {form(start().chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(9).f4(0).f4(0))),
         lwo2 + "point index 9 out of range (the first layer has 4 points)"},
        {form(start().chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).f4(0).f4(0))
                  .chunk("VMAD", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).vx(3).f4(0).f4(0))),
         lwo2 + "polygon index 3 out of range (1 polygons)"},
        // Chunks in the wrong order.
        {form(IffBytes().chunk("POLS", face({0, 1, 2}))), "invalid LWO2 file: POLS chunk before PNTS"},
        {form(IffBytes().chunk("PNTS", squarePoints()).chunk("POLS", face({0, 1, 2})).chunk("PTAG", surfaceTag(0, 0))),
         "invalid LWO2 file: PTAG chunk before TAGS or POLS"},
        {form(IffBytes().chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv"))),
         "invalid LWO2 file: VMAP chunk before PNTS"},
        {form(IffBytes().chunk("PNTS", squarePoints()).chunk("VMAD", IffBytes().id("TXUV").u2(2).s0("uv"))),
         "invalid LWO2 file: VMAD chunk before PNTS or POLS"},
        // Surfaces and empty layers.
        {form(start().chunk("PTAG", surfaceTag(0, 0)).chunk("SURF", IffBytes().s0("Chrome").s0(""))),
         "invalid LWO2 file: surface Chrome not found from the TAGS list"},
        {form(start()), "invalid LWO2 file: not every polygon has a surface"},
        {form(IffBytes().chunk("TAGS", IffBytes().s0("Default")).chunk("PNTS", IffBytes())),
         lwo2 + "the first layer has no points"},
        // The older form's limits.
        {old(huge.u2(1)), lwob + "polygon 0 has 1024 points (at most 1023)"},
        {old(IffBytes().u2(3).u2(0).u2(1).u2(2).u2(1).u2(3).u2(0).u2(1).u2(2).u2(0)),
         lwob + "polygon 1 has surface 0 (1 surfaces in SRFS)"},
        {old(IffBytes().u2(3).u2(0).u2(1).u2(4).u2(1)), lwob + "point index 4 out of range (4 points)"},
        {IffBytes::form("LWOB", IffBytes().chunk("SRFS", IffBytes().s0("A"))), lwob + "the first layer has no points"},
    };
    for (const auto& [bytes, message] : cases)
        EXPECT_EQ(failure(bytes), message);

    std::vector<std::uint8_t> longForm = form(start());
    longForm[7] += 2;
    EXPECT_EQ(failure(longForm), lwo2 + "FORM of " + std::to_string(longForm.size() - 6) +
                                     " bytes runs past the end of the file (" + std::to_string(longForm.size()) +
                                     " bytes)");
}

// Every cut of a good file stops with a message, and damaged copies of it load or stop
// with one; the sanitizer build checks that none of them reads outside the bytes.
TEST(LwoBadInput, EveryTruncationAndDamageEndsCleanly)
{
    ObjectWriter writer = ObjectWriter::box(0, 0, 0, 1, 1, 1);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.5f, 0.5f}}, {1, -1, {0.25f, 0.5f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 0, {1.0f, 0.0f}}});
    for (const std::vector<std::uint8_t>& good : {writer.lwo2(), writer.lwob()}) {
        for (std::size_t size = 0; size < good.size(); ++size) {
            const std::string message = failure({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)});
            EXPECT_TRUE(message != "<no fatal error>" && !message.empty()) << "cut at " << size;
        }
        std::uint32_t seed = 12345;
        auto next = [&seed] { return (seed = seed * 1103515245u + 12345u); };
        for (int round = 0; round < 3000; ++round) {
            std::vector<std::uint8_t> damaged = good;
            for (int hits = 0; hits < 1 + round % 4; ++hits)
                damaged[12 + (next() >> 8) % (damaged.size() - 12)] = static_cast<std::uint8_t>(next() >> 16);
            failure(damaged);
        }
    }
}

}  // namespace
}  // namespace mirva
