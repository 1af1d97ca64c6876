#pragma once
// Clearer: clears the colour buffer and/or the depth buffer at its place in the layer
// order.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Clearer's own variables.
namespace ClearerVariable {
enum : std::int32_t {
    DepthBuffer = 0,
    ColorBuffer = 1,
    ClearDepth = 2,
    ClearColor = 3,
};
}

class ClearerComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class ClearerComponentType final : public ComponentTypeFor<ClearerComponent> {
public:
    ClearerComponentType();
};

}  // namespace mirva
