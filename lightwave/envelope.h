#pragma once
// Envelope: a one-dimensional animation curve in the LightWave 6 manner.
//
// An ordered list of keys, each with a time, a value and the shape of the span that ends
// at it (TCB, Hermite, Bezier, linear, stepped, or the two-dimensional Bezier key of scene
// files), plus what the curve does before its first key and after its last. Scripts,
// scene files and motion files all build envelopes of the same keys, and every animated
// value of the program is read through `Evaluate`, so equal keys give equal numbers
// whichever way they came in.
//
// Evaluation never fails and allocates nothing: no keys give 0, one key gives its value
// everywhere, unknown shape or behaviour codes (which the loaders reject) contribute
// nothing.
#include <cstdint>
#include <vector>

namespace mirva {

// Shape codes of a key (the script's `KeyType` enumeration; BEZIER2D has no script word).
namespace KeyType {
enum : std::int32_t { TCB = 0, HERMITE = 1, BEZIER = 2, LINEAR = 3, STEPPED = 4, BEZIER2D = 5 };
}

// Pre- and post-behaviour codes (the script's `Behavior` enumeration).
namespace Behavior {
enum : std::int32_t { RESET = 0, CONSTANT = 1, REPEAT = 2, OSCILLATE = 3, OFFSETREPEAT = 4, LINEAR = 5 };
}

struct Key {
    float time = 0;
    float value = 0;
    std::int32_t shape = KeyType::TCB;
    // TCB: tension, continuity, bias. HERMITE, BEZIER: incoming, outgoing tangent.
    // BEZIER2D: time and value offset of the incoming handle, then of the outgoing one.
    float p0 = 0;
    float p1 = 0;
    float p2 = 0;
    float p3 = 0;
};

class Envelope {
public:
    // Inserts a copy of the key in time order; a key at the time of existing keys goes
    // before them, except right after the first key when only that one shares its time.
    void AddKey(const Key& key);
    float Evaluate(float t) const;

    // Loaders that read a whole key array at once fill it here, in time order.
    std::vector<Key>& keys() { return keys_; }
    const std::vector<Key>& keys() const { return keys_; }
    std::int32_t preBehavior() const { return pre_; }
    std::int32_t postBehavior() const { return post_; }
    void setBehaviors(std::int32_t pre, std::int32_t post)
    {
        pre_ = pre;
        post_ = post;
    }

private:
    std::vector<Key> keys_;
    std::int32_t pre_ = Behavior::CONSTANT;
    std::int32_t post_ = Behavior::CONSTANT;
};

}  // namespace mirva
