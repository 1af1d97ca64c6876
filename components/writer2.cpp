#include "components/writer2.h"

namespace mirva {

Writer2ComponentType::Writer2ComponentType()
    : ComponentTypeFor("Writer2", "Writer2 writes multiple lines of text on screen")
{
    declareConstructionParameter(Writer2Variable::Font, ValueType::String, "Font");
    declareParameter(Writer2Variable::Speed, ValueType::Float, "Speed");
    declareParameter(Writer2Variable::Phase, ValueType::Float, "Phase");
    declareParameter(Writer2Variable::Blend, ValueType::Bool, "Blend");
    declareParameter(Writer2Variable::Add, ValueType::Bool, "Add");
    declareParameter(Writer2Variable::Mul, ValueType::Bool, "Mul");
    declareParameter(Writer2Variable::UpperAhead, ValueType::Int, "UpperAhead");
    declareParameter(Writer2Variable::Changing, ValueType::Int, "Changing");
    declareParameter(Writer2Variable::ChangeSpeed, ValueType::Float, "ChangeSpeed");
    declareConstructionParameter(Writer2Variable::MaxLines, ValueType::Int, "MaxLines");
    declareParameter(Writer2Variable::UsedLines, ValueType::Int, "UsedLines");
    declareParameter(Writer2Variable::l, ValueType::Int, "l");
    declareParameter(Writer2Variable::pos, ValueType::Vector2, "pos");
    declareParameter(Writer2Variable::size, ValueType::Vector2, "size");
    declareParameter(Writer2Variable::col, ValueType::Color, "col");
    declareParameter(Writer2Variable::ref, ValueType::Int, "ref");
    declareParameter(Writer2Variable::txt, ValueType::String, "txt");
}

}  // namespace mirva
