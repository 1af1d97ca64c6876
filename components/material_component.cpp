#include "components/material_component.h"

#include <algorithm>

#include "engine/material.h"
#include "engine/texture.h"

namespace mirva {

MaterialComponentType::MaterialComponentType(Enums& enums)
    : ComponentTypeFor("Material", "Material provides a material for other components")
{
    enums.declareBuiltIn("Type", {{"DIFFUSE", 0},
                                  {"SPECULAR", 1},
                                  {"DIFFUSEANDSPECULAR", 2},
                                  {"TEXTURE", 4},
                                  {"TEXTUREANDDIFFUSE", 8},
                                  {"TEXTUREANDDIFFUSEMODULATEALPHA", 16},
                                  {"TEXTUREANDDIFFUSEANDSPECULAR", 32},
                                  {"FACTOR", 128},
                                  {"TEXTUREANDFACTOR", 256}});
    enums.declareBuiltIn("Blend", {{"COPY", 0}, {"ADD", 1}, {"MUL", 2}, {"BLEND", 4}, {"BLENDADD", 64}});
    enums.declareBuiltIn("Fill", {{"GOURAUD", 0}, {"FLAT", 1}, {"WIREFRAME", 2}});
    enums.declareBuiltIn("Filter", {{"POINTSAMPLING", 0},
                                    {"POINTSAMPLING_MIP", 1},
                                    {"BILINEAR", 2},
                                    {"BILINEAR_MIP", 4},
                                    {"TRILINEAR", 8}});
    enums.declareBuiltIn("TextureAddress", {{"WRAP", 0}, {"CLAMP", 1}});
    enums.declareBuiltIn("Culling", {{"NOCULLING", 0}, {"CLOCKWISE_VISIBLE", 1}, {"ANTICLOCKWISE_VISIBLE", 2}});
    declareParameter(MaterialVariable::Type, ValueType::Enum, "Type", "Type");
    declareParameter(MaterialVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareParameter(MaterialVariable::Fill, ValueType::Enum, "Fill", "Fill");
    declareParameter(MaterialVariable::Filter, ValueType::Enum, "Filter", "Filter");
    declareParameter(MaterialVariable::TextureAddress, ValueType::Enum, "TextureAddress", "TextureAddress");
    declareParameter(MaterialVariable::Culling, ValueType::Enum, "Culling", "Culling");
    declareParameter(MaterialVariable::Map, ValueType::String, "Map");
    declareParameter(MaterialVariable::DetailOffset, ValueType::Float, "DetailOffset");
    declareParameter(MaterialVariable::Factor, ValueType::Color, "Factor");
    declareParameter(MaterialVariable::AlphaTest, ValueType::Bool, "AlphaTest");
    declareParameter(MaterialVariable::AlphaReference, ValueType::Int, "AlphaReference");
    declareParameter(MaterialVariable::Fogging, ValueType::Bool, "Fogging");
    declareParameter(MaterialVariable::FogColor, ValueType::Color, "FogColor");
    declareParameter(MaterialVariable::FogStart, ValueType::Float, "FogStart");
    declareParameter(MaterialVariable::FogEnd, ValueType::Float, "FogEnd");
    declareParameter(MaterialVariable::Lighting, ValueType::Bool, "Lighting");
    declareParameter(MaterialVariable::Ambient, ValueType::Color, "Ambient");
    declareParameter(MaterialVariable::Diffuse, ValueType::Color, "Diffuse");
    declareParameter(MaterialVariable::Specular, ValueType::Color, "Specular");
    declareParameter(MaterialVariable::Emissive, ValueType::Color, "Emissive");
    declareParameter(MaterialVariable::SpecularExponent, ValueType::Float, "SpecularExponent");
    declareParameter(MaterialVariable::VertexShader, ValueType::String, "VertexShader");
}

}  // namespace mirva

namespace mirva {

namespace {

// The defaults of the animated settings, in the order of MaterialComponent::Animated.
struct AnimatedDefault {
    std::int32_t identifier;
    std::int32_t type;
    float number;
    std::uint32_t color;
};
constexpr AnimatedDefault kAnimated[] = {
    {MaterialVariable::DetailOffset, ValueType::Float, 0.0f, 0},
    {MaterialVariable::Factor, ValueType::Color, 0.0f, 0xFF000000},
    {MaterialVariable::FogColor, ValueType::Color, 0.0f, 0x80808080},
    {MaterialVariable::FogStart, ValueType::Float, 50.0f, 0},
    {MaterialVariable::FogEnd, ValueType::Float, 100.0f, 0},
    {MaterialVariable::Ambient, ValueType::Color, 0.0f, 0xFFFFFFFF},
    {MaterialVariable::Diffuse, ValueType::Color, 0.0f, 0xFFFFFFFF},
    {MaterialVariable::Specular, ValueType::Color, 0.0f, 0xFFFFFFFF},
    {MaterialVariable::Emissive, ValueType::Color, 0.0f, 0x00000000},
    {MaterialVariable::SpecularExponent, ValueType::Float, 8.0f, 0},
};

}  // namespace

MaterialComponent::MaterialComponent(const ComponentType& type)
    : Component(type), material_(std::make_unique<Material>(Material::DIFFUSE, Material::COPY))
{
    for (int i = 0; i < ANIMATED_COUNT; ++i) {
        const AnimatedDefault& d = kAnimated[i];
        Variable& record = animated_[static_cast<std::size_t>(i)];
        record.type = d.type;
        record.identifier = d.identifier;
        if (d.type == ValueType::Color)
            record.setColor(d.color);
        else
            record.setFloat(d.number);
    }
}

MaterialComponent::~MaterialComponent()
{
    setMap("");
}

int MaterialComponent::animatedIndex(std::int32_t identifier)
{
    for (int i = 0; i < ANIMATED_COUNT; ++i)
        if (kAnimated[i].identifier == identifier)
            return i;
    return -1;
}

void MaterialComponent::copyAnimated(int index)
{
    const Variable& record = animated_[static_cast<std::size_t>(index)];
    Material& m = *material_;
    switch (index) {
    case DETAIL_OFFSET: m.depthOffset = record.readFloat(); break;
    case FACTOR: m.factor = record.readColor(); break;
    case FOG_COLOR: m.fogColor = record.readColor(); break;
    case FOG_START: m.fogStart = record.readFloat(); break;
    case FOG_END: m.fogEnd = record.readFloat(); break;
    case AMBIENT: m.ambient = record.readColor(); break;
    case DIFFUSE: m.diffuse = record.readColor(); break;
    case SPECULAR: m.specular = record.readColor(); break;
    case EMISSIVE: m.emissive = record.readColor(); break;
    case SPECULAR_EXPONENT: m.specularExponent = record.readFloat(); break;
    default: break;
    }
}

// Takes a reference on the new texture before giving back the old one, so that setting
// the same name again never destroys the texture in between.
void MaterialComponent::setMap(const std::string& name)
{
    if (!name.empty())
        material_->setTexture(name, 0, true);
    else
        material_->textureName.clear();
    if (!map_.empty() && Texture::exists(map_))
        Texture::release(map_);
    map_ = name;
}

void MaterialComponent::variableHook(const Variable& record)
{
    Material& m = *material_;
    std::int32_t identifier = record.identifier;
    // The common Ambient of a Material block means the material's own ambient colour.
    if (identifier == CommonVariable::Ambient)
        identifier = MaterialVariable::Ambient;
    if (const int index = animatedIndex(identifier); index >= 0) {
        animated_[static_cast<std::size_t>(index)].assign(record);
        copyAnimated(index);
        return;
    }
    switch (identifier) {
    case MaterialVariable::Type: m.type = record.readInt(); break;
    case MaterialVariable::Blend: m.blend = record.readInt(); break;
    case MaterialVariable::Fill: m.fill = record.readInt(); break;
    case MaterialVariable::Filter: m.filter = record.readInt(); break;
    case MaterialVariable::TextureAddress: m.textureAddress = record.readInt(); break;
    case MaterialVariable::AlphaTest: m.alphaTest = record.readBool(); break;
    case MaterialVariable::Fogging: m.fogging = record.readBool(); break;
    case MaterialVariable::Lighting: m.lighting = record.readBool(); break;
    // These two are stored without asking for a new validation.
    case MaterialVariable::Culling: m.culling = record.readInt(); return;
    case MaterialVariable::AlphaReference: m.alphaReference = static_cast<BYTE>(std::clamp(record.readInt(), 0, 255)); return;
    case MaterialVariable::Map: setMap(record.readString()); return;
    case MaterialVariable::VertexShader:
        if (record.readString().empty())
            m.deleteVertexShader();
        else
            m.loadVertexShader(record.readString());
        return;
    default: return;
    }
}

void MaterialComponent::update(Camera& /*camera*/, float seconds)
{
    for (int i = 0; i < ANIMATED_COUNT; ++i) {
        animated_[static_cast<std::size_t>(i)].advance(seconds);
        copyAnimated(i);
    }
}

}  // namespace mirva
