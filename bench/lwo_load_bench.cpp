// Loading a big LWO2 object: a flat grid of 600 x 500 quads (300,000 quads, 600,000
// triangles, 301,101 points), written once to /tmp. Measures LWObject::Load (file read,
// parse, fan cutting, normals and tangent frames) and, when the program is built with
// assimp, assimp's raw import of the same file (Importer::ReadFile(file, 0): no
// post-processing steps). Prints both times and their ratio at the end.
//
// Both loaders are measured with the memory a freshly started program gets: the C
// library's threshold for giving big blocks their own mapping is held at its start value,
// so every big array of every load is new memory from the kernel and pays its page
// faults, as the first load of a show does. (Left to adapt, the threshold rises after
// the first big block is freed, and whichever loader runs second reuses the first one's
// pages: the order of the benchmarks would decide the result.) The page faults per load
// are reported beside the times.
#include <cstdio>
#include <map>
#include <string>

#include <malloc.h>
#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include "lightwave/lw_object.h"
#include "tools/object_writer.h"

#ifdef MIRVA_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

namespace mirva {
namespace {

// Page faults so far (first touches of new memory; costly on virtual machines).
long pageFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

void countFaults(benchmark::State& state, long before)
{
    state.counters["faults"] = benchmark::Counter(static_cast<double>(pageFaults() - before),
                                                  benchmark::Counter::kAvgIterations);
}

const std::string& gridFile()
{
    static const std::string path = [] {
        const std::string file = "/tmp/mirva_bench_grid.lwo";
        ObjectWriter::grid(600, 500).write(file);
        return file;
    }();
    return path;
}

void LwoLoad(benchmark::State& state)
{
    const std::string& file = gridFile();
    const long faults = pageFaults();
    for (auto _ : state) {
        LWObject object = LWObject::Load(file);
        benchmark::DoNotOptimize(object.triangles.data());
    }
    countFaults(state, faults);
}
BENCHMARK(LwoLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();

#ifdef MIRVA_HAVE_ASSIMP
void AssimpReadFile(benchmark::State& state)
{
    const std::string& file = gridFile();
    const long faults = pageFaults();
    for (auto _ : state) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(file, 0);
        if (!scene) {
            state.SkipWithError(importer.GetErrorString());
            break;
        }
        benchmark::DoNotOptimize(scene->mMeshes);
    }
    countFaults(state, faults);
}
BENCHMARK(AssimpReadFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly();
#endif

// The console report, keeping each benchmark's time per load for the ratio: the median
// of the repetitions, or the single run's time when there is one repetition.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> milliseconds;
};

}  // namespace
}  // namespace mirva

int main(int argc, char** argv)
{
    // 128 KiB, the C library's starting value; setting it also stops its adaptation.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    mirva::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto ours = reporter.milliseconds.find("LwoLoad");
    const auto theirs = reporter.milliseconds.find("AssimpReadFile");
    if (ours != reporter.milliseconds.end() && theirs != reporter.milliseconds.end())
        std::printf("median: LWObject::Load %.1f ms, assimp ReadFile %.1f ms, ratio %.2f\n", ours->second, theirs->second,
                    ours->second / theirs->second);
    return 0;
}
