#pragma once
// Writer2: several lines of bitmap-font text, typed out character by character.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Writer2's own variables.
namespace Writer2Variable {
enum : std::int32_t {
    Font = 0,
    Speed = 1,
    Phase = 2,
    Blend = 3,
    Add = 4,
    Mul = 5,
    UpperAhead = 6,
    Changing = 7,
    ChangeSpeed = 8,
    MaxLines = 9,
    UsedLines = 10,
    l = 11,
    pos = 12,
    size = 13,
    col = 14,
    ref = 15,
    txt = 16,
};
}

class Writer2Component final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class Writer2ComponentType final : public ComponentTypeFor<Writer2Component> {
public:
    Writer2ComponentType();
};

}  // namespace mirva
