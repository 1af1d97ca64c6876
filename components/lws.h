#pragma once
// LWS: loads a LightWave scene and plays it on its own clock. It draws nothing; other
// components place their objects at the scene's objects through their common Scene
// variable. Its own Scene (the scene file name, a construction parameter) replaces the
// common one.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

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
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
    // No scene is loaded yet: loadedScene() keeps answering none.
};

class LWSComponentType final : public ComponentTypeFor<LWSComponent> {
public:
    LWSComponentType();
};

}  // namespace mirva
