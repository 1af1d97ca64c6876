#pragma once
// FlowerZoomer: an endless flight through a field of 60 flat, rotating, textured flowers
// that fade into the background colour through fog.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the FlowerZoomer's own variables.
namespace FlowerZoomerVariable {
enum : std::int32_t {
    MiddleMap = 0,
    PetalMap = 1,
    Petals = 2,
    PetalWidth = 3,
    PetalInnerRadius = 4,
    PetalOuterRadius = 5,
    BackGroundColor = 6,
    MiddleColor = 7,
    PetalColor = 8,
    RotationSpeed = 9,
    ZoomSpeed = 10,
};
}

class FlowerZoomerComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class FlowerZoomerComponentType final : public ComponentTypeFor<FlowerZoomerComponent> {
public:
    FlowerZoomerComponentType();
};

}  // namespace mirva
