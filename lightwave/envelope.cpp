#include "lightwave/envelope.h"

#include <algorithm>
#include <cmath>

namespace mirva {

namespace {

constexpr float kThird = 0.33333334f;

// A first or last key stands in for its own missing neighbour; the tangent formulas then
// leave out the term that would reach past the end.
bool same(const Key& a, const Key& b)
{
    return &a == &b;
}

// The tangent leaving `key` towards `next`, by the shape of `key`.
float outgoing(const Key& prev, const Key& key, const Key& next)
{
    const float span = next.time - key.time;
    const bool hasPrev = !same(prev, key);
    const float s = hasPrev ? span / (next.time - prev.time) : 1.0f;
    const float before = hasPrev ? key.value - prev.value : 0.0f;
    const float d = next.value - key.value;
    switch (key.shape) {
    case KeyType::TCB: {
        const float a = (1.0f - key.p0) * (1.0f + key.p1) * (1.0f + key.p2);
        const float b = (1.0f - key.p0) * (1.0f - key.p1) * (1.0f - key.p2);
        return s * (a * before + b * d);
    }
    case KeyType::HERMITE:
    case KeyType::BEZIER:
        return s * key.p1;
    case KeyType::LINEAR:
        return s * (before + d);
    case KeyType::BEZIER2D:
        return std::fabs(key.p2) > 0.00001f ? span * key.p3 / key.p2 : span * key.p3 * 100000.0f;
    default:  // STEPPED and unknown shapes
        return 0.0f;
    }
}

// The tangent arriving at `key1` from `key0`, by the shape of `key1`.
float incoming(const Key& key0, const Key& key1, const Key& next)
{
    const float span = key1.time - key0.time;
    const bool hasNext = !same(next, key1);
    const float s = hasNext ? span / (next.time - key0.time) : 1.0f;
    const float after = hasNext ? next.value - key1.value : 0.0f;
    const float d = key1.value - key0.value;
    switch (key1.shape) {
    case KeyType::TCB: {
        const float a = (1.0f - key1.p0) * (1.0f - key1.p1) * (1.0f + key1.p2);
        const float b = (1.0f - key1.p0) * (1.0f + key1.p1) * (1.0f - key1.p2);
        return s * (b * after + a * d);
    }
    case KeyType::HERMITE:
    case KeyType::BEZIER:
        return s * key1.p0;
    case KeyType::LINEAR:
        return s * (after + d);
    case KeyType::BEZIER2D:
        return std::fabs(key1.p0) > 0.00001f ? span * key1.p1 / key1.p0 : span * key1.p1 * 100000.0f;
    default:
        return 0.0f;
    }
}

float cubic(float x0, float x1, float x2, float x3, float s)
{
    const float c = 3.0f * (x1 - x0);
    const float b = 3.0f * (x2 - x1) - c;
    const float a = x3 - x0 - c - b;
    return a * s * s * s + b * s * s + c * s + x0;
}

// The span key0..key1 as a two-dimensional Bezier curve: find the curve parameter whose
// time is t by bisection, then the value there. Handles that fold the time curve back can
// keep it from ever coming within the tolerance; the search then stops once the
// parameter no longer changes.
float bezier2D(const Key& prev, const Key& key0, const Key& key1, float t)
{
    const bool key0Is2D = key0.shape == KeyType::BEZIER2D;
    const float x1 = key0Is2D ? key0.time + key0.p2 : key0.time + (key1.time - key0.time) * kThird;
    const float x2 = key1.time + key1.p0;
    float s0 = 0.0f, s1 = 1.0f;
    float s = s0 + (s1 - s0) * 0.5f;
    float v = cubic(key0.time, x1, x2, key1.time, s);
    while (std::fabs(t - v) > 0.0001f) {
        if (v > t)
            s1 = s;
        else
            s0 = s;
        const float next = s0 + (s1 - s0) * 0.5f;
        if (next == s)
            break;
        s = next;
        v = cubic(key0.time, x1, x2, key1.time, s);
    }
    const float y1 = key0Is2D ? key0.value + key0.p3 : key0.value + outgoing(prev, key0, key1) * kThird;
    return cubic(key0.value, y1, key1.value + key1.p1, key1.value, s);
}

// Brings t outside first..last back into that range, counting whole ranges passed
// (negative before the first key). Cycles start at the first key, so a repeated curve
// continues seamlessly from the last key into the first.
struct Wrapped {
    float t;
    double cycles;
};

Wrapped wrap(float v, float lo, float hi)
{
    const float r = hi - lo;
    if (r == 0.0f)
        return {lo, 0.0};
    const double cycles = std::floor(static_cast<double>(v - lo) / r);
    const float w = lo + ((v - lo) - r * static_cast<float>(cycles));
    return {std::clamp(w, lo, hi), cycles};
}

float slopeOf(float tangent, float span)
{
    return span != 0.0f ? tangent / span : 0.0f;
}

}  // namespace

void Envelope::AddKey(const Key& key)
{
    if (keys_.empty() || key.time < keys_.front().time) {
        keys_.insert(keys_.begin(), key);
        return;
    }
    // Keys mostly come in time order: a key after the last one needs no search.
    if (key.time > keys_.back().time) {
        keys_.push_back(key);
        return;
    }
    auto at = std::find_if(keys_.begin() + 1, keys_.end(), [&](const Key& k) { return k.time >= key.time; });
    keys_.insert(at, key);
}

float Envelope::Evaluate(float t) const
{
    const std::size_t n = keys_.size();
    if (n == 0)
        return 0.0f;
    if (n == 1)
        return keys_[0].value;
    const Key& first = keys_.front();
    const Key& last = keys_.back();
    float offset = 0.0f;

    const bool before = t < first.time;
    if (before || t > last.time) {
        switch (before ? pre_ : post_) {
        case Behavior::RESET:
            return 0.0f;
        case Behavior::CONSTANT:
            return before ? first.value : last.value;
        case Behavior::REPEAT:
            t = wrap(t, first.time, last.time).t;
            break;
        case Behavior::OSCILLATE: {
            const Wrapped w = wrap(t, first.time, last.time);
            // Every second range runs backwards.
            t = std::fmod(w.cycles, 2.0) != 0.0 ? first.time + last.time - w.t : w.t;
            break;
        }
        case Behavior::OFFSETREPEAT: {
            const Wrapped w = wrap(t, first.time, last.time);
            t = w.t;
            offset = static_cast<float>(w.cycles) * (last.value - first.value);
            break;
        }
        case Behavior::LINEAR:
            if (before) {
                const Key& second = keys_[1];
                return slopeOf(outgoing(first, first, second), second.time - first.time) * (t - first.time) +
                       first.value;
            } else {
                const Key& penultimate = keys_[n - 2];
                return slopeOf(incoming(penultimate, last, last), last.time - penultimate.time) * (t - last.time) +
                       last.value;
            }
        default:  // no behaviour
            break;
        }
    }

    std::size_t i = 0;
    while (i + 1 < n && t > keys_[i + 1].time)
        ++i;
    const Key& key0 = keys_[i];
    const Key& key1 = keys_[std::min(i + 1, n - 1)];
    const Key& prev = keys_[i > 0 ? i - 1 : 0];
    const Key& next = keys_[std::min(i + 2, n - 1)];

    if (t == key0.time)
        return key0.value + offset;
    if (t == key1.time)
        return key1.value + offset;
    // Past the last key with no behaviour: nothing to interpolate.
    if (!(key1.time > key0.time))
        return key0.value + offset;

    const float u = (t - key0.time) / (key1.time - key0.time);
    switch (key1.shape) {
    case KeyType::TCB:
    case KeyType::HERMITE:
    case KeyType::BEZIER: {
        const float out = outgoing(prev, key0, key1);
        const float in = incoming(key0, key1, next);
        const float u2 = u * u;
        const float u3 = u * u2;
        const float h2 = 3.0f * u2 - 2.0f * u3;
        const float h1 = 1.0f - h2;
        const float h4 = u3 - u2;
        const float h3 = h4 - u2 + u;
        return h1 * key0.value + h2 * key1.value + h3 * out + h4 * in + offset;
    }
    case KeyType::LINEAR:
        return key0.value + u * (key1.value - key0.value) + offset;
    case KeyType::STEPPED:
        return key0.value + offset;
    case KeyType::BEZIER2D:
        return bezier2D(prev, key0, key1, t) + offset;
    default:
        return offset;
    }
}

}  // namespace mirva
