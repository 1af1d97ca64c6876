#pragma once
// LWS: loads a LightWave scene and plays it on its own clock. It draws nothing; other
// components place their objects at the scene's objects through their common Scene
// variable, and a view whose CameraName names a scene camera looks through it. Its own
// Scene (the scene file name, a construction parameter) replaces the common one.
//
// Every update moves Phase and Speed on, adds Speed x seconds to the time played so far
// and shows the scene at Phase + that time; setting Phase starts the count again.
// Instances on later layers see this frame's scene, those on earlier layers the last one.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the LWS's own variables.
namespace LWSVariable {
enum : std::int32_t {
    Speed = 0,
    Phase = 1,
    Scene = 2,
};
}

class LWSComponent final : public Component {
public:
    explicit LWSComponent(const ComponentType& type);
    ~LWSComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;
    std::shared_ptr<LWScene> loadedScene() const override { return scene_; }

    // Scene seconds played since construct or the last Phase (without Phase).
    float accumulatedTime() const { return accumulated_; }

private:
    void resetClock();

    std::string fileName_;
    std::shared_ptr<LWScene> scene_;
    Variable speed_;
    Variable phase_;
    float accumulated_ = 0.0f;
};

class LWSComponentType final : public ComponentTypeFor<LWSComponent> {
public:
    LWSComponentType();
};

}  // namespace mirva
