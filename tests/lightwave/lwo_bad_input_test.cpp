// Broken object files: each ends in one clear message, never in a read outside the file.
#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "tests/support/fatal.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

std::string failure(const std::vector<std::uint8_t>& bytes)
{
    return test::fatalMessage([&] { LWObject::Parse("bad.lwo", bytes.data(), bytes.size()); });
}

std::string failure(const IffBytes& chunks)
{
    return failure(IffBytes::form("LWO2", chunks));
}

IffBytes points()
{
    return IffBytes().vec12(0, 0, 0).vec12(1, 0, 0).vec12(1, 1, 0).vec12(0, 1, 0);
}

IffBytes triangle(std::uint32_t a = 0, std::uint32_t b = 1, std::uint32_t c = 2)
{
    return IffBytes().id("FACE").u2(3).vx(a).vx(b).vx(c);
}

// TAGS, PNTS and one triangle, ready for more chunks.
IffBytes start()
{
    IffBytes chunks;
    chunks.chunk("TAGS", IffBytes().s0("Default"));
    chunks.chunk("PNTS", points());
    chunks.chunk("POLS", triangle());
    return chunks;
}

TEST(LwoBadInput, FileHeader)
{
    EXPECT_EQ(failure(std::vector<std::uint8_t>{}), "invalid IFF file 'bad.lwo': the file ends inside the FORM header (0 bytes)");
    EXPECT_EQ(failure(std::vector<std::uint8_t>{'F', 'O', 'R', 'M', 0, 0}),
              "invalid IFF file 'bad.lwo': the file ends inside the FORM header (6 bytes)");
    EXPECT_EQ(failure(std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}), "not a valid IFF file");
    EXPECT_EQ(failure(IffBytes::form("ILBM", IffBytes())), "not a LWO file");
    std::vector<std::uint8_t> longForm = IffBytes::form("LWO2", start());
    longForm[7] += 2;
    EXPECT_EQ(failure(longForm), "invalid LWO2 file 'bad.lwo': FORM of " + std::to_string(longForm.size() - 8 + 2) +
                                     " bytes runs past the end of the file (" + std::to_string(longForm.size()) +
                                     " bytes)");
}

TEST(LwoBadInput, ChunksThatRunPastTheirEnd)
{
    IffBytes chunks;
    chunks.id("PNTS").u4(1000).vec12(0, 0, 0);
    EXPECT_EQ(failure(chunks), "invalid LWO2 file 'bad.lwo': PNTS chunk of 1000 bytes runs past the end of the file");

    IffBytes stray = start();
    stray.u1('X').u1('Y');
    // 12 header bytes, TAGS 16, PNTS 56, POLS 20: the stray bytes start at 104.
    EXPECT_EQ(failure(stray), "invalid LWO2 file 'bad.lwo': truncated chunk header at byte 104");

    IffBytes shortPolygon = start();
    shortPolygon.chunk("POLS", IffBytes().id("FACE").u2(4).vx(0).vx(1));
    EXPECT_EQ(failure(shortPolygon), "invalid LWO2 file 'bad.lwo': truncated POLS chunk");

    IffBytes endlessName;
    endlessName.chunk("TAGS", IffBytes().u1('a').u1('b'));
    EXPECT_EQ(failure(endlessName), "invalid LWO2 file 'bad.lwo': truncated TAGS chunk");

    IffBytes longColour = start();
    IffBytes surface;
    surface.s0("Default").s0("").id("COLR").u2(40).vec12(1, 1, 1);
    longColour.chunk("SURF", surface);
    EXPECT_EQ(failure(longColour), "invalid LWO2 file 'bad.lwo': COLR chunk of 40 bytes runs past the end of the SURF chunk");

    IffBytes shortColour = start();
    shortColour.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    shortColour.chunk("SURF", IffBytes().s0("Default").s0("").subChunk("COLR", IffBytes().f4(1)));
    EXPECT_EQ(failure(shortColour), "invalid LWO2 file 'bad.lwo': truncated COLR chunk");
}

