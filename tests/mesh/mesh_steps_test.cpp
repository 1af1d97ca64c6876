// The mesh steps on objects the loader read: edges and triangle neighbours, the ring walk
// around a vertex, Loop subdivision, principal curvatures and directions of shapes whose
// curvature is known, the directions interpolated between the reliable ones, and all of
// them on objects of the assimp test models (package assimp-testmodels).
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "mesh/curvature.h"
#include "mesh/subdivision.h"
#include "mesh/tangents.h"
#include "mesh/topology.h"
#include "tests/mesh/shapes.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using test::load;
using test::withAdjacency;

// How triangles point at their neighbours, and the edge table's order by vertex pair,
// show in every step that walks the mesh: the ring walk, subdivision, curvature and the
// tangents' ring distances.
TEST(Adjacency, AClosedCubeHasEighteenEdgesAndAFinIsRefused)
{
    LWObject cube = withAdjacency(ObjectWriter::box(0, 0, 0, 1, 1, 1));
    CalculateAdjacency(cube);   // again: the table is rebuilt, not added to
    ASSERT_EQ(cube.edges.size(), 18u);   // 12 cube edges and one diagonal per face
    EXPECT_EQ(cube.nonManifold, 0);

    // An edge of three triangles is counted and stops every step that walks the mesh.
    LWObject fin = withAdjacency(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
                                                 {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}));
    EXPECT_EQ(fin.nonManifold, 1);
    const std::string shared = ": 'shape.lwo' contains 1 edges which are shared by more than 2 polygons";
    EXPECT_FATAL(Subdivide(fin, 1), "can't subdivide" + shared);
    EXPECT_FATAL(Neighbourhood(fin, 0), "can't traverse neighbourhood" + shared);
    EXPECT_FATAL(CalculateCurvature(fin), "can't calculate curvature" + shared);
}

TEST(Neighbourhood, ABoundaryVertexHasAnOpenRingAnUnusedOneNoneAndAWrongWindingStopsTheWalk)
{
    // A fan of three triangles around vertex 0: 1, 2, 3, 4 around it, open between 4 and
    // 1; point 5 is used by no triangle.
    const LWObject fan = withAdjacency(
        test::triangles({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}, {5, 5, 5}},
                        {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));
    // The corner reference of vertex 0 names the last triangle, (0, 3, 4), corner 0.
    EXPECT_EQ(fan.vertices[0].corner, 8);
    const Ring ring = Neighbourhood(fan, 0);
    EXPECT_TRUE(ring.open);
    // Forward from corner 0 of (0, 3, 4): 3, then across 0-3 into (0, 2, 3): 2, then 1;
    // backward from the same triangle: 4. The start triangle is counted by both walks.
    std::vector<std::pair<int, int>> entries;
    for (const RingEntry& entry : ring.entries)
        entries.emplace_back(entry.vertex, entry.position);
    EXPECT_EQ(entries, (std::vector<std::pair<int, int>>{{3, 0}, {2, 1}, {1, 2}, {4, -1}}));
    EXPECT_EQ((std::vector<int>{ring.lastBoundary, ring.firstBoundary, ring.triangles}), (std::vector<int>{1, 4, 4}));
    const Ring none = Neighbourhood(fan, 5);
    EXPECT_TRUE(none.entries.empty() && none.triangles == 0);

    // A neighbour wound the other way (against triangle 0 across their edge 0-1) ends the
    // walk instead of looping forever.
    const Ring stopped = Neighbourhood(
        withAdjacency(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}}, {{0, 1, 2}, {0, 1, 3}})), 0);
    EXPECT_TRUE(stopped.open && stopped.entries.size() <= 3u);
}

LWObject subdivided(const ObjectWriter& writer, int steps)
{
    LWObject object = test::withAdjacency(writer);
    Subdivide(object, steps);
    return object;
}

void expectNear(const Vector3& a, const Vector3& b)
{
    EXPECT_LT(length(a - b), 1e-5f) << a.x << " " << a.y << " " << a.z << " is not " << b.x << " " << b.y << " " << b.z;
}

