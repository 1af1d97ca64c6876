// Object loading and the mesh steps on a torus of 20,000 triangles (100 x 100 quads): load
// (read and parse of the LWO2 file), adjacency, two Loop subdivision steps (to 320,000
// triangles), curvature and tangent interpolation (sigma 2, as the painterly style uses)
// of the subdivided mesh, then the whole sequence at once. Tangents are also measured on
// the object as loaded (the painterly style's own case: it subdivides 0 steps), and the
// whole sequence on a torus of 1,280 triangles that two steps make 20,480.
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "lightwave/lw_object.h"
#include "mesh/curvature.h"
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

}  // namespace
}  // namespace mirva
