// Edges, triangle neighbours and the ring walk around a vertex.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "mesh/subdivision.h"
#include "mesh/topology.h"
#include "tests/mesh/shapes.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using test::load;

// The corners of edge k of a triangle as an unordered pair.
std::pair<int, int> edgeOf(const Triangle& t, int k)
{
    return std::minmax(t.v[k], t.v[(k + 1) % 3]);
}

TEST(Adjacency, EveryEdgeOfAClosedCubeHasTwoTrianglesThatPointAtEachOther)
{
    LWObject cube = load(ObjectWriter::box(0, 0, 0, 1, 1, 1));
    CalculateAdjacency(cube);
    // 12 cube edges and one diagonal per face.
    ASSERT_EQ(cube.edges.size(), 18u);
    EXPECT_EQ(cube.nonManifold, 0);
    for (std::size_t e = 0; e < cube.edges.size(); ++e) {
        const Edge& edge = cube.edges[e];
        EXPECT_LT(edge.low, edge.high);
        EXPECT_NE(edge.second, -1) << "edge " << e << " is a boundary";
        if (e > 0) {
            EXPECT_LT(std::make_pair(cube.edges[e - 1].low, cube.edges[e - 1].high), std::make_pair(edge.low, edge.high));
        }
    }
    for (std::size_t t = 0; t < cube.triangles.size(); ++t)
        for (int k = 0; k < 3; ++k) {
            const Triangle& triangle = cube.triangles[t];
            ASSERT_GE(triangle.neighbour[k], 0);
            const Triangle& other = cube.triangles[static_cast<std::size_t>(triangle.neighbour[k])];
            const int j = triangle.neighbourEdge[k];
            EXPECT_EQ(edgeOf(other, j), edgeOf(triangle, k));
            EXPECT_EQ(other.neighbour[j], static_cast<int>(t));
            EXPECT_EQ(other.neighbourEdge[j], k);
        }
}

TEST(Adjacency, ASingleTriangleHasThreeBoundaryEdges)
{
    LWObject one = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}));
    CalculateAdjacency(one);
    ASSERT_EQ(one.edges.size(), 3u);
    for (const Edge& edge : one.edges) {
        EXPECT_EQ(edge.first, 0);
        EXPECT_EQ(edge.second, -1);
    }
    EXPECT_EQ(one.triangles[0].neighbour[0], -1);
}

TEST(Adjacency, TwoTrianglesNameTheSharedEdgeAsTheOtherNumbersIt)
{
    // Triangle 0 = (0, 1, 2) shares its edge 1 (1-2) with triangle 1 = (2, 1, 3) as its edge 0.
    LWObject two = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {2, 1, 3}}));
    CalculateAdjacency(two);
    EXPECT_EQ(two.edges.size(), 5u);
    EXPECT_EQ(two.triangles[0].neighbour[1], 1);
    EXPECT_EQ(two.triangles[0].neighbourEdge[1], 0);
    EXPECT_EQ(two.triangles[1].neighbour[0], 0);
    EXPECT_EQ(two.triangles[1].neighbourEdge[0], 1);
    EXPECT_EQ(two.triangles[0].neighbour[0], -1);
    EXPECT_EQ(two.triangles[1].neighbour[2], -1);
}

TEST(Adjacency, AnEdgeOfThreeTrianglesIsCountedAndStopsTheWalkingSteps)
{
    LWObject fin = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}},
                                        {{0, 1, 2}, {1, 0, 3}, {0, 1, 4}}));
    CalculateAdjacency(fin);
    EXPECT_EQ(fin.nonManifold, 1);
    EXPECT_FATAL(Subdivide(fin, 1),
                 "can't subdivide: 'shape.lwo' contains 1 edges which are shared by more than 2 polygons");
    EXPECT_FATAL(Neighbourhood(fin, 0),
                 "can't traverse neighbourhood: 'shape.lwo' contains 1 edges which are shared by more than 2 polygons");
}

TEST(Adjacency, RecalculatingGivesTheSameTable)
{
    LWObject cube = load(ObjectWriter::box(0, 0, 0, 1, 1, 1));
    CalculateAdjacency(cube);
    const std::vector<Edge> first = cube.edges;
    CalculateAdjacency(cube);
    ASSERT_EQ(cube.edges.size(), first.size());
    for (std::size_t e = 0; e < first.size(); ++e) {
        EXPECT_EQ(cube.edges[e].first, first[e].first);
        EXPECT_EQ(cube.edges[e].second, first[e].second);
    }
}

