#include "components/material_component.h"

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
