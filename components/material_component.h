#pragma once
// Material: owns one engine material and exposes its settings as script variables; the
// 3D components draw with it through their Material pointer. Draws nothing itself.
//
// Plain settings (Type, Blend, Fill, Filter, TextureAddress, Culling, AlphaTest,
// AlphaReference, Fogging, Lighting) reach the engine material when they are set; Map and
// VertexShader are loaded at once, so a later block changes the texture in that very
// frame. The ten animatable colours and numbers are copied when they are set and, while
// the instance is enabled, every frame after their envelopes moved on.
//
// Every component declares a common Ambient (the light of its view), and the Material
// declares its own Ambient, the material's ambient colour. A block finds the common
// declaration first; since a Material draws nothing, the common value has no use here,
// so an Ambient in a Material block sets the material's own ambient colour as well.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

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

class Material;

class MaterialComponent final : public Component {
public:
    explicit MaterialComponent(const ComponentType& type);
    ~MaterialComponent() override;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // The engine material the 3D components draw with; it lives as long as the instance.
    Material& material() { return *material_; }

private:
    // The animated settings, in the order they are copied.
    enum Animated { DETAIL_OFFSET, FACTOR, FOG_COLOR, FOG_START, FOG_END, AMBIENT, DIFFUSE, SPECULAR, EMISSIVE,
                    SPECULAR_EXPONENT, ANIMATED_COUNT };
    static int animatedIndex(std::int32_t identifier);
    void copyAnimated(int index);
    void setMap(const std::string& name);

    std::unique_ptr<Material> material_;
    std::array<Variable, ANIMATED_COUNT> animated_;
    std::string map_;  // the texture this instance holds a reference on
};

class MaterialComponentType final : public ComponentTypeFor<MaterialComponent> {
public:
    explicit MaterialComponentType(Enums& enums);
};

}  // namespace mirva
