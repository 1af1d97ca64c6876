#include "lightwave/motion.h"

#include <cmath>

#include "io/console.h"

namespace mirva {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kDegreesPerRadian = 57.295776f;
constexpr float kRadiansPerDegree = 0.017453292f;

// The angle of the vector (a, b) in degrees, in (-90, 270].
float angle(float a, float b)
{
    if (a > 0.0f)
        return std::atan2(b, a) * kDegreesPerRadian;
    if (a < 0.0f)
        return (kPi - std::atan2(b, -a)) * kDegreesPerRadian;
    return b > 0.0f ? 90.0f : 270.0f;
}

}  // namespace

void Motion::create(int channelCount)
{
    channels_.clear();
    channels_.resize(static_cast<std::size_t>(channelCount > 0 ? channelCount : 0));
    for (Channel& channel : channels_)
        channel.envelope = std::make_unique<Envelope>();
    direction_[0] = direction_[1] = direction_[2] = 0.0f;
    lookAhead_ = 0.033f;
}

bool Motion::channelPresent(int i) const
{
    return i >= 0 && i < channelCount() && channels_[static_cast<std::size_t>(i)].envelope;
}

Envelope* Motion::envelope(int i)
{
    return channelPresent(i) ? channels_[static_cast<std::size_t>(i)].envelope.get() : nullptr;
}

const Envelope* Motion::envelope(int i) const
{
    return channelPresent(i) ? channels_[static_cast<std::size_t>(i)].envelope.get() : nullptr;
}

void Motion::removeChannel(int i)
{
    if (channelPresent(i))
        channels_[static_cast<std::size_t>(i)].envelope.reset();
}

void Motion::setLimits(int i, float low, float high)
{
    Channel& channel = channels_.at(static_cast<std::size_t>(i));
    channel.limitLow = low;
    channel.limitHigh = high;
}

void Motion::setLimitsFlag(int i)
{
    channels_.at(static_cast<std::size_t>(i)).limitsGiven = true;
}

void Motion::setController(int i, std::int32_t code)
{
    channels_.at(static_cast<std::size_t>(i)).controller = code;
}

void Motion::setDirection(float x, float y, float z)
{
    direction_[0] = x;
    direction_[1] = y;
    direction_[2] = z;
}

float Motion::keyframed(int i, float t) const
{
    const Envelope* env = envelope(i);
    return env ? env->Evaluate(t) : 0.0f;
}

// How far position channel i moves over the look-ahead. A position channel that is
// itself set to align to path would need its own value to find its path, so it plays its
// keys instead.
float Motion::pathStep(int i, float t) const
{
    if (!channelPresent(i))
        return 0.0f;
    if (channels_[static_cast<std::size_t>(i)].controller == Controller::ALIGN_TO_PATH)
        return keyframed(i, t + lookAhead_) - keyframed(i, t);
    return ChannelValue(i, t + lookAhead_) - ChannelValue(i, t);
}

float Motion::ChannelValue(int i, float t) const
{
    if (!channelPresent(i))
        return 0.0f;
    switch (channels_[static_cast<std::size_t>(i)].controller) {
    case Controller::KEYFRAMED:
        return keyframed(i, t);
    case Controller::TARGET: {
        const float dx = direction_[0], dy = direction_[1], dz = direction_[2];
        if (i == 3)
            return angle(dz, dx);
        return -angle(std::sqrt(dx * dx + dz * dz), dy);
    }
    case Controller::ALIGN_TO_PATH: {
        const float dx = pathStep(0, t);
        const float dz = pathStep(2, t);
        if (i == 3)
            return angle(dz, dx);
        const float dy = pathStep(1, t);
        return -angle(std::sqrt(dx * dx + dz * dz), dy);
    }
    default:
        Console::fatal("Motion: Unknown controller");
    }
}

void Motion::Evaluate(float t, Transformation& M) const
{
    for (int axis = 0; axis < 3; ++axis)
        if (channelPresent(axis))
            M.m[3][axis] = ChannelValue(axis, t);
    if (!channelPresent(3) && !channelPresent(4) && !channelPresent(5))
        return;
    const float h = ChannelValue(3, t) * kRadiansPerDegree;
    const float p = ChannelValue(4, t) * kRadiansPerDegree;
    const float b = ChannelValue(5, t) * kRadiansPerDegree;
    const float sx = channelPresent(6) ? ChannelValue(6, t) : 1.0f;
    const float sy = channelPresent(7) ? ChannelValue(7, t) : 1.0f;
    const float sz = channelPresent(8) ? ChannelValue(8, t) : 1.0f;
    setRotationAndScale(M, h, p, b, sx, sy, sz);
}

}  // namespace mirva
