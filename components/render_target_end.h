#pragma once
// RenderTargetEnd: sends rendering back to the screen at its place in the layer order,
// ending the pass that a RenderTargetBegin opened. Without an open pass it does nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

class RenderTargetEndComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& camera, float seconds) override;
};

class RenderTargetEndComponentType final : public ComponentTypeFor<RenderTargetEndComponent> {
public:
    RenderTargetEndComponentType();
};

}  // namespace mirva
