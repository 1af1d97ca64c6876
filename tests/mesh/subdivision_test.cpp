// Loop subdivision: counts, the even and odd masks, attributes, surfaces and winding.
#include <algorithm>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "mesh/subdivision.h"
#include "mesh/topology.h"
#include "tests/mesh/shapes.h"

namespace mirva {
namespace {

using test::load;

LWObject subdivided(const ObjectWriter& writer, int steps)
{
    LWObject object = load(writer);
    CalculateAdjacency(object);
    Subdivide(object, steps);
    return object;
}

void expectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool before(const Vector3& a, const Vector3& b)
{
    if (std::abs(a.x - b.x) > 1e-4f)
        return a.x < b.x;
    if (std::abs(a.y - b.y) > 1e-4f)
        return a.y < b.y;
    return a.z < b.z;
}

// The Loop masks worked out from the triangle list alone: every vertex pair that shares
// a triangle is an edge, an edge of one triangle is a boundary.
struct Masks {
    std::vector<Vector3> even;
    std::vector<Vector3> odd;
};

Masks loopMasks(const LWObject& object)
{
    std::map<std::pair<int, int>, std::vector<int>> opposite;   // edge -> opposite corners
    for (const Triangle& t : object.triangles)
        for (int k = 0; k < 3; ++k)
            opposite[std::minmax(t.v[k], t.v[(k + 1) % 3])].push_back(t.v[(k + 2) % 3]);
    auto at = [&](int i) { return object.vertices[static_cast<std::size_t>(i)].position; };
    Masks masks;
    for (const auto& [edge, corners] : opposite) {
        if (corners.size() == 1)
            masks.odd.push_back(0.5f * (at(edge.first) + at(edge.second)));
        else
            masks.odd.push_back(0.375f * (at(edge.first) + at(edge.second)) + 0.125f * (at(corners[0]) + at(corners[1])));
    }
    for (int v = 0; v < static_cast<int>(object.vertices.size()); ++v) {
        std::set<int> neighbours, boundary;
        for (const auto& [edge, corners] : opposite) {
            if (edge.first != v && edge.second != v)
                continue;
            const int other = edge.first == v ? edge.second : edge.first;
            neighbours.insert(other);
            if (corners.size() == 1)
                boundary.insert(other);
        }
        Vector3 sum;
        if (!boundary.empty()) {
            for (int b : boundary)
                sum += at(b);
            masks.even.push_back(0.75f * at(v) + 0.125f * sum);
            continue;
        }
        const float n = static_cast<float>(neighbours.size());
        const float beta = neighbours.size() == 3 ? 3.0f / 16.0f : 3.0f / (8.0f * n);
        for (int b : neighbours)
            sum += at(b);
        masks.even.push_back((1.0f - n * beta) * at(v) + beta * sum);
    }
    return masks;
}

void expectLoopMasks(const ObjectWriter& writer)
{
    LWObject object = load(writer);
    const Masks masks = loopMasks(object);
    CalculateAdjacency(object);
    const std::size_t oldCount = object.vertices.size();
    Subdivide(object, 1);
    for (std::size_t v = 0; v < oldCount; ++v)
        expectNear(object.vertices[v].position, masks.even[v]);
    std::vector<Vector3> odd;
    for (std::size_t v = oldCount; v < object.vertices.size(); ++v)
        odd.push_back(object.vertices[v].position);
    std::vector<Vector3> expected = masks.odd;
    ASSERT_EQ(odd.size(), expected.size());
    std::sort(odd.begin(), odd.end(), before);
    std::sort(expected.begin(), expected.end(), before);
    for (std::size_t i = 0; i < odd.size(); ++i)
        expectNear(odd[i], expected[i]);
}

int interiorEdges(const LWObject& object)
{
    return static_cast<int>(std::count_if(object.edges.begin(), object.edges.end(),
                                          [](const Edge& e) { return e.second != -1; }));
}

TEST(Subdivide, TetrahedronCountsAfterOneStep)
{
    const LWObject before = subdivided(ObjectWriter::tetrahedron(), 0);
    EXPECT_EQ(before.edges.size(), 6u);
    EXPECT_EQ(interiorEdges(before), 6);
    const LWObject after = subdivided(ObjectWriter::tetrahedron(), 1);
    EXPECT_EQ(after.vertices.size(), 10u);
    EXPECT_EQ(after.triangles.size(), 16u);
    EXPECT_EQ(after.edges.size(), 24u);
    EXPECT_EQ(interiorEdges(after), 24);
}

TEST(Subdivide, TetrahedronVerticesFollowTheValenceThreeMask)
{
    // Corners sum to zero, so the neighbours of a corner V sum to -V: the even mask
    // 7/16 V + 3/16 (-V) gives V / 4, and the odd mask 3/8 (P + Q) + 1/8 (-(P + Q))
    // gives (P + Q) / 4.
    const LWObject after = subdivided(ObjectWriter::tetrahedron(), 1);
    const Vector3 corners[4] = {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
    for (int i = 0; i < 4; ++i)
        expectNear(after.vertices[static_cast<std::size_t>(i)].position, 0.25f * corners[i]);
    std::vector<Vector3> odd, expected;
    for (std::size_t v = 4; v < 10; ++v)
        odd.push_back(after.vertices[v].position);
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            expected.push_back(0.25f * (corners[i] + corners[j]));
    std::sort(odd.begin(), odd.end(), before);
    std::sort(expected.begin(), expected.end(), before);
    for (std::size_t i = 0; i < 6; ++i)
        expectNear(odd[i], expected[i]);
}

TEST(Subdivide, CubeCountsAfterOneAndTwoSteps)
{
    const LWObject one = subdivided(ObjectWriter::box(-1, -1, -1, 1, 1, 1), 1);
    EXPECT_EQ(one.vertices.size(), 26u);
    EXPECT_EQ(one.triangles.size(), 48u);
    EXPECT_EQ(one.edges.size(), 72u);
    EXPECT_EQ(interiorEdges(one), 72);
    const LWObject two = subdivided(ObjectWriter::box(-1, -1, -1, 1, 1, 1), 2);
    EXPECT_EQ(two.vertices.size(), 98u);
    EXPECT_EQ(two.triangles.size(), 192u);
    EXPECT_EQ(two.edges.size(), 288u);
    EXPECT_EQ(two.nonManifold, 0);
}

TEST(Subdivide, CubeVerticesFollowTheLoopMasks)
{
    expectLoopMasks(ObjectWriter::box(-1, -2, -3, 2, 1, 0));
}

TEST(Subdivide, OpenMeshUsesTheBoundaryMasks)
{
    // A square of four triangles around a centre point: the rim is a boundary.
    expectLoopMasks(test::triangles({{0, 0, 0}, {2, 0, 0}, {2, 2, 1}, {0, 2, 0}, {1, 1, 3}},
                                    {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}}));
}

TEST(Subdivide, SingleTriangleBecomesFourWithCornersMovedTowardsTheirNeighbours)
{
    const LWObject after = subdivided(test::triangles({{0, 0, 0}, {4, 0, 0}, {0, 8, 0}}, {{0, 1, 2}}), 1);
    EXPECT_EQ(after.vertices.size(), 6u);
    EXPECT_EQ(after.triangles.size(), 4u);
    expectNear(after.vertices[0].position, {0.5f, 1, 0});   // 0.75 (0,0,0) + 0.125 ((4,0,0) + (0,8,0))
    expectNear(after.vertices[1].position, {3, 1, 0});
    expectNear(after.vertices[2].position, {0.5f, 6, 0});
}

TEST(Subdivide, ChildrenKeepTheirParentsSurfaceAndWinding)
{
    ObjectWriter writer;
    writer.addSurface("Red", 1, 0, 0);
    writer.addSurface("Blue", 0, 0, 1);
    for (const auto& p : std::vector<Vector3>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})
        writer.addPoint(p.x, p.y, p.z);
    writer.addPolygon({0, 1, 2}, 0);
    writer.addPolygon({0, 2, 3}, 1);
    LWObject object = load(writer);
    const Vector3 up = object.triangles[0].normal;
    CalculateAdjacency(object);
    Subdivide(object, 1);
    ASSERT_EQ(object.triangles.size(), 8u);
    int red = 0;
    for (const Triangle& t : object.triangles) {
        red += t.surface == 0;
        expectNear(t.normal, up);
        EXPECT_GT(t.area, 0.0f);
    }
    EXPECT_EQ(red, 4);
    EXPECT_EQ(object.surfaces[0].triangles, 4);
    EXPECT_EQ(object.surfaces[1].triangles, 4);
}

TEST(Subdivide, EveryAttributeIsBlendedWithThePositionsWeights)
{
    // u = x and v = y at every point; the masks are affine, so that stays true.
    ObjectWriter writer = ObjectWriter::tetrahedron();
    std::vector<ObjectWriter::MapEntry> uv;
    const float corners[4][3] = {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
    for (std::uint32_t i = 0; i < 4; ++i)
        uv.push_back({i, -1, {corners[i][0], 1 - corners[i][1]}});
    writer.addVertexMap("TXUV", "uv", 2, uv);
    const LWObject after = subdivided(writer, 2);
    for (const Vertex& v : after.vertices) {
        EXPECT_NEAR(v.u, v.position.x, 1e-5f);
        EXPECT_NEAR(v.v, v.position.y, 1e-5f);
        EXPECT_NEAR(length(v.normal), 1.0f, 1e-5f);
    }
}

TEST(Subdivide, ZeroStepsLeaveTheMeshAsItWas)
{
    LWObject cube = load(ObjectWriter::box(0, 0, 0, 1, 1, 1));
    CalculateAdjacency(cube);
    const std::vector<Vertex> vertices = cube.vertices;
    Subdivide(cube, 0);
    ASSERT_EQ(cube.vertices.size(), vertices.size());
    EXPECT_EQ(cube.triangles.size(), 12u);
    for (std::size_t i = 0; i < vertices.size(); ++i)
        EXPECT_EQ(cube.vertices[i].position, vertices[i].position);
}

TEST(Subdivide, WithoutAdjacencyItIsCalculatedFirst)
{
    LWObject tetrahedron = load(ObjectWriter::tetrahedron());
    Subdivide(tetrahedron, 1);
    EXPECT_EQ(tetrahedron.vertices.size(), 10u);
    EXPECT_EQ(tetrahedron.edges.size(), 24u);
}

}  // namespace
}  // namespace mirva
