#pragma once
// RenderTargetBegin: from its place in the layer order on, rendering goes into a texture
// (named by MapName) until a RenderTargetEnd.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the RenderTargetBegin's own variables.
namespace RenderTargetBeginVariable {
enum : std::int32_t {
    MapName = 0,
    Width = 1,
    Height = 2,
    ZBuffer = 3,
    Alpha = 4,
};
}

class RenderTargetBeginComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class RenderTargetBeginComponentType final : public ComponentTypeFor<RenderTargetBeginComponent> {
public:
    RenderTargetBeginComponentType();
};

}  // namespace mirva