TEST(LwoBadInput, IndicesOutOfRange)
{
    IffBytes farPoint;
    farPoint.chunk("TAGS", IffBytes().s0("Default"));
    farPoint.chunk("PNTS", points());
    farPoint.chunk("POLS", triangle(0, 1, 4));
    EXPECT_EQ(failure(farPoint), "invalid LWO2 file 'bad.lwo': point index 4 out of range (the first layer has 4 points)");

    IffBytes bigIndex;
    bigIndex.chunk("TAGS", IffBytes().s0("Default"));
    bigIndex.chunk("PNTS", points());
    bigIndex.chunk("POLS", triangle(0, 1, 0xFFFFFF));
    EXPECT_EQ(failure(bigIndex),
              "invalid LWO2 file 'bad.lwo': point index 16777215 out of range (the first layer has 4 points)");

    IffBytes polygonIndex = start();
    polygonIndex.chunk("PTAG", IffBytes().id("SURF").vx(1).u2(0));
    EXPECT_EQ(failure(polygonIndex), "invalid LWO2 file: PTAG polygon index invalid (1)");

    IffBytes tag = start();
    tag.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(1));
    EXPECT_EQ(failure(tag), "invalid LWO2 file: PTAG polygon tag invalid (1)");

    IffBytes mapPoint = start();
    mapPoint.chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(9).f4(0).f4(0));
    EXPECT_EQ(failure(mapPoint), "invalid LWO2 file 'bad.lwo': point index 9 out of range (the first layer has 4 points)");

    IffBytes mapPolygon = start();
    mapPolygon.chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).f4(0).f4(0));
    mapPolygon.chunk("VMAD", IffBytes().id("TXUV").u2(2).s0("uv").vx(0).vx(3).f4(0).f4(0));
    EXPECT_EQ(failure(mapPolygon), "invalid LWO2 file 'bad.lwo': polygon index 3 out of range (1 polygons)");
}

TEST(LwoBadInput, ChunksInTheWrongOrder)
{
    IffBytes polygonsFirst;
    polygonsFirst.chunk("POLS", triangle());
    EXPECT_EQ(failure(polygonsFirst), "invalid LWO2 file: POLS chunk before PNTS");

    IffBytes tagsMissing;
    tagsMissing.chunk("PNTS", points());
    tagsMissing.chunk("POLS", triangle());
    tagsMissing.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    EXPECT_EQ(failure(tagsMissing), "invalid LWO2 file: PTAG chunk before TAGS or POLS");

    IffBytes mapFirst;
    mapFirst.chunk("VMAP", IffBytes().id("TXUV").u2(2).s0("uv"));
    EXPECT_EQ(failure(mapFirst), "invalid LWO2 file: VMAP chunk before PNTS");

    IffBytes splitFirst;
    splitFirst.chunk("PNTS", points());
    splitFirst.chunk("VMAD", IffBytes().id("TXUV").u2(2).s0("uv"));
    EXPECT_EQ(failure(splitFirst), "invalid LWO2 file: VMAD chunk before PNTS or POLS");
}

TEST(LwoBadInput, SurfacesAndEmptyLayers)
{
    IffBytes unknownSurface = start();
    unknownSurface.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0));
    unknownSurface.chunk("SURF", IffBytes().s0("Chrome").s0(""));
    EXPECT_EQ(failure(unknownSurface), "invalid LWO2 file: surface Chrome not found from the TAGS list");

    EXPECT_EQ(failure(start()), "invalid LWO2 file: not every polygon has a surface");

    IffBytes noPoints;
    noPoints.chunk("TAGS", IffBytes().s0("Default"));
    noPoints.chunk("PNTS", IffBytes());
    EXPECT_EQ(failure(noPoints), "invalid LWO2 file 'bad.lwo': the first layer has no points");
    EXPECT_EQ(failure(IffBytes()), "invalid LWO2 file 'bad.lwo': the first layer has no points");
}

// Every cut of a good file and many damaged copies of it load or stop with a message;
// the sanitizer build checks that none of them reads outside the bytes.
TEST(LwoBadInput, EveryTruncationAndDamageEndsCleanly)
{
    ObjectWriter writer = ObjectWriter::box(0, 0, 0, 1, 1, 1);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0.5f, 0.5f}}, {1, -1, {0.25f, 0.5f}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 0, {1.0f, 0.0f}}});
    for (const std::vector<std::uint8_t>& good : {writer.lwo2(), writer.lwob()}) {
        for (std::size_t size = 0; size < good.size(); ++size) {
            std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
            const std::string message = failure(cut);
            EXPECT_NE(message, "<no fatal error>") << "cut at " << size;
            EXPECT_FALSE(message.empty());
        }
        std::uint32_t seed = 12345;
        for (int round = 0; round < 3000; ++round) {
            std::vector<std::uint8_t> damaged = good;
            for (int hits = 0; hits < 1 + round % 4; ++hits) {
                seed = seed * 1103515245u + 12345u;
                const std::size_t at = 12 + (seed >> 8) % (damaged.size() - 12);
                seed = seed * 1103515245u + 12345u;
                damaged[at] = static_cast<std::uint8_t>(seed >> 16);
            }
            // Either loads or ends in a message; never crashes.
            failure(damaged);
        }
    }
}

}  // namespace
}  // namespace mirva
