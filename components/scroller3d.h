#pragma once
// Scroller3D: bends a LightWave object (typically modelled text) into a ribbon that runs
// along two animated paths.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"
#include "script/enums.h"

namespace mirva {

// Identifiers of the Scroller3D's own variables.
namespace Scroller3DVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    UpperMotion = 2,
    LowerMotion = 3,
    Material = 4,
    Stretch = 5,
};
}

class Scroller3DComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class Scroller3DComponentType final : public ComponentTypeFor<Scroller3DComponent> {
public:
    explicit Scroller3DComponentType(Enums& enums);
};

}  // namespace mirva
