// Object loading and the mesh steps on a torus of 20,000 triangles (100 x 100 quads): load
// (read and parse of the LWO2 file), adjacency, two Loop subdivision steps (to 320,000
// triangles), curvature and tangent interpolation (sigma 2, as the painterly style uses)
// of the subdivided mesh, then the whole sequence at once. Tangents are also measured on
// the object as loaded (the painterly style's own case: it subdivides 0 steps), and the
// whole sequence on a torus of 1,280 triangles that two steps make 20,480.
//
// Mesh building on the 20,000-triangle torus as loaded (on a headless screen, since the
// primitives keep device buffers): createMesh, createDuplicateVerticesMesh of the torus
// with every other ring of quads in a second surface (so that 10,000 vertices are
// copied), the edge line mesh, the silhouette edges of one view, and the whole of what a
// cartoon object's construction does (load, adjacency, both meshes).
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/headless_screen.h"
#include "lightwave/lw_object.h"
#include "mesh/curvature.h"
#include "mesh/mesh_builder.h"
#include "mesh/tangents.h"
#include "mesh/subdivision.h"
#include "mesh/topology.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

const std::string& objectFile()
{
    static const std::string path = [] {
        const std::string file = "/tmp/mirva_bench_torus.lwo";
        ObjectWriter::torus(2.0f, 0.6f, 100, 100).write(file);
        return file;
    }();
    return path;
}

const std::string& smallObjectFile()
{
    static const std::string path = [] {
        const std::string file = "/tmp/mirva_bench_small_torus.lwo";
        ObjectWriter::torus(2.0f, 0.6f, 32, 20).write(file);
        return file;
    }();
    return path;
}

// The same torus with the quads of every other ring (100 quads each) in a second surface.
const std::string& stripedObjectFile()
{
    static const std::string path = [] {
        const std::string file = "/tmp/mirva_bench_striped_torus.lwo";
        ObjectWriter writer = ObjectWriter::torus(2.0f, 0.6f, 100, 100);
        const int plain = writer.addSurface("Plain", 0.5f, 0.5f, 0.5f);
        const int stripe = writer.addSurface("Stripe", 1.0f, 0.5f, 0.0f);
        for (int quad = 0; quad < writer.polygonCount(); ++quad)
            writer.setPolygonSurface(quad, quad / 100 % 2 == 1 ? stripe : plain);
        writer.write(file);
        return file;
    }();
    return path;
}

LWObject loaded()
{
    return LWObject::Load(objectFile());
}

LWObject subdividedTwice()
{
    LWObject object = loaded();
    CalculateAdjacency(object);
    Subdivide(object, 2);
    return object;
}

