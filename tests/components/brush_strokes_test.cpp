// Brush strokes on the processor: where a triangle's strokes lie, which strokes a view
// keeps and in what order, and the colour each one gets.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "components/brush_strokes.h"
#include "io/surface.h"
#include "lightwave/transformation.h"
#include "tests/support/files.h"
#include "tools/object_writer.h"

namespace mirva::test {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Strokes of an object of these points and triangles, in one red surface.
std::vector<BrushStroke> strokesOf(const std::vector<Vector3>& points,
                                   const std::vector<std::vector<std::uint32_t>>& triangles)
{
    TempDir dir;
    ObjectWriter writer;
    for (const Vector3& p : points)
        writer.addPoint(p.x, p.y, p.z);
    writer.addSurface("Paint", 1, 0, 0);
    for (const auto& triangle : triangles)
        writer.addPolygon(triangle);
    writer.write(dir.file("o.lwo"));
    return brushStrokesOf(dir.file("o.lwo"));
}

TEST(BrushStrokes, ATriangleMakesFourStrokesOneInEachQuarterOfIt)
{
    // P, Q, S: the weights of Q and S are x / 4 and y / 4.
    const std::vector<BrushStroke> strokes = strokesOf({{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 1, 2}});
    ASSERT_EQ(strokes.size(), 4u);
    // The quarters of the midpoint subdivision: at P, at Q, at S, and the middle one.
    const auto inQuarter = [](int k, float u, float v) {
        constexpr float e = 1e-5f;
        const bool inside = u >= -e && v >= -e && u + v <= 1 + e;
        const bool quarter[] = {u + v <= 0.5f + e, u >= 0.5f - e, v >= 0.5f - e};
        return k < 3 ? inside && quarter[k] : u <= 0.5f + e && v <= 0.5f + e && u + v >= 0.5f - e;
    };
    for (int k = 0; k < 4; ++k) {
        const BrushStroke& stroke = strokes[static_cast<std::size_t>(k)];
        EXPECT_TRUE(inQuarter(k, stroke.position.x / 4, stroke.position.y / 4)) << "stroke " << k;
        EXPECT_EQ(stroke.colour, 0xFFFF0000u);
        EXPECT_FLOAT_EQ(stroke.length, std::sqrt(8.0f));
        EXPECT_FLOAT_EQ(stroke.width, std::sqrt(8.0f));
        EXPECT_NEAR(std::abs(stroke.normal.z), 1.0f, 1e-5f);
        // A flat triangle has no direction of its own: its strokes lie across y.
        EXPECT_NEAR(std::abs(stroke.direction.x), 1.0f, 1e-5f);
    }
}

TEST(BrushStrokes, TrianglesWithoutAreaMakeStrokesThatAreNeverDrawnAndNoTrianglesNone)
{
    // Three corners on one line, and two corners in one place.
    const std::vector<BrushStroke> strokes =
        strokesOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, {{0, 1, 2}, {0, 3, 3}});
    ASSERT_EQ(strokes.size(), 8u);
    for (const BrushStroke& stroke : strokes) {
        EXPECT_EQ(stroke.length, 0.0f);
        EXPECT_EQ(stroke.normal, Vector3{});
        EXPECT_TRUE(std::isfinite(stroke.position.x) && std::isfinite(stroke.direction.x));
    }
    StrokePainter painter;
    EXPECT_EQ(painter.sort(strokes, StrokeView({}, {}, {})), 0);
    EXPECT_TRUE(strokesOf({{0, 0, 0}}, {}).empty());
}

TEST(StrokePainter, KeepsTheStrokesFacingTheEyeFarthestFirst)
{
    // The eye at the origin looking along +z; the light comes from it, along -z.
    const std::vector<BrushStroke> strokes = {
        {.position = {0, 0, 1}, .normal = {0, 0, -0.1f}},  // faces it by exactly 0.1: left out
        {.position = {0, 0, 1}, .normal = {0, 0, -0.2f}},  // key -1.05
        {.position = {0, 0, 5}, .normal = {0, 0, -1}},     // key -5.25
        {.position = {0, 0, 3}, .normal = {0, 0, 1}},      // faces away
        {.position = {2, 0, 3}, .normal = {-1, 0, 0}},     // key -3
        {.position = {0, 0, 2}, .normal = {kNaN, 0, -1}},  // no normal at all
    };
    StrokePainter painter;
    const auto order = [&](const StrokeView& view) {
        std::vector<int> kept(static_cast<std::size_t>(painter.sort(strokes, view)));
        for (std::size_t i = 0; i < kept.size(); ++i)
            kept[i] = painter.strokeAt(static_cast<int>(i));
        return kept;
    };
    EXPECT_EQ(order(StrokeView({}, {}, {})), (std::vector<int>{2, 4, 1}));
    // The object half a turn round and 10 along z: its own +z side faces the eye now, and
    // of two strokes at one depth the one that faces the light more goes first.
    Transformation world;
    setRotationAndScale(world, 3.14159265f, 0, 0, 1, 1, 1);
    world.m[3][2] = 10;
    const StrokeView turned(world, {}, {});
    EXPECT_NEAR(turned.eye.z, 10, 1e-4f);
    EXPECT_NEAR(turned.light.z, 1, 1e-4f);
    EXPECT_NEAR(turned.viewAxis.z, 1, 1e-4f);
    EXPECT_EQ(order(turned), (std::vector<int>{3, 4}));   // keys 3 - 0.25 and 3
}

TEST(StrokeColour, SurfaceLightEnvironmentAndHighlight)
{
    // A 2 x 2 environment: its right column holds the texels of normals leaning to +x.
    Surface environment(2, 2);
    environment.setPixel(1, 1, 0x80D26E46);  // 210, 110, 70, alpha 128
    environment.setPixel(1, 0, 0xFF285078);  // 40, 80, 120
    environment.setPixel(0, 1, 0xFF143C64);  // 20, 60, 100
    Surface black(1, 1);
    const StrokeView view({}, {}, {});  // eye at the origin, light along -z
    // The rule, the stroke's normal, the surface colour, the environment, the colour expected.
    for (const auto& [rule, normal, surface, texels, expected] : {
             std::tuple{"a black surface takes all of the texel, lit at the floor", Vector3{1, 0, 0}, 0xFF000000u,
                        &environment, 0x80693723u},
             {"a white surface takes a tenth of it", {1, 0, 0}, 0xFFFFFFFF, &environment, 0x808A8583},
             {"the weights of red, green and blue", {1, 0, 0}, 0xFF640000, &environment, 0x808F311F},
             {"facing away from the light still shows half", {0, 0, 1}, 0xFF000000, &environment, 0x80693723},
             {"lit at n.l above half", {0.6f, 0, -0.8f}, 0xFF000000, &environment, 0x80A85838},
             {"the row comes from -n.y", {0.6f, 0.8f, 0}, 0xFF000000, &environment, 0xFF14283C},
             {"the column from n.x", {-0.6f, -0.8f, 0}, 0xFF000000, &environment, 0xFF0A1E32},
             {"towards eye and light: the full highlight", {0, 0, -1}, 0xFF000000, &black, 0xFFFFFFFF}}) {
        const BrushStroke stroke{.position = {0, 0, 5}, .normal = normal, .colour = surface};
        EXPECT_EQ(strokeColour(stroke, view, *texels), expected)
            << rule << ": " << std::hex << strokeColour(stroke, view, *texels);
    }
}

}  // namespace
}  // namespace mirva::test
