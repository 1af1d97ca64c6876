#include "components/flower_zoomer.h"

namespace mirva {

FlowerZoomerComponentType::FlowerZoomerComponentType()
    : ComponentTypeFor("FlowerZoomer", "FlowerZoomer shows an endless flight through a field of rotating flowers")
{
    declareConstructionParameter(FlowerZoomerVariable::MiddleMap, ValueType::String, "MiddleMap");
    declareConstructionParameter(FlowerZoomerVariable::PetalMap, ValueType::String, "PetalMap");
    declareConstructionParameter(FlowerZoomerVariable::Petals, ValueType::Int, "Petals");
    declareConstructionParameter(FlowerZoomerVariable::PetalWidth, ValueType::Float, "PetalWidth");
    declareConstructionParameter(FlowerZoomerVariable::PetalInnerRadius, ValueType::Float, "PetalInnerRadius");
    declareConstructionParameter(FlowerZoomerVariable::PetalOuterRadius, ValueType::Float, "PetalOuterRadius");
    declareParameter(FlowerZoomerVariable::BackGroundColor, ValueType::Color, "BackGroundColor");
    declareParameter(FlowerZoomerVariable::MiddleColor, ValueType::Color, "MiddleColor");
    declareParameter(FlowerZoomerVariable::PetalColor, ValueType::Color, "PetalColor");
    declareParameter(FlowerZoomerVariable::RotationSpeed, ValueType::Float, "RotationSpeed");
    declareParameter(FlowerZoomerVariable::ZoomSpeed, ValueType::Float, "ZoomSpeed");
}

}  // namespace mirva