TEST(Neighbourhood, AClosedRingHoldsEveryNeighbourOnceInOrder)
{
    LWObject cube = load(ObjectWriter::box(0, 0, 0, 1, 1, 1));
    CalculateAdjacency(cube);
    for (std::int32_t v = 0; v < 8; ++v) {
        const Ring ring = Neighbourhood(cube, v);
        EXPECT_FALSE(ring.open);
        // The neighbours are exactly the vertices that share a triangle with v.
        std::set<int> expected;
        int fan = 0;
        for (const Triangle& t : cube.triangles)
            if (std::count(std::begin(t.v), std::end(t.v), v)) {
                ++fan;
                for (int c : t.v)
                    if (c != v)
                        expected.insert(c);
            }
        std::set<int> found;
        for (std::size_t i = 0; i < ring.entries.size(); ++i) {
            found.insert(ring.entries[i].vertex);
            EXPECT_EQ(ring.entries[i].position, static_cast<int>(i));
        }
        EXPECT_EQ(found, expected);
        EXPECT_EQ(ring.entries.size(), expected.size());
        EXPECT_EQ(ring.triangles, fan);
        // Consecutive neighbours share a triangle with v.
        for (std::size_t i = 0; i < ring.entries.size(); ++i) {
            const int a = ring.entries[i].vertex, b = ring.entries[(i + 1) % ring.entries.size()].vertex;
            const bool shared = std::any_of(cube.triangles.begin(), cube.triangles.end(), [&](const Triangle& t) {
                return std::count(std::begin(t.v), std::end(t.v), v) && std::count(std::begin(t.v), std::end(t.v), a) &&
                       std::count(std::begin(t.v), std::end(t.v), b);
            });
            EXPECT_TRUE(shared) << "vertex " << v << " neighbours " << a << ", " << b;
        }
    }
}

TEST(Neighbourhood, ABoundaryVertexHasAnOpenRingWithBothBoundaryNeighbours)
{
    // A fan of three triangles around vertex 0: 1, 2, 3, 4 around it, open between 4 and 1.
    LWObject fan = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {-1, 1, 0}},
                                        {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));
    CalculateAdjacency(fan);
    // The corner reference of vertex 0 names the last triangle, (0, 3, 4), corner 0.
    EXPECT_EQ(fan.vertices[0].corner, 8);
    const Ring ring = Neighbourhood(fan, 0);
    EXPECT_TRUE(ring.open);
    // Forward from corner 0 of (0, 3, 4): 3, then across 0-3 into (0, 2, 3): 2, then 1;
    // backward from the same triangle: 4.
    ASSERT_EQ(ring.entries.size(), 4u);
    const std::pair<int, int> expected[4] = {{3, 0}, {2, 1}, {1, 2}, {4, -1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ring.entries[static_cast<std::size_t>(i)].vertex, expected[i].first);
        EXPECT_EQ(ring.entries[static_cast<std::size_t>(i)].position, expected[i].second);
    }
    EXPECT_EQ(ring.lastBoundary, 1);
    EXPECT_EQ(ring.firstBoundary, 4);
    // The start triangle is counted by both walks.
    EXPECT_EQ(ring.triangles, 4);
}

TEST(Neighbourhood, AnUnusedVertexHasAnEmptyRing)
{
    LWObject object = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}}));
    CalculateAdjacency(object);
    const Ring ring = Neighbourhood(object, 3);
    EXPECT_TRUE(ring.entries.empty());
    EXPECT_EQ(ring.triangles, 0);
}

TEST(Neighbourhood, ANeighbourWoundTheOtherWayEndsTheWalkInsteadOfLoopingForever)
{
    // Triangle 1 is wound against triangle 0 across their shared edge 0-1.
    LWObject object = load(test::triangles({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}}, {{0, 1, 2}, {0, 1, 3}}));
    CalculateAdjacency(object);
    const Ring ring = Neighbourhood(object, 0);
    EXPECT_TRUE(ring.open);
    EXPECT_LE(ring.entries.size(), 3u);
}

}  // namespace
}  // namespace mirva
