#pragma once
// Sprite: one textured square, moved by its Motion or drawn at every object of a scene
// that has its Name.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Sprite's own variables.
namespace SpriteVariable {
enum : std::int32_t {
    Motion = 0,
    Map = 1,
    Size = 2,
    Blend = 3,
    Filter = 4,
    Diffuse = 5,
    Specular = 6,
    Name = 7,
};
}

class SpriteComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class SpriteComponentType final : public ComponentTypeFor<SpriteComponent> {
public:
    SpriteComponentType();
};

}  // namespace mirva
