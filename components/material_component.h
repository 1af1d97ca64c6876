#pragma once
// Material: owns one engine material and exposes its settings as script variables; the
// 3D components draw with it through their Material pointer. Draws nothing itself.
//
// What it loads and draws comes with the component's own work; until then an instance
// constructs (resetting its common variables) and renders nothing.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"
#include "script/enums.h"

namespace mirva {

// Identifiers of the Material's own variables.
namespace MaterialVariable {
enum : std::int32_t {
    Type = 0,
    Blend = 1,
    Fill = 2,
    Filter = 3,
    TextureAddress = 4,
    Culling = 5,
    Map = 6,
    DetailOffset = 7,
    Factor = 8,
    AlphaTest = 9,
    AlphaReference = 10,
    Fogging = 11,
    FogColor = 12,
    FogStart = 13,
    FogEnd = 14,
    Lighting = 15,
    Ambient = 16,
    Diffuse = 17,
    Specular = 18,
    Emissive = 19,
    SpecularExponent = 20,
    VertexShader = 21,
};
}

class MaterialComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class MaterialComponentType final : public ComponentTypeFor<MaterialComponent> {
public:
    explicit MaterialComponentType(Enums& enums);
};

}  // namespace mirva