// Vertices, triangles, edges, boundary edges and edges of more than two triangles.
std::vector<std::size_t> counts(const LWObject& object)
{
    const auto boundary =
        std::count_if(object.edges.begin(), object.edges.end(), [](const Edge& e) { return e.second == -1; });
    return {object.vertices.size(), object.triangles.size(), object.edges.size(), static_cast<std::size_t>(boundary),
            static_cast<std::size_t>(object.nonManifold)};
}

// New vertices come in no order of their own: whether one lies at p.
bool hasVertexAt(const LWObject& object, const Vector3& p)
{
    return std::any_of(object.vertices.begin(), object.vertices.end(),
                       [&](const Vertex& v) { return length(v.position - p) < 1e-5f; });
}

// Each step cuts every triangle and moves the vertices by the Loop masks; children keep
// their parent's surface and winding, and every attribute is blended alike.
TEST(Subdivide, TrianglesAreCutAndVerticesMovedByTheLoopMasks)
{
    // A square of four triangles around a raised centre has a boundary rim.
    const ObjectWriter tetrahedron = ObjectWriter::tetrahedron(), box = ObjectWriter::box(-1, -2, -3, 2, 1, 0);
    const ObjectWriter raised = test::triangles({{0, 0, 0}, {2, 0, 0}, {2, 2, 1}, {0, 2, 0}, {1, 1, 3}},
                                                {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}});
    const ObjectWriter lone = test::triangles({{0, 0, 0}, {4, 0, 0}, {0, 8, 0}}, {{0, 1, 2}});
    const std::tuple<const ObjectWriter&, int, std::vector<std::size_t>> cases[] = {
        {tetrahedron, 0, {4, 4, 6, 0, 0}}, {tetrahedron, 1, {10, 16, 24, 0, 0}},
        {box, 1, {26, 48, 72, 0, 0}},      {box, 2, {98, 192, 288, 0, 0}},
        {raised, 1, {13, 16, 28, 8, 0}},   {lone, 1, {6, 4, 9, 6, 0}},
    };
    for (const auto& [shape, steps, expected] : cases)
        EXPECT_EQ(counts(subdivided(shape, steps)), expected) << expected[0];

    // The tetrahedron's corners sum to zero. With beta = 3/16 for three neighbours a corner
    // goes to 7/16 v - 3/16 v = v / 4; an edge point to 3/8 (a + b) + 1/8 (c + d) = (a + b) / 4.
    const LWObject four = subdivided(tetrahedron, 1);
    expectNear(four.vertices[2].position, {-0.25f, 0.25f, -0.25f});
    EXPECT_TRUE(hasVertexAt(four, {0.5f, 0, 0}));
    // The raised centre has four neighbours, beta = 3/32: 5/8 (1, 1, 3) + 3/32 (4, 4, 1). A rim
    // corner follows its rim neighbours only: 3/4 (2, 0, 0) + 1/8 ((0, 0, 0) + (2, 2, 1)) and
    // 3/4 (0, 0, 0) + 1/8 ((2, 0, 0) + (0, 2, 0)). The point on edge 0-4 is
    // 3/8 ((0, 0, 0) + (1, 1, 3)) + 1/8 ((2, 0, 0) + (0, 2, 0)); the one on the rim edge 1-2
    // its middle.
    const LWObject rim = subdivided(raised, 1);
    expectNear(rim.vertices[4].position, {1, 1, 1.96875f});
    expectNear(rim.vertices[1].position, {1.75f, 0.25f, 0.125f});
    expectNear(rim.vertices[0].position, {0.25f, 0.25f, 0});
    EXPECT_TRUE(hasVertexAt(rim, {0.625f, 0.625f, 1.125f}) && hasVertexAt(rim, {2, 1, 0.5f}));

    // A square of a red and a blue triangle with u = x and v = y at every point; the masks
    // are affine, so that stays true. The object comes without adjacency, which the step
    // works out first.
    ObjectWriter writer = test::triangles({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {});
    writer.addSurface("Red", 1, 0, 0);
    writer.addSurface("Blue", 0, 0, 1);
    writer.addPolygon({0, 1, 2}, 0);
    writer.addPolygon({0, 2, 3}, 1);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0, 1}}, {1, -1, {1, 1}}, {2, -1, {1, 0}}, {3, -1, {0, 0}}});
    LWObject object = load(writer);
    Subdivide(object, 2);
    EXPECT_EQ(counts(object), (std::vector<std::size_t>{25, 32, 56, 16, 0}));
    EXPECT_EQ(std::pair(object.surfaces[0].triangles, object.surfaces[1].triangles), std::pair(16, 16));
    for (const Triangle& t : object.triangles) {
        expectNear(t.normal, {0, 0, 1});
        EXPECT_GT(t.area, 0.0f);
    }
    for (const Vertex& v : object.vertices)
        EXPECT_TRUE(std::fabs(v.u - v.position.x) < 1e-5f && std::fabs(v.v - v.position.y) < 1e-5f &&
                    std::fabs(length(v.normal) - 1.0f) < 1e-5f);
}

