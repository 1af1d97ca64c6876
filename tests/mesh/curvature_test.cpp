// Principal curvatures and directions of shapes whose curvature is known.
#include <cmath>

#include <gtest/gtest.h>

#include "mesh/curvature.h"
#include "mesh/tangents.h"
#include "mesh/subdivision.h"
#include "mesh/topology.h"
#include "tests/mesh/shapes.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using test::load;

LWObject withCurvature(const ObjectWriter& writer)
{
    LWObject object = load(writer);
    CalculateAdjacency(object);
    CalculateCurvature(object);
    return object;
}

TEST(Curvature, SphereHasEqualPrincipalCurvaturesOfOneOverTheRadius)
{
    const float radius = 2.0f;
    const LWObject sphere = withCurvature(ObjectWriter::geodesicSphere(radius, 3));
    ASSERT_EQ(sphere.vertices.size(), 642u);
    for (const Vertex& v : sphere.vertices) {
        EXPECT_NEAR(std::fabs(v.k1), 1.0f / radius, 0.05f / radius);
        EXPECT_NEAR(std::fabs(v.k2), 1.0f / radius, 0.05f / radius);
        EXPECT_GT(v.k1 * v.k2, 0.0f);
        // The fitted normal is the radial direction (its sign follows the ring's order).
        EXPECT_NEAR(std::fabs(dot(v.normal, normalised(v.position))), 1.0f, 1e-3f);
        // Equal curvatures give no direction to follow.
        EXPECT_EQ(v.reliable, 0);
    }
}

TEST(Curvature, CylinderIsCurvedAroundItsAxisAndStraightAlongIt)
{
    const float radius = 1.0f;
    const int around = 32, rings = 21;
    const float height = static_cast<float>(rings - 1) * 2.0f * 3.1415927f / around * 0.8660254f;
    const LWObject tube = withCurvature(ObjectWriter::cylinder(radius, height, around, rings));
    int checked = 0;
    for (std::size_t i = 2 * around; i < static_cast<std::size_t>((rings - 2) * around); ++i) {
        const Vertex& v = tube.vertices[i];
        EXPECT_NEAR(std::fabs(v.k1), 1.0f / radius, 0.03f);
        EXPECT_NEAR(v.k2, 0.0f, 0.03f);
        // The direction of k1 runs around the axis: across y and across the normal.
        EXPECT_NEAR(v.tangent.y, 0.0f, 0.02f);
        EXPECT_NEAR(dot(v.tangent, normalised(Vector3{v.position.x, 0, v.position.z})), 0.0f, 0.02f);
        EXPECT_NEAR(length(v.tangent), 1.0f, 1e-5f);
        EXPECT_NEAR(dot(v.binormal, cross(v.normal, v.tangent)), 1.0f, 1e-5f);
        EXPECT_EQ(v.reliable, 1);
        ++checked;
    }
    EXPECT_EQ(checked, 17 * around);
}

TEST(Curvature, FlatInteriorVertexIsUnreliableWithZeroCurvatures)
{
    // A 3 x 3 grid of points with all diagonals the same way: the centre has valence 6.
    std::vector<std::vector<float>> points;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            points.push_back({static_cast<float>(x), static_cast<float>(y), 0});
    std::vector<std::vector<std::uint32_t>> corners;
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t x = 0; x < 2; ++x) {
            const std::uint32_t a = y * 3 + x;
            corners.push_back({a, a + 1, a + 4});
            corners.push_back({a, a + 4, a + 3});
        }
    const LWObject grid = withCurvature(test::triangles(points, corners));
    EXPECT_EQ(Neighbourhood(grid, 4).entries.size(), 6u);
    const Vertex& centre = grid.vertices[4];
    EXPECT_NEAR(centre.k1, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.k2, 0.0f, 1e-6f);
    EXPECT_EQ(centre.reliable, 0);
    EXPECT_NEAR(std::fabs(centre.normal.z), 1.0f, 1e-6f);
}

TEST(Curvature, UnusedVertexKeepsItsFields)
{
    LWObject object = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}}));
    object.vertices[3].tangent = {7, 8, 9};
    CalculateAdjacency(object);
    CalculateCurvature(object);
    EXPECT_EQ(object.vertices[3].tangent, (Vector3{7, 8, 9}));
    EXPECT_EQ(object.vertices[3].reliable, 0);
}

TEST(Curvature, NonManifoldMeshIsRefused)
{
    LWObject fin = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
                                        {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}));
    CalculateAdjacency(fin);
    EXPECT_FATAL(CalculateCurvature(fin),
                 "can't calculate curvature: 'shape.lwo' contains 1 edges which are shared by more than 2 polygons");
}

// ---- tangent interpolation

