// Script front end speed: the include/comment pass and the scanner over a large
// generated script (bytes per second), as a script load runs them.
#include <benchmark/benchmark.h>

#include <string>

#include "script/include_pass.h"
#include "script/script_scanner.h"

namespace {

// About 4 MB of script: untimed constructs, then timed instructions with constants,
// strings, enum names and animated values, with line and block comments between.
const std::string& largeScript()
{
    static const std::string script = [] {
        std::string s = "Info\nEnum Layers { BACK MIDDLE FRONT }\n/* generated for the benchmark\n   */\n"
                        "Timer 500:0:0 125 1.0\n";
        for (int i = 0; i < 20000; ++i) {
            const std::string n = std::to_string(i);
            s += n + ":" + std::to_string(i % 64) + ":0 Set Object" + std::to_string(i % 17) + " {  // instruction " +
                 n + "\n    Layer = FRONT Enabled = true Name = \"object" + n + ".lwo\"\n"
                 "    Diffuse = 255, 128, " + std::to_string(i % 256) + "\n"
                 "    Motion = 0.5, -1.25e1, 3, Key 0,0,TCB,0,0,0 Key 1.5,-2.75,BEZIER,0.5,-0.5 "
                 "Key 3,1,LINEAR CONSTANT REPEAT, 0, 0, 1, 1, 1 EnvelopeSpeed 2.0\n"
                 "    /* scale */ Size = .75 Count = INF\n}\n";
        }
        return s;
    }();
    return script;
}

void BM_IncludePass(benchmark::State& state)
{
    const std::string& script = largeScript();
    std::string out;
    for (auto _ : state) {
        out.clear();
        mirva::IncludePass::run(script, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(script.size()));
}
BENCHMARK(BM_IncludePass)->Unit(benchmark::kMillisecond);

void BM_ScriptScanner(benchmark::State& state)
{
    std::string text;
    mirva::IncludePass::run(largeScript(), text);
    std::size_t tokens = 0;
    for (auto _ : state) {
        mirva::ScriptTables tables;
        mirva::ScriptScanner scanner(text, tables, nullptr);
        while (scanner.next() != mirva::ScriptToken::EndOfInput)
            ++tokens;
        benchmark::DoNotOptimize(tables.identifiers.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["tokens/s"] = benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScriptScanner)->Unit(benchmark::kMillisecond);

}  // namespace
