#include "components/clearer.h"

namespace mirva {

ClearerComponentType::ClearerComponentType()
    : ComponentTypeFor("Clearer", "Clears framebuffer and zbuffer.")
{
    declareParameter(ClearerVariable::DepthBuffer, ValueType::Bool, "DepthBuffer");
    declareParameter(ClearerVariable::ColorBuffer, ValueType::Bool, "ColorBuffer");
    declareParameter(ClearerVariable::ClearDepth, ValueType::Float, "ClearDepth");
    declareParameter(ClearerVariable::ClearColor, ValueType::Color, "ClearColor");
}

}  // namespace mirva
