#include "components/cartoon.h"

namespace mirva {

CartoonComponentType::CartoonComponentType()
    : ComponentTypeFor("Cartoon", "Cartoon shows a cartoon shaded lw-object which can use material specified in the script")
{
    declareConstructionParameter(CartoonVariable::Object, ValueType::String, "Object");
    declareParameter(CartoonVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(CartoonVariable::Material, ValueType::Pointer, "Material", "Material");
    declareParameter(CartoonVariable::LightPosition, ValueType::Vector3, "LightPosition");
}

}  // namespace mirva
