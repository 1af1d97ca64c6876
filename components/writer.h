#pragma once
// Writer: several lines of bitmap-font text, faded and wobbled in one after another.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"
#include "script/enums.h"

namespace mirva {

// Identifiers of the Writer's own variables.
namespace WriterVariable {
enum : std::int32_t {
    Font = 0,
    Speed = 1,
    Phase = 2,
    Blend = 3,
    MaxLines = 4,
    UsedLines = 5,
    l = 6,
    pos = 7,
    size = 8,
    col = 9,
    ref = 10,
    txt = 11,
};
}

class WriterComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class WriterComponentType final : public ComponentTypeFor<WriterComponent> {
public:
    explicit WriterComponentType(Enums& enums);
};

}  // namespace mirva
