#include "components/scroller3d.h"

namespace mirva {

Scroller3DComponentType::Scroller3DComponentType(Enums& enums)
    : ComponentTypeFor("Scroller3D", "Scroller3D shows a CScroller3D shaded lw-object which can use material specified in the script")
{
    enums.declareBuiltIn("EndBehaviour", {{"LOOP", 0}, {"RESET", 1}});
    declareConstructionParameter(Scroller3DVariable::Object, ValueType::String, "Object");
    declareParameter(Scroller3DVariable::UpperMotion, ValueType::Vector3, "UpperMotion");
    declareParameter(Scroller3DVariable::LowerMotion, ValueType::Vector3, "LowerMotion");
    declareParameter(Scroller3DVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(Scroller3DVariable::Material, ValueType::Pointer, "Material", "Material");
    declareParameter(Scroller3DVariable::Stretch, ValueType::Float, "Stretch");
}

}  // namespace mirva
