#pragma once
// Motion: the keyed channels that animate one item's transformation.
//
// Channel indices have fixed meanings: 0-2 position X, Y, Z; 3-5 heading, pitch, bank in
// degrees; 6-8 scale X, Y, Z. A channel normally plays its envelope (keyframed); a
// rotation channel can instead be driven by a controller that aims the item along a
// direction (target) or along its own path (align to path).
//
// Use: construct with a channel count, fill the channels' envelopes, set limits,
// controllers and look-ahead from the scene file, then call `Evaluate` every frame.
#include <memory>
#include <vector>

#include "lightwave/envelope.h"
#include "lightwave/transformation.h"

namespace mirva {

// Channel controller codes.
namespace Controller {
enum : std::int32_t { KEYFRAMED = 0, TARGET = 1, ALIGN_TO_PATH = 2 };
}

class Motion {
public:
    explicit Motion(int channelCount = 0) { create(channelCount); }

    // Replaces every channel by `channelCount` new ones, each with an empty envelope,
    // limits -pi..pi (not given), keyframed; direction (0, 0, 0); look-ahead 0.033.
    void create(int channelCount);

    int channelCount() const { return static_cast<int>(channels_.size()); }
    bool channelPresent(int i) const;
    // The envelope of channel i; null when the channel is absent.
    Envelope* envelope(int i);
    const Envelope* envelope(int i) const;
    // Takes the envelope away, so the channel is absent.
    void removeChannel(int i);

    // Limits are kept from the scene file; evaluation does not apply them.
    void setLimits(int i, float low, float high);
    void setLimitsFlag(int i);
    float limitLow(int i) const { return channels_.at(static_cast<std::size_t>(i)).limitLow; }
    float limitHigh(int i) const { return channels_.at(static_cast<std::size_t>(i)).limitHigh; }
    bool limitsGiven(int i) const { return channels_.at(static_cast<std::size_t>(i)).limitsGiven; }

    void setController(int i, std::int32_t code);
    void setLookAhead(float seconds) { lookAhead_ = seconds; }
    // The vector that a target controller aims along.
    void setDirection(float x, float y, float z);

    // The value of channel i at time t after its controller; 0 for an absent channel.
    // An unknown controller code is fatal.
    float ChannelValue(int i, float t) const;
    // Writes the transformation at time t into M. Absent position channels leave M's
    // translation as it is; without any rotation channel rows 0-2 stay untouched and
    // the scale channels are not applied.
    void Evaluate(float t, Transformation& M) const;

private:
    struct Channel {
        std::unique_ptr<Envelope> envelope;
        float limitLow = -3.1415927f;
        float limitHigh = 3.1415927f;
        bool limitsGiven = false;
        std::int32_t controller = Controller::KEYFRAMED;
    };

    float keyframed(int i, float t) const;
    float pathStep(int i, float t) const;

    std::vector<Channel> channels_;
    float direction_[3] = {0, 0, 0};
    float lookAhead_ = 0.033f;
};

}  // namespace mirva
