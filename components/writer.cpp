#include "components/writer.h"

namespace mirva {

WriterComponentType::WriterComponentType(Enums& enums)
    : ComponentTypeFor("Writer", "Writer writes multiple lines of text on screen")
{
    enums.declareBuiltIn("ReferencePoint", {{"LEFT", 3}, {"CENTER", 4}, {"RIGHT", 5}});
    declareConstructionParameter(WriterVariable::Font, ValueType::String, "Font");
    declareParameter(WriterVariable::Speed, ValueType::Float, "Speed");
    declareParameter(WriterVariable::Phase, ValueType::Float, "Phase");
    declareParameter(WriterVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareConstructionParameter(WriterVariable::MaxLines, ValueType::Int, "MaxLines");
    declareParameter(WriterVariable::UsedLines, ValueType::Int, "UsedLines");
    declareParameter(WriterVariable::l, ValueType::Int, "l");
    declareParameter(WriterVariable::pos, ValueType::Vector2, "pos");
    declareParameter(WriterVariable::size, ValueType::Vector2, "size");
    declareParameter(WriterVariable::col, ValueType::Color, "col");
    declareParameter(WriterVariable::ref, ValueType::Enum, "ref", "ReferencePoint");
    declareParameter(WriterVariable::txt, ValueType::String, "txt");
}

}  // namespace mirva