// A sphere has equal curvatures of one over its radius; a flat vertex has none and is
// unreliable; an unused vertex keeps its fields; a cylinder curves around its axis.
TEST(Curvature, SphereFlatUnusedAndCylinderVertices)
{
    LWObject sphere = withAdjacency(ObjectWriter::geodesicSphere(2.0f, 3));
    CalculateCurvature(sphere);
    // The fitted normal is the radial direction (its sign follows the ring's order);
    // equal curvatures give no direction to follow.
    for (const Vertex& v : sphere.vertices)
        EXPECT_TRUE(std::fabs(std::fabs(v.k1) - 0.5f) < 0.025f && std::fabs(std::fabs(v.k2) - 0.5f) < 0.025f &&
                    v.k1 * v.k2 > 0.0f && std::fabs(std::fabs(dot(v.normal, normalised(v.position))) - 1.0f) < 1e-3f &&
                    v.reliable == 0)
            << v.k1 << " " << v.k2 << " at " << v.position.x << " " << v.position.y << " " << v.position.z;

    // A 3 x 3 grid of points with all diagonals the same way: the centre has six neighbours.
    // Point 9 is used by no triangle.
    LWObject grid = withAdjacency(test::triangles(
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0}, {5, 5, 5}},
        {{0, 1, 4}, {0, 4, 3}, {1, 2, 5}, {1, 5, 4}, {3, 4, 7}, {3, 7, 6}, {4, 5, 8}, {4, 8, 7}}));
    grid.vertices[9].tangent = {7, 8, 9};
    CalculateCurvature(grid);
    const Vertex& centre = grid.vertices[4];
    EXPECT_TRUE(std::fabs(centre.k1) < 1e-6f && std::fabs(centre.k2) < 1e-6f && centre.reliable == 0 &&
                std::fabs(std::fabs(centre.normal.z) - 1.0f) < 1e-6f);
    EXPECT_TRUE(grid.vertices[9].tangent == (Vector3{7, 8, 9}) && grid.vertices[9].reliable == 0);

    // Away from the open ends, whose rings are only half rings, a tube of radius 1 curves
    // across its axis and not along it, and its direction runs around the axis.
    const std::size_t around = 32, rings = 31;
    LWObject tube = withAdjacency(ObjectWriter::cylinder(1.0f, (rings - 1) * 0.17f, around, rings));
    CalculateCurvature(tube);
    for (std::size_t i = 2 * around; i < (rings - 2) * around; ++i) {
        const Vertex& v = tube.vertices[i];
        EXPECT_NEAR(std::fabs(v.k1), 1.0f, 0.03f);
        EXPECT_NEAR(v.k2, 0.0f, 0.03f);
        EXPECT_NEAR(v.tangent.y, 0.0f, 0.02f);
        EXPECT_NEAR(dot(v.tangent, normalised(Vector3{v.position.x, 0, v.position.z})), 0.0f, 0.02f);
        EXPECT_NEAR(length(v.tangent), 1.0f, 1e-5f);
        EXPECT_NEAR(dot(v.binormal, cross(v.normal, v.tangent)), 1.0f, 1e-5f);
        EXPECT_EQ(v.reliable, 1);
    }
}