// A strip of 7 x 2 points along x in the plane z = 0; point (i, j) is 2i + j. The ring
// distance from (i, 0) to (k, 0) is |i - k|.
ObjectWriter strip()
{
    std::vector<std::vector<float>> points;
    for (int i = 0; i < 7; ++i) {
        points.push_back({static_cast<float>(i), 0, 0});
        points.push_back({static_cast<float>(i), 1, 0});
    }
    std::vector<std::vector<std::uint32_t>> corners;
    for (std::uint32_t i = 0; i < 6; ++i) {
        corners.push_back({2 * i, 2 * i + 2, 2 * i + 3});
        corners.push_back({2 * i, 2 * i + 3, 2 * i + 1});
    }
    // A triangle of its own, far away.
    points.push_back({20, 0, 0});
    points.push_back({21, 0, 0});
    points.push_back({20, 1, 0});
    corners.push_back({14, 15, 16});
    return test::triangles(points, corners);
}

LWObject stripWithTwoDirections()
{
    LWObject object = load(strip());
    CalculateAdjacency(object);
    for (Vertex& v : object.vertices) {
        v.reliable = 0;
        v.tangent = {0, 0, 1};
    }
    object.vertices[0].reliable = 1;
    object.vertices[0].tangent = {2, 0, 2};   // projected into the plane: (1, 0, 0)
    object.vertices[12].reliable = 1;
    object.vertices[12].tangent = {0, 1, 0};
    return object;
}

TEST(InterpolateTangents, DirectionsAreWeightedByTheGaussianOfTheRingDistance)
{
    LWObject object = stripWithTwoDirections();
    InterpolateTangents(object, 1.0f);
    // Point (2, 0) is 2 rings from the (1, 0, 0) of point 0 and 4 from the (0, 1, 0) of
    // point 12: weights e^(-4/2) and e^(-16/2).
    const Vector3 expected = normalised(Vector3{std::exp(-2.0f), std::exp(-8.0f), 0});
    const Vertex& v = object.vertices[4];
    EXPECT_NEAR(v.tangent.x, expected.x, 1e-6f);
    EXPECT_NEAR(v.tangent.y, expected.y, 1e-6f);
    EXPECT_NEAR(v.tangent.z, 0.0f, 1e-6f);
    const Vector3 binormal = cross(v.normal, v.tangent);
    EXPECT_NEAR(v.binormal.x, binormal.x, 1e-6f);
    EXPECT_NEAR(v.binormal.y, binormal.y, 1e-6f);
}

TEST(InterpolateTangents, WithSmallSigmaAVertexTakesItsNearestReliableDirection)
{
    LWObject object = stripWithTwoDirections();
    InterpolateTangents(object, 0.25f);
    EXPECT_NEAR(object.vertices[2].tangent.x, 1.0f, 1e-6f);    // (1, 0): next to point 0
    EXPECT_NEAR(object.vertices[10].tangent.y, 1.0f, 1e-6f);   // (5, 0): next to point 12
    EXPECT_NEAR(object.vertices[0].tangent.x, 1.0f, 1e-6f);    // its own, projected
}

TEST(InterpolateTangents, DirectionsOfOppositeSignReinforceEachOther)
{
    // Points 0 and 8 lie 2 rings either side of point 4 and name the same line with
    // opposite signs.
    LWObject object = stripWithTwoDirections();
    object.vertices[12].reliable = 0;
    object.vertices[8].reliable = 1;
    object.vertices[8].tangent = {-1, 0, 0};
    InterpolateTangents(object, 1.0f);
    EXPECT_NEAR(std::fabs(object.vertices[4].tangent.x), 1.0f, 1e-6f);
}

TEST(InterpolateTangents, APartWithoutReliableVerticesGetsNoDirection)
{
    LWObject object = stripWithTwoDirections();
    InterpolateTangents(object, 100.0f);
    for (std::size_t i = 14; i < 17; ++i)
        EXPECT_EQ(object.vertices[i].tangent, (Vector3{0, 0, 0}));
    EXPECT_NEAR(length(object.vertices[6].tangent), 1.0f, 1e-6f);
}

TEST(InterpolateTangents, CylinderDirectionsStayAroundTheAxis)
{
    // Away from the open ends (whose rings are only half rings) every direction runs
    // around the axis; some point one way round and some the other, which must not
    // cancel out.
    const int around = 32, rings = 31;
    LWObject tube = load(ObjectWriter::cylinder(1.0f, (rings - 1) * 0.17f, around, rings));
    CalculateAdjacency(tube);
    CalculateCurvature(tube);
    int clockwise = 0;
    for (std::size_t i = 12 * around; i < 19 * around; ++i) {
        const Vertex& v = tube.vertices[i];
        clockwise += cross(v.tangent, v.position).y > 0;
    }
    InterpolateTangents(tube, 1.5f);
    for (std::size_t i = 12 * around; i < 19 * around; ++i) {
        const Vertex& v = tube.vertices[i];
        EXPECT_NEAR(v.tangent.y, 0.0f, 0.02f);
        EXPECT_NEAR(dot(v.tangent, normalised(Vector3{v.position.x, 0, v.position.z})), 0.0f, 0.02f);
        EXPECT_NEAR(length(v.tangent), 1.0f, 1e-5f);
    }
    EXPECT_GT(clockwise, 0);
    EXPECT_LT(clockwise, 7 * around);
}

}  // namespace
}  // namespace mirva
