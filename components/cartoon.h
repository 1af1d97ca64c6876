#pragma once
// Cartoon: draws a LightWave object toon-shaded (a banded shade ramp applied by a vertex
// shader) and outlines its silhouette edges, placed by its Motion or at the objects of a
// scene.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Cartoon's own variables.
namespace CartoonVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    Material = 2,
    LightPosition = 3,
};
}

class CartoonComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class CartoonComponentType final : public ComponentTypeFor<CartoonComponent> {
public:
    CartoonComponentType();
};

}  // namespace mirva
