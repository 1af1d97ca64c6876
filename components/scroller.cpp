#include "components/scroller.h"

namespace mirva {

ScrollerComponentType::ScrollerComponentType()
    : ComponentTypeFor("Scroller", "2D Scroller")
{
    declareConstructionParameter(ScrollerVariable::Font, ValueType::String, "Font");
    declareParameter(ScrollerVariable::Position, ValueType::Vector2, "Position");
    declareParameter(ScrollerVariable::Speed, ValueType::Float, "Speed");
    declareParameter(ScrollerVariable::Phase, ValueType::Float, "Phase");
    declareParameter(ScrollerVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareParameter(ScrollerVariable::Size, ValueType::Vector2, "Size");
    declareParameter(ScrollerVariable::Col, ValueType::Color, "Col");
    declareParameter(ScrollerVariable::Text, ValueType::String, "Text");
}

}  // namespace mirva