// A strip of 6 x 1 grid squares in the plane y = 0, its first row the points 0 to 6, so
// that the ring distance from point i to point k is |i - k|, and a triangle of its own
// far away (points 14 to 16), with tangents interpolated. Point 0 has the reliable
// direction (2, 2, 0), which is (1, 0, 0) in the plane, and point `other` has `direction`;
// the rest are unreliable.
LWObject interpolated(float sigma, std::size_t other = 6, Vector3 direction = {0, 0, 1})
{
    ObjectWriter writer = ObjectWriter::grid(6, 1);
    writer.addPoint(20, 0, 0);
    writer.addPoint(21, 0, 0);
    writer.addPoint(20, 0, 1);
    writer.addPolygon({14, 15, 16});
    LWObject object = withAdjacency(writer);
    for (Vertex& v : object.vertices)
        std::tie(v.reliable, v.tangent) = std::tuple(0, Vector3{0, 1, 0});
    object.vertices[0].reliable = object.vertices[other].reliable = 1;
    object.vertices[0].tangent = {2, 2, 0};
    object.vertices[other].tangent = direction;
    InterpolateTangents(object, sigma);
    return object;
}

TEST(InterpolateTangents, DirectionsAreWeightedByTheGaussianOfTheRingDistance)
{
    // Point 2 is 2 rings from point 0 and 4 from point 6: weights e^(-4/2) and e^(-16/2).
    const LWObject object = interpolated(1.0f);
    const Vertex& v = object.vertices[2];
    const Vector3 expected = normalised(Vector3{std::exp(-2.0f), 0, std::exp(-8.0f)});
    const Vector3 binormal = cross(v.normal, v.tangent);
    for (const auto& [found, wanted] : {std::pair{v.tangent, expected}, {v.binormal, binormal}})
        EXPECT_TRUE(length(found - wanted) < 1e-6f) << found.x << " " << found.y << " " << found.z;

    // With a small sigma a vertex takes its nearest reliable direction.
    const LWObject narrow = interpolated(0.25f);
    EXPECT_NEAR(narrow.vertices[1].tangent.x, 1.0f, 1e-6f);
    EXPECT_NEAR(narrow.vertices[5].tangent.z, 1.0f, 1e-6f);

    // With a large one every vertex of the strip gets a direction; the far triangle, which
    // has no reliable vertex and no path to one, gets none.
    const LWObject wide = interpolated(100.0f);
    EXPECT_NEAR(length(wide.vertices[3].tangent), 1.0f, 1e-6f);
    for (std::size_t i = 14; i < 17; ++i)
        EXPECT_EQ(wide.vertices[i].tangent, (Vector3{0, 0, 0}));

    // Points 0 and 4, 2 rings either side of point 2, name the same line with opposite
    // signs: they reinforce each other.
    EXPECT_NEAR(std::fabs(interpolated(1.0f, 4, {-1, 0, 0}).vertices[2].tangent.x), 1.0f, 1e-6f);
}

const std::filesystem::path kModels = "/usr/share/assimp/models";

// A sphere of the test models stays closed through two steps (V - E + T = 2, no boundary)
// and the curvature steps keep its normals whole, at its many-sided poles too.
TEST(RealObjects, SubdividedSphereStaysClosedAndItsNormalsWhole)
{
    if (!std::filesystem::is_directory(kModels))
        GTEST_SKIP() << "the assimp test models are not installed (package assimp-testmodels)";
    LWObject sphere = LWObject::Load((kModels / "LWO/LWO2/sphere_with_mat_gloss_10pc.lwo").string());
    Subdivide(sphere, 2);
    EXPECT_EQ(counts(sphere), (std::vector<std::size_t>{266 + 792 + 3168, 528 * 16, 4 * 3168, 0, 0}));
    CalculateCurvature(sphere);
    InterpolateTangents(sphere, 2.0f);
    for (const Vertex& v : sphere.vertices)
        ASSERT_NEAR(length(v.normal), 1.0f, 1e-4f);
}

}  // namespace
}  // namespace mirva