void BM_Load(benchmark::State& state)
{
    for (auto _ : state) {
        LWObject object = loaded();
        benchmark::DoNotOptimize(object.triangles.data());
    }
    state.counters["triangles"] = static_cast<double>(loaded().triangles.size());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Adjacency(benchmark::State& state)
{
    LWObject object = loaded();
    for (auto _ : state) {
        CalculateAdjacency(object);
        benchmark::DoNotOptimize(object.edges.data());
    }
}
BENCHMARK(BM_Adjacency)->Unit(benchmark::kMillisecond);

// Times `step` on a fresh copy of `source` each round; the copy is not timed.
template <typename Step>
void onCopies(benchmark::State& state, const LWObject& source, Step step)
{
    for (auto _ : state) {
        state.PauseTiming();
        LWObject object = source;
        state.ResumeTiming();
        step(object);
        benchmark::DoNotOptimize(object.vertices.data());
    }
}

void BM_SubdivideTwoSteps(benchmark::State& state)
{
    LWObject source = loaded();
    CalculateAdjacency(source);
    onCopies(state, source, [](LWObject& object) { Subdivide(object, 2); });
    state.counters["triangles"] = static_cast<double>(subdividedTwice().triangles.size());
}
BENCHMARK(BM_SubdivideTwoSteps)->Unit(benchmark::kMillisecond);

void BM_CurvatureSubdivided(benchmark::State& state)
{
    onCopies(state, subdividedTwice(), [](LWObject& object) { CalculateCurvature(object); });
}
BENCHMARK(BM_CurvatureSubdivided)->Unit(benchmark::kMillisecond);

void BM_InterpolateTangentsSubdivided(benchmark::State& state)
{
    LWObject source = subdividedTwice();
    CalculateCurvature(source);
    onCopies(state, source, [](LWObject& object) { InterpolateTangents(object, 2.0f); });
}
BENCHMARK(BM_InterpolateTangentsSubdivided)->Unit(benchmark::kMillisecond);

void BM_InterpolateTangentsAsLoaded(benchmark::State& state)
{
    LWObject source = loaded();
    CalculateAdjacency(source);
    CalculateCurvature(source);
    onCopies(state, source, [](LWObject& object) { InterpolateTangents(object, 2.0f); });
}
BENCHMARK(BM_InterpolateTangentsAsLoaded)->Unit(benchmark::kMillisecond);

void allSteps(benchmark::State& state, const std::string& file)
{
    std::size_t triangles = 0;
    for (auto _ : state) {
        LWObject object = LWObject::Load(file);
        CalculateAdjacency(object);
        Subdivide(object, 2);
        CalculateCurvature(object);
        InterpolateTangents(object, 2.0f);
        triangles = object.triangles.size();
        benchmark::DoNotOptimize(object.vertices.data());
    }
    state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_AllStepsTogether(benchmark::State& state)
{
    allSteps(state, objectFile());
}
BENCHMARK(BM_AllStepsTogether)->Unit(benchmark::kMillisecond);

void BM_AllStepsTogetherTo20k(benchmark::State& state)
{
    allSteps(state, smallObjectFile());
}
BENCHMARK(BM_AllStepsTogetherTo20k)->Unit(benchmark::kMillisecond);

void BM_CreateMesh(benchmark::State& state)
{
    openHeadlessScreen(64, 48);
    const LWObject object = loaded();
    for (auto _ : state) {
        const auto mesh = createMesh(object);
        benchmark::DoNotOptimize(mesh.get());
    }
    state.counters["triangles"] = static_cast<double>(object.triangles.size());
}
BENCHMARK(BM_CreateMesh)->Unit(benchmark::kMillisecond);

void BM_CreateDuplicateVerticesMesh(benchmark::State& state)
{
    openHeadlessScreen(64, 48);
    const LWObject object = LWObject::Load(stripedObjectFile());
    int vertices = 0;
    for (auto _ : state) {
        const auto mesh = createDuplicateVerticesMesh(object);
        vertices = mesh->vertexCapacity();
        benchmark::DoNotOptimize(mesh.get());
    }
    state.counters["vertices"] = vertices;
}
BENCHMARK(BM_CreateDuplicateVerticesMesh)->Unit(benchmark::kMillisecond);

void BM_CreateEdgeLineMesh(benchmark::State& state)
{
    openHeadlessScreen(64, 48);
    LWObject object = loaded();
    CalculateAdjacency(object);
    for (auto _ : state) {
        const auto lines = createEdgeLineMesh(object);
        benchmark::DoNotOptimize(lines.get());
    }
    state.counters["edges"] = static_cast<double>(object.edges.size());
}
BENCHMARK(BM_CreateEdgeLineMesh)->Unit(benchmark::kMillisecond);

void BM_FillSilhouetteEdges(benchmark::State& state)
{
    openHeadlessScreen(64, 48);
    LWObject object = loaded();
    CalculateAdjacency(object);
    const auto lines = createEdgeLineMesh(object);
    int count = 0;
    for (auto _ : state)
        count = fillSilhouetteEdges(object, {1.0f, 3.0f, -8.0f}, *lines);
    state.counters["outline edges"] = count;
}
BENCHMARK(BM_FillSilhouetteEdges)->Unit(benchmark::kMillisecond);

void BM_CartoonObjectBuilt(benchmark::State& state)
{
    openHeadlessScreen(64, 48);
    for (auto _ : state) {
        LWObject object = LWObject::Load(stripedObjectFile());
        CalculateAdjacency(object);
        const auto lines = createEdgeLineMesh(object);
        const auto mesh = createDuplicateVerticesMesh(object);
        benchmark::DoNotOptimize(mesh.get());
    }
}
BENCHMARK(BM_CartoonObjectBuilt)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirva
