// Replays every seed and every saved finding of each fuzz target through the same entry
// point that its libFuzzer harness calls. A clean fatal message passes; a crash, a
// sanitizer report or any other exception fails the target's test case.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/fuzz_targets.h"
#include "tests/support/files.h"

namespace mirva::fuzz {

// Test names and failure messages show a target by its name.
void PrintTo(const Target& target, std::ostream* out);
void PrintTo(const Target& target, std::ostream* out)
{
    *out << target.name;
}

namespace {

namespace fs = std::filesystem;

// The files of fuzz/<folder>/<target>, in name order; none when the folder is absent.
std::vector<fs::path> inputs(const char* folder, std::string_view target)
{
    std::vector<fs::path> files;
    const fs::path dir = fs::path(MIRVA_FUZZ_DIR) / folder / target;
    if (fs::is_directory(dir))
        for (const fs::directory_entry& entry : fs::directory_iterator(dir))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class CorpusReplay : public testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryInputEndsLoadedOrRefused)
{
    const Target& target = GetParam();
    std::vector<fs::path> all = inputs("corpus", target.name);
    const std::vector<fs::path> findings = inputs("regressions", target.name);
    all.insert(all.end(), findings.begin(), findings.end());

    int loaded = 0;
    for (const fs::path& file : all) {
        // Names the input that a crash or an exception stops at (the output shows when the
        // case fails).
        std::fprintf(stderr, "replaying %s: ", file.c_str());
        const bool whole = target.run(test::readFile(file.string())) == Outcome::Loaded;
        std::fprintf(stderr, "%s\n", whole ? "loaded" : "refused");
        loaded += whole ? 1 : 0;
    }
    // Some seed (there are seeds) gets through the whole load: the target reaches past the
    // first checks.
    EXPECT_GT(loaded, 0) << "no seed in fuzz/corpus/" << target.name << " loads";
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, testing::ValuesIn(targets().begin(), targets().end()),
                         [](const testing::TestParamInfo<Target>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace mirva::fuzz
