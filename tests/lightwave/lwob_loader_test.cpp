// The older LWOB form.
#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "tests/support/fatal.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

LWObject parse(const std::vector<std::uint8_t>& bytes)
{
    return LWObject::Parse("old.lwo", bytes.data(), bytes.size());
}

IffBytes fourPoints()
{
    return IffBytes().vec12(0, 0, 0).vec12(1, 0, 0).vec12(1, 1, 0).vec12(0, 1, 0);
}

TEST(LwobLoader, BoxLoadsLikeItsLwo2Form)
{
    ObjectWriter writer = ObjectWriter::box(-1, -1, -1, 1, 1, 1);
    writer.addSurface("Green", 0.0f, 1.0f, 0.2f);
    const LWObject old = parse(writer.lwob());
    const LWObject lwo2 = LWObject::Parse("new.lwo", writer.lwo2().data(), writer.lwo2().size());
    ASSERT_EQ(old.vertices.size(), 8u);
    ASSERT_EQ(old.triangles.size(), 12u);
    for (std::size_t t = 0; t < 12; ++t)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(old.triangles[t].v[c], lwo2.triangles[t].v[c]);
    for (std::size_t v = 0; v < 8; ++v) {
        EXPECT_EQ(old.vertices[v].position, lwo2.vertices[v].position);
        EXPECT_EQ(old.vertices[v].normal, lwo2.vertices[v].normal);
        EXPECT_EQ(old.vertices[v].corner, lwo2.vertices[v].corner);
    }
    ASSERT_EQ(old.surfaces.size(), 1u);
    EXPECT_EQ(old.surfaces[0].name, "Green");
    EXPECT_EQ(old.surfaces[0].colour, 0xFF00FF33u);   // bytes 0, 255, 51
    EXPECT_EQ(old.surfaces[0].triangles, 12);
    EXPECT_FLOAT_EQ(old.radius, lwo2.radius);
}

TEST(LwobLoader, NegativeSurfaceIsItsMagnitudeAndDetailPolygonsAreReadPast)
{
    IffBytes polygons;
    polygons.u2(3).u2(0).u2(1).u2(2).u2(static_cast<std::uint16_t>(-2));   // surface entry 1
    polygons.u2(2);                                                         // two detail polygons
    polygons.u2(3).u2(0).u2(1).u2(3).u2(1);
    polygons.u2(4).u2(0).u2(1).u2(2).u2(3).u2(2);
    polygons.u2(3).u2(0).u2(2).u2(3).u2(1);                                 // surface entry 0
    polygons.u2(2).u2(0).u2(1).u2(1);                                       // a line: no triangle
    IffBytes chunks;
    chunks.chunk("SRFS", IffBytes().s0("A").s0("B"));
    chunks.chunk("PNTS", fourPoints());
    chunks.chunk("POLS", polygons);
    const LWObject object = parse(IffBytes::form("LWOB", chunks));
    ASSERT_EQ(object.triangles.size(), 2u);
    EXPECT_EQ(object.triangles[0].surface, 1);
    EXPECT_EQ(object.triangles[1].surface, 0);
    EXPECT_EQ(object.triangles[1].v[1], 2);
    EXPECT_EQ(object.surfaces[1].triangles, 1);
}

TEST(LwobLoader, SurfaceChunkColoursTheSurfaceOfItsNameOnly)
{
    IffBytes chunks;
    chunks.chunk("SRFS", IffBytes().s0("A").s0("B"));
    chunks.chunk("PNTS", fourPoints());
    chunks.chunk("POLS", IffBytes().u2(3).u2(0).u2(1).u2(2).u2(2));
    chunks.chunk("SURF", IffBytes().s0("Nobody").subChunk("COLR", IffBytes().u1(9).u1(9).u1(9).u1(0)));
    chunks.chunk("SURF", IffBytes()
                             .s0("B")
                             .subChunk("FLAG", IffBytes().u2(4))
                             .subChunk("COLR", IffBytes().u1(10).u1(20).u1(30).u1(0)));
    const LWObject object = parse(IffBytes::form("LWOB", chunks));
    EXPECT_EQ(object.surfaces[0].colour, 0xFF000000u);
    EXPECT_EQ(object.surfaces[1].colour, 0xFF0A141Eu);
}

TEST(LwobLoader, PolygonsBeyondTheLimitsAreFatal)
{
    IffBytes huge;
    huge.u2(1024);
    for (int i = 0; i < 1024; ++i)
        huge.u2(static_cast<std::uint32_t>(i % 4));
    huge.u2(1);
    IffBytes chunks;
    chunks.chunk("SRFS", IffBytes().s0("A"));
    chunks.chunk("PNTS", fourPoints());
    chunks.chunk("POLS", huge);
    EXPECT_FATAL(parse(IffBytes::form("LWOB", chunks)),
                 "invalid LWOB file 'old.lwo': polygon 0 has 1024 points (at most 1023)");

    IffBytes noSurface;
    noSurface.chunk("SRFS", IffBytes().s0("A"));
    noSurface.chunk("PNTS", fourPoints());
    noSurface.chunk("POLS", IffBytes().u2(3).u2(0).u2(1).u2(2).u2(1).u2(3).u2(0).u2(1).u2(2).u2(0));
    EXPECT_FATAL(parse(IffBytes::form("LWOB", noSurface)),
                 "invalid LWOB file 'old.lwo': polygon 1 has surface 0 (1 surfaces in SRFS)");

    IffBytes farPoint;
    farPoint.chunk("SRFS", IffBytes().s0("A"));
    farPoint.chunk("PNTS", fourPoints());
    farPoint.chunk("POLS", IffBytes().u2(3).u2(0).u2(1).u2(4).u2(1));
    EXPECT_FATAL(parse(IffBytes::form("LWOB", farPoint)),
                 "invalid LWOB file 'old.lwo': point index 4 out of range (4 points)");

    IffBytes noPoints;
    noPoints.chunk("SRFS", IffBytes().s0("A"));
    EXPECT_FATAL(parse(IffBytes::form("LWOB", noPoints)), "invalid LWOB file 'old.lwo': the first layer has no points");
}

}  // namespace
}  // namespace mirva
