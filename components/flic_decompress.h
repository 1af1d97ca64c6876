#pragma once
// FlicDecompress: plays an FLC animation into a texture named by the file, for sprites and
// materials to show.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the FlicDecompress's own variables.
namespace FlicDecompressVariable {
enum : std::int32_t {
    Flic = 0,
    FPS = 1,
};
}

class FlicDecompressComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class FlicDecompressComponentType final : public ComponentTypeFor<FlicDecompressComponent> {
public:
    FlicDecompressComponentType();
};

}  // namespace mirva
