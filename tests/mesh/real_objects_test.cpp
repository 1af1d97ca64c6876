// The mesh steps on objects of the assimp test models (package assimp-testmodels).
#include <filesystem>

#include <gtest/gtest.h>

#include "mesh/curvature.h"
#include "mesh/subdivision.h"
#include "mesh/tangents.h"
#include "mesh/topology.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

const std::filesystem::path kModels = "/usr/share/assimp/models";

TEST(RealObjects, ClosedSphereHasTwoTrianglesAtEveryEdgeThroughTwoSubdivisions)
{
    if (!std::filesystem::is_directory(kModels))
        GTEST_SKIP() << "the assimp test models are not installed (package assimp-testmodels)";
    LWObject sphere = LWObject::Load((kModels / "LWO/LWO2/sphere_with_mat_gloss_10pc.lwo").string());
    CalculateAdjacency(sphere);
    // Closed: V - E + T = 2 with every edge interior.
    EXPECT_EQ(sphere.edges.size(), 792u);
    for (const Edge& edge : sphere.edges)
        ASSERT_NE(edge.second, -1);
    Subdivide(sphere, 2);
    EXPECT_EQ(sphere.vertices.size(), 266u + 792u + 3168u);
    EXPECT_EQ(sphere.triangles.size(), 528u * 16u);
    EXPECT_EQ(sphere.edges.size(), 4u * 3168u);
    for (const Edge& edge : sphere.edges)
        ASSERT_NE(edge.second, -1);
    CalculateCurvature(sphere);
    InterpolateTangents(sphere, 2.0f);
    for (const Vertex& v : sphere.vertices)
        ASSERT_NEAR(length(v.normal), 1.0f, 1e-4f);
}

TEST(RealObjects, FanOfAConcavePolygonSharesEdgesAndCannotBeSubdivided)
{
    if (!std::filesystem::is_directory(kModels))
        GTEST_SKIP() << "the assimp test models are not installed (package assimp-testmodels)";
    const std::string file = (kModels / "LWO/LWO2/concave_polygon.lwo").string();
    LWObject object = LWObject::Load(file);
    CalculateAdjacency(object);
    EXPECT_EQ(object.nonManifold, 3);
    EXPECT_FATAL(Subdivide(object, 1),
                 "can't subdivide: '" + file + "' contains 3 edges which are shared by more than 2 polygons");
}

}  // namespace
}  // namespace mirva
