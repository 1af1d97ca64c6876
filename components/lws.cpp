#include "components/lws.h"

namespace mirva {

LWSComponentType::LWSComponentType()
    : ComponentTypeFor("LWS", "LWS loads a lw scene and provides motions for script objects")
{
    // The scene file name takes the place of the common Scene pointer.
    removeDeclaration("Scene");
    declareConstructionParameter(LWSVariable::Scene, ValueType::String, "Scene");
    declareParameter(LWSVariable::Speed, ValueType::Float, "Speed");
    declareParameter(LWSVariable::Phase, ValueType::Float, "Phase");
}

}  // namespace mirva
