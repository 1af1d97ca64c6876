#include "components/chaos_zoomer.h"

namespace mirva {

ChaosZoomerComponentType::ChaosZoomerComponentType()
    : ComponentTypeFor("ChaosZoomer", "ChaosZoomer renders a video feedback zoomer to texture called 'chaoszoomertexture'")
{
    declareParameter(ChaosZoomerVariable::Param1, ValueType::Float, "Param1");
    declareParameter(ChaosZoomerVariable::Param2, ValueType::Float, "Param2");
    declareParameter(ChaosZoomerVariable::Param3, ValueType::Float, "Param3");
    declareParameter(ChaosZoomerVariable::Param4, ValueType::Float, "Param4");
    declareParameter(ChaosZoomerVariable::Param5, ValueType::Float, "Param5");
}

}  // namespace mirva
