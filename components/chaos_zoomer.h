#pragma once
// ChaosZoomer: a video-feedback effect drawn into a pair of render targets; the newest
// frame is the texture "chaoszoomertexture". Its five variables are the rates of the
// effect's phases.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the ChaosZoomer's own variables.
namespace ChaosZoomerVariable {
enum : std::int32_t {
    Param1 = 0,
    Param2 = 1,
    Param3 = 2,
    Param4 = 3,
    Param5 = 4,
};
}

class ChaosZoomerComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class ChaosZoomerComponentType final : public ComponentTypeFor<ChaosZoomerComponent> {
public:
    ChaosZoomerComponentType();
};

}  // namespace mirva
