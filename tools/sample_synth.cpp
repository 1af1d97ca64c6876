#include "tools/sample_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace mirva::synth {

namespace {

constexpr double kTau = 2 * M_PI;

// Noise from a fixed xorshift generator, -1..1.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_;
};

// A one-pole low-pass; `x - lowPass(x)` is the matching high-pass.
class LowPass {
public:
    explicit LowPass(double cutoff, double rate) : a_(1 - std::exp(-kTau * cutoff / rate)) {}
    double operator()(double x) { return y_ += a_ * (x - y_); }

private:
    double a_;
    double y_ = 0;
};

std::int8_t toByte(double v)
{
    return static_cast<std::int8_t>(std::clamp(std::lround(v * 127.0), -127L, 127L));
}

// `length` samples of `wave(i)` (-1..1) as 8-bit data.
ModuleWriter::Sample render(const std::string& name, int length, int volume, const std::function<double(int)>& wave)
{
    ModuleWriter::Sample s{.name = name, .volume = volume};
    s.data.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        s.data.push_back(toByte(wave(i)));
    return s;
}

// A pulse of duty `width` (0..1), centred on zero, from two saws.
double pulse(double phase, double width, int harmonics)
{
    return 0.5 * (saw(phase, harmonics) - saw(phase - kTau * width, harmonics));
}

}  // namespace

double saw(double phase, int harmonics, double slope)
{
    double sum = 0;
    for (int h = 1; h <= harmonics; ++h)
        sum += std::sin(h * phase) / std::pow(h, slope);
    return sum * (2 / M_PI);
}

// A sine falling from 160 Hz to 45 Hz with a click of noise on top, lightly saturated.
ModuleWriter::Sample kick()
{
    Noise noise(7);
    double phase = 0;
    return render("kick", 3000, 64, [&](int i) {
        const double t = i / kRateC2;
        phase += kTau * (45 + 115 * std::exp(-t / 0.035)) / kRateC2;
        const double body = std::sin(phase) * std::exp(-t / 0.22) * std::min(1.0, (3000 - i) / 300.0);
        const double click = noise.next() * std::exp(-t / 0.003) * 0.5;
        return std::tanh(1.6 * (body + click)) / std::tanh(1.6);
    });
}

// A short tone at 190 Hz under a longer burst of bright noise.
ModuleWriter::Sample snare()
{
    Noise noise(11);
    LowPass dull(1500, kRateC3);
    double phase = 0;
    return render("snare", 4600, 64, [&](int i) {
        const double t = i / kRateC3;
        phase += kTau * (150 + 60 * std::exp(-t / 0.02)) / kRateC3;
        const double tone = std::sin(phase) * std::exp(-t / 0.05);
        const double n = noise.next();
        const double bright = n - 0.6 * dull(n);
        return 0.55 * tone + 0.75 * bright * std::exp(-t / 0.07);
    });
}

// A few hundredths of a second of high-passed noise.
ModuleWriter::Sample hat()
{
    Noise noise(23);
    LowPass low(6000, kRateB3);
    return render("hat", 2400, 64, [&](int i) {
        const double n = noise.next();
        return 1.2 * (n - low(n)) * std::exp(-i / kRateB3 / 0.025);
    });
}

// High-passed noise ringing out over a second and a half, with some inharmonic shimmer.
ModuleWriter::Sample crash()
{
    Noise noise(31);
    LowPass low(3000, kRateB3);
    const int length = 50000;
    return render("crash", length, 44, [&](int i) {
        const double t = i / kRateB3;
        const double n = noise.next();
        double ring = 0;
        for (double f : {3140.0, 4270.0, 5630.0})
            ring += std::sin(kTau * f * t);
        const double tail = std::min(1.0, (length - i) / 2000.0);
        return (0.8 * (n - low(n)) + 0.07 * ring) * std::exp(-t / 0.55) * std::min(1.0, t / 0.002) * tail;
    });
}

// A saw whose upper harmonics die away first, like a plucked filter.
ModuleWriter::Sample bass()
{
    return render("bass", 2800, 56, [](int i) {
        const double phase = kTau * i / 128.0;
        double sum = 0;
        for (int h = 1; h <= 24; ++h)
            sum += std::sin(h * phase) / h * std::exp(-(h - 1) * i / 900.0);
        const double level = 0.45 + 0.55 * std::exp(-i / 700.0);
        return 0.7 * sum * level * std::min(1.0, i / 8.0) * std::min(1.0, (2800 - i) / 200.0);
    });
}

// Root, fifth and octave, each two soft saws a cycle apart over the loop (a slow chorus).
// The loop holds 64 root cycles, so every partial ends it where it began.
ModuleWriter::Sample pad()
{
    constexpr int attack = 2048;
    constexpr int loop = 64 * 64;
    ModuleWriter::Sample s = render("pad", attack + loop, 42, [](int i) {
        double sum = 0;
        for (auto [cycles, weight] : {std::pair{64.0, 1.0}, {96.0, 0.7}, {128.0, 0.5}})
            for (double detune : {0.0, 1.0})
                sum += weight * saw(kTau * (cycles + detune) * i / loop, 8, 1.6);
        return 0.32 * sum * std::min(1.0, static_cast<double>(i) / attack);
    });
    s.loopStart = attack;
    s.loopLength = loop;
    return s;
}

// Two pulses of 30 % duty a cycle apart over the loop of 128 cycles.
ModuleWriter::Sample lead()
{
    constexpr int loop = 32 * 128;
    ModuleWriter::Sample s = render("lead", loop, 46, [](int i) {
        const double a = pulse(kTau * 128 * i / loop, 0.3, 10);
        const double b = pulse(kTau * 129 * i / loop, 0.3, 10);
        return 0.62 * (a + 0.5 * b);
    });
    s.loopLength = loop;
    return s;
}

// Odd harmonics, the higher ones fading faster, and the whole note fading in a fifth of a
// second at C-2.
ModuleWriter::Sample pluck()
{
    return render("pluck", 3000, 42, [](int i) {
        const double phase = kTau * i / 32.0;
        double sum = 0;
        for (int h = 1; h <= 13; h += 2)
            sum += std::sin(h * phase) / h * std::exp(-h * i / 1500.0);
        return 1.1 * sum * std::exp(-i / 600.0) * std::min(1.0, i / 4.0);
    });
}

}  // namespace mirva::synth
