#include "components/object.h"

namespace mirva {

ObjectComponentType::ObjectComponentType()
    : ComponentTypeFor("Object", "Object shows a lw-object which can use material specified in the script")
{
    declareConstructionParameter(ObjectVariable::Object, ValueType::String, "Object");
    declareParameter(ObjectVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(ObjectVariable::Material, ValueType::Pointer, "Material", "Material");
}

}  // namespace mirva
