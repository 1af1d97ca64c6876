#include "components/painterly.h"

namespace mirva {

PainterlyComponentType::PainterlyComponentType()
    : ComponentTypeFor("Painterly", "Painterly shows a painted lw-object")
{
    declareConstructionParameter(PainterlyVariable::Object, ValueType::String, "Object");
    declareConstructionParameter(PainterlyVariable::BrushMap, ValueType::String, "BrushMap");
    declareConstructionParameter(PainterlyVariable::EnvMap, ValueType::String, "EnvMap");
    declareParameter(PainterlyVariable::Motion, ValueType::Transformation, "Motion");
}

}  // namespace mirva
