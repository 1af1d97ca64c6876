#pragma once
// SceneWriter: LightWave scene text ("LWSC", version 3) written in code, so that a scene
// whose keys are computed (a circling camera, objects in formation) can be rebuilt at will.
//
// Items: objects loaded from files, null objects, lights and cameras, each with a motion of
// nine keyed channels and an optional parent. Object names are the file paths exactly as
// written, which is also how the scene loader names them. Rotation channels are given in
// radians, as the file stores them.
//
// SceneMotion::sampled keys a motion from a function of time, one key a step: rotations
// are unwrapped so that a turn past pi keeps turning instead of spinning back, and
// channels that never change are written as a single key.
//
// Does not: write layers of objects, bones, targets, expressions or render settings.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mirva {

struct SceneKey {
    float time = 0;
    float value = 0;
    int shape = 0;   // 0 TCB, 3 linear, 4 stepped
    float tension = 0, continuity = 0, bias = 0;
};

struct SceneEnvelope {
    std::vector<SceneKey> keys;
    int pre = 1;    // behaviours: 1 constant, 2 repeat, 4 offset repeat
    int post = 1;

    static SceneEnvelope constant(float value);
};

// Channel order: x, y, z, heading, pitch, bank (radians), scale x, y, z.
struct Placement {
    float x = 0, y = 0, z = 0;
    float heading = 0, pitch = 0, bank = 0;
    float scaleX = 1, scaleY = 1, scaleZ = 1;
};

struct SceneMotion {
    std::array<SceneEnvelope, 9> channels;

    // Standing still at `at`.
    static SceneMotion still(const Placement& at = {});
    // TCB keys of `at(t)` at `steps + 1` evenly spaced times from 0 to `seconds`. A
    // looping motion repeats its positions and scales and repeats its rotations with their
    // offset, before and after the keys; otherwise the ends are held.
    static SceneMotion sampled(float seconds, int steps, const std::function<Placement(float)>& at,
                               bool loop = true);
};

// The heading and pitch (radians) of an item at `from` looking at `to`: items look along
// their +z axis, heading turns it towards +x, a positive pitch looks down.
struct Aim {
    float heading = 0;
    float pitch = 0;
};
Aim aimAt(float fromX, float fromY, float fromZ, float toX, float toY, float toZ);

struct SceneLightDesc {
    std::string name;
    SceneMotion motion = SceneMotion::still();
    float colour[3] = {1, 1, 1};
    float intensity = 1;
    int type = 0;   // 0 distant, 1 point, 2 spot
};

class SceneWriter {
public:
    SceneWriter(int lastFrame, int framesPerSecond);

    // Each returns the item's identifier (kind in the top hex digit, index below).
    std::int32_t addObject(const std::string& file, const SceneMotion& motion, std::int32_t parent = -1);
    std::int32_t addNull(const std::string& name, const SceneMotion& motion, std::int32_t parent = -1);
    std::int32_t addLight(const SceneLightDesc& light);
    std::int32_t addCamera(const std::string& name, const SceneMotion& motion, const SceneEnvelope& zoom);

    void setAmbient(float red, float green, float blue, float intensity);
    void setBackdrop(float red, float green, float blue);

    std::string text() const;
    void write(const std::string& path) const;

private:
    struct Item {
        std::string head;   // the line that creates the item
        std::string name;   // lights and cameras
        SceneMotion motion;
        std::int32_t parent = -1;
    };

    int lastFrame_;
    int framesPerSecond_;
    std::vector<Item> objects_;
    std::vector<Item> lights_;
    std::vector<SceneLightDesc> lightDescs_;
    std::vector<Item> cameras_;
    std::vector<SceneEnvelope> zooms_;
    float ambient_[4] = {1, 1, 1, 0.25f};
    float backdrop_[3] = {0, 0, 0};
};

}  // namespace mirva
