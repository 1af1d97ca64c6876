// Envelope evaluation speed (ns per evaluation): every animated value of every frame goes
// through it. Eight-key envelopes, evaluated over and beyond their keys.
#include <benchmark/benchmark.h>

#include "lightwave/envelope.h"
#include "lightwave/motion.h"

namespace {

namespace Behavior = mirva::Behavior;
using mirva::Envelope;
using mirva::Key;
namespace KeyType = mirva::KeyType;

Envelope eightKeys(std::int32_t shape)
{
    Envelope envelope;
    for (int i = 0; i < 8; ++i) {
        const float time = static_cast<float>(i) * 1.25f;
        const float value = static_cast<float>((i * 37) % 11) - 5.0f;
        if (shape == KeyType::BEZIER2D)
            envelope.AddKey({.time = time, .value = value, .shape = shape, .p0 = -0.3f, .p1 = 0.5f, .p2 = 0.4f, .p3 = -1});
        else
            envelope.AddKey({.time = time, .value = value, .shape = shape, .p0 = 0.2f, .p1 = -0.1f, .p2 = 0.3f});
    }
    envelope.setBehaviors(Behavior::OFFSETREPEAT, Behavior::OSCILLATE);
    return envelope;
}

void evaluate(benchmark::State& state, std::int32_t shape)
{
    const Envelope envelope = eightKeys(shape);
    float t = -3.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(envelope.Evaluate(t));
        t += 0.0137f;
        if (t > 14.0f)
            t = -3.0f;
    }
}

void BM_EnvelopeTcb(benchmark::State& state)
{
    evaluate(state, KeyType::TCB);
}
BENCHMARK(BM_EnvelopeTcb);

void BM_EnvelopeBezier(benchmark::State& state)
{
    evaluate(state, KeyType::BEZIER);
}
BENCHMARK(BM_EnvelopeBezier);

void BM_EnvelopeBezier2D(benchmark::State& state)
{
    evaluate(state, KeyType::BEZIER2D);
}
BENCHMARK(BM_EnvelopeBezier2D);

void BM_MotionNineTcbChannels(benchmark::State& state)
{
    mirva::Motion motion(9);
    for (int i = 0; i < 9; ++i)
        *motion.envelope(i) = eightKeys(KeyType::TCB);
    mirva::Transformation M = mirva::Transformation::identity();
    float t = 0.0f;
    for (auto _ : state) {
        motion.Evaluate(t, M);
        benchmark::DoNotOptimize(M);
        t += 0.0137f;
        if (t > 10.0f)
            t = 0.0f;
    }
}
BENCHMARK(BM_MotionNineTcbChannels);

}  // namespace
