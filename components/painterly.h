#pragma once
// Painterly: draws a LightWave object as a cloud of textured brush strokes laid along the
// principal directions of its surface.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Painterly's own variables.
namespace PainterlyVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    BrushMap = 2,
    EnvMap = 3,
};
}

class PainterlyComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class PainterlyComponentType final : public ComponentTypeFor<PainterlyComponent> {
public:
    PainterlyComponentType();
};

}  // namespace mirva
