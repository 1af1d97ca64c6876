#include "tools/scene_writer.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "io/console.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;

// Seven significant digits; rounding noise around zero (1e-8 for a cosine of pi / 2) is 0.
std::string number(float value)
{
    if (std::fabs(value) < 5e-7f)
        return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::string hexId(std::int32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(id));
    return text;
}

std::string envelopeText(const SceneEnvelope& envelope)
{
    std::string text = "{ Envelope\n  " + std::to_string(envelope.keys.size()) + "\n";
    for (const SceneKey& key : envelope.keys)
        text += "  Key " + number(key.value) + " " + number(key.time) + " " + std::to_string(key.shape) + " " +
                number(key.tension) + " " + number(key.continuity) + " " + number(key.bias) + " 0 0 0\n";
    text += "  Behaviors " + std::to_string(envelope.pre) + " " + std::to_string(envelope.post) + "\n}\n";
    return text;
}

std::string motionText(const SceneMotion& motion)
{
    std::string text = "NumChannels 9\n";
    for (std::size_t i = 0; i < motion.channels.size(); ++i)
        text += "Channel " + std::to_string(i) + "\n" + envelopeText(motion.channels[i]);
    return text;
}

std::string colourText(const float* colour)
{
    return number(colour[0]) + " " + number(colour[1]) + " " + number(colour[2]);
}

float channelOf(const Placement& p, std::size_t channel)
{
    const float values[9] = {p.x, p.y, p.z, p.heading, p.pitch, p.bank, p.scaleX, p.scaleY, p.scaleZ};
    return values[channel];
}

}  // namespace

SceneEnvelope SceneEnvelope::constant(float value)
{
    SceneEnvelope envelope;
    envelope.keys.push_back({0.0f, value});
    return envelope;
}

SceneMotion SceneMotion::still(const Placement& at)
{
    SceneMotion motion;
    for (std::size_t i = 0; i < motion.channels.size(); ++i)
        motion.channels[i] = SceneEnvelope::constant(channelOf(at, i));
    return motion;
}

SceneMotion SceneMotion::sampled(float seconds, int steps, const std::function<Placement(float)>& at, bool loop)
{
    std::vector<Placement> samples;
    std::vector<float> times;
    for (int s = 0; s <= steps; ++s) {
        times.push_back(seconds * static_cast<float>(s) / static_cast<float>(steps));
        samples.push_back(at(times.back()));
    }
    SceneMotion motion;
    for (std::size_t c = 0; c < motion.channels.size(); ++c) {
        const bool rotation = c >= 3 && c <= 5;
        std::vector<float> values;
        for (const Placement& p : samples) {
            float value = channelOf(p, c);
            // A rotation takes the turn nearest to the key before it.
            if (rotation && !values.empty()) {
                while (value - values.back() > kPi)
                    value -= 2 * kPi;
                while (value - values.back() < -kPi)
                    value += 2 * kPi;
            }
            values.push_back(value);
        }
        bool changes = false;
        for (float value : values)
            changes = changes || std::fabs(value - values.front()) > 1e-6f;
        if (!changes) {
            motion.channels[c] = SceneEnvelope::constant(values.front());
            continue;
        }
        SceneEnvelope& envelope = motion.channels[c];
        for (std::size_t k = 0; k < values.size(); ++k)
            envelope.keys.push_back({times[k], values[k]});
        if (loop)
            envelope.pre = envelope.post = rotation ? 4 : 2;
    }
    return motion;
}

Aim aimAt(float fromX, float fromY, float fromZ, float toX, float toY, float toZ)
{
    const float dx = toX - fromX, dy = toY - fromY, dz = toZ - fromZ;
    return {std::atan2(dx, dz), -std::atan2(dy, std::sqrt(dx * dx + dz * dz))};
}

SceneWriter::SceneWriter(int lastFrame, int framesPerSecond) : lastFrame_(lastFrame), framesPerSecond_(framesPerSecond)
{
}

std::int32_t SceneWriter::addObject(const std::string& file, const SceneMotion& motion, std::int32_t parent)
{
    objects_.push_back({"LoadObjectLayer 1 " + file, "", motion, parent});
    return 0x10000000 | static_cast<std::int32_t>(objects_.size() - 1);
}

std::int32_t SceneWriter::addNull(const std::string& name, const SceneMotion& motion, std::int32_t parent)
{
    objects_.push_back({"AddNullObject " + name, "", motion, parent});
    return 0x10000000 | static_cast<std::int32_t>(objects_.size() - 1);
}

std::int32_t SceneWriter::addLight(const SceneLightDesc& light)
{
    lights_.push_back({"AddLight", light.name, light.motion, -1});
    lightDescs_.push_back(light);
    return 0x20000000 | static_cast<std::int32_t>(lights_.size() - 1);
}

std::int32_t SceneWriter::addCamera(const std::string& name, const SceneMotion& motion, const SceneEnvelope& zoom)
{
    cameras_.push_back({"AddCamera", name, motion, -1});
    zooms_.push_back(zoom);
    return 0x30000000 | static_cast<std::int32_t>(cameras_.size() - 1);
}

void SceneWriter::setAmbient(float red, float green, float blue, float intensity)
{
    ambient_[0] = red;
    ambient_[1] = green;
    ambient_[2] = blue;
    ambient_[3] = intensity;
}

void SceneWriter::setBackdrop(float red, float green, float blue)
{
    backdrop_[0] = red;
    backdrop_[1] = green;
    backdrop_[2] = blue;
}

std::string SceneWriter::text() const
{
    const std::string last = std::to_string(lastFrame_);
    std::string text = "LWSC\n3\n\nFirstFrame 0\nLastFrame " + last + "\nFrameStep 1\nPreviewFirstFrame 0\n" +
                       "PreviewLastFrame " + last + "\nPreviewFrameStep 1\nCurrentFrame 0\nFramesPerSecond " +
                       std::to_string(framesPerSecond_) + "\n";
    for (const Item& object : objects_) {
        text += "\n" + object.head + "\nObjectMotion\n" + motionText(object.motion);
        if (object.parent != -1)
            text += "ParentItem " + hexId(object.parent) + "\n";
    }
    text += "\nAmbientColor " + colourText(ambient_) + "\nAmbientIntensity " + number(ambient_[3]) + "\n";
    for (std::size_t i = 0; i < lights_.size(); ++i) {
        const SceneLightDesc& desc = lightDescs_[i];
        text += "\nAddLight\nLightName " + lights_[i].name + "\nLightMotion\n" + motionText(lights_[i].motion) +
                "LightColor " + colourText(desc.colour) + "\nLightIntensity " + number(desc.intensity) +
                "\nLightType " + std::to_string(desc.type) + "\n";
    }
    for (std::size_t i = 0; i < cameras_.size(); ++i) {
        text += "\nAddCamera\nCameraName " + cameras_[i].name + "\nCameraMotion\n" + motionText(cameras_[i].motion);
        const SceneEnvelope& zoom = zooms_[i];
        if (zoom.keys.size() == 1)
            text += "ZoomFactor " + number(zoom.keys.front().value) + "\n";
        else
            text += "ZoomFactor (envelope)\n" + envelopeText(zoom);
    }
    text += "\nBackdropColor " + colourText(backdrop_) + "\n";
    return text;
}

void SceneWriter::write(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary);
    file << text();
    if (!file.flush())
        Console::fatal("SceneWriter: couldn't write '" + path + "'");
}

}  // namespace mirva
