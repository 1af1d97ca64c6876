#include "components/sprite.h"

namespace mirva {

SpriteComponentType::SpriteComponentType()
    : ComponentTypeFor("Sprite", "Sprite shows a textured bitmap which moves on lightwave path")
{
    declareConstructionParameter(SpriteVariable::Map, ValueType::String, "Map");
    declareParameter(SpriteVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(SpriteVariable::Size, ValueType::Vector2, "Size");
    declareParameter(SpriteVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareParameter(SpriteVariable::Filter, ValueType::Enum, "Filter", "Filter");
    declareParameter(SpriteVariable::Diffuse, ValueType::Color, "Diffuse");
    declareParameter(SpriteVariable::Specular, ValueType::Color, "Specular");
    declareParameter(SpriteVariable::Name, ValueType::String, "Name");
}

}  // namespace mirva
