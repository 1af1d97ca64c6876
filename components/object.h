#pragma once
// Object: draws the mesh of a LightWave object with a material, placed by its Motion or at
// the objects of a scene.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Object's own variables.
namespace ObjectVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    Material = 2,
};
}

class ObjectComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class ObjectComponentType final : public ComponentTypeFor<ObjectComponent> {
public:
    ObjectComponentType();
};

}  // namespace mirva
