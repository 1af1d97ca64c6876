#pragma once
// Scroller: one line of bitmap-font text moving sideways at a constant rate.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Scroller's own variables.
namespace ScrollerVariable {
enum : std::int32_t {
    Font = 0,
    Position = 1,
    Speed = 2,
    Phase = 3,
    Blend = 4,
    Size = 7,
    Col = 8,
    Text = 9,
};
}

class ScrollerComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class ScrollerComponentType final : public ComponentTypeFor<ScrollerComponent> {
public:
    ScrollerComponentType();
};

}  // namespace mirva
