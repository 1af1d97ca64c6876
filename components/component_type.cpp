#include "components/component_type.h"

#include <utility>

#include "components/component.h"

namespace mirva {

ComponentType::ComponentType(std::string name, std::string description)
    : ScriptType(std::move(name), std::move(description))
{
    declareParameter(CommonVariable::Enabled, ValueType::Bool, "Enabled");
    declareParameter(CommonVariable::Layer, ValueType::Enum, "Layer", "Layers");
    declareParameter(CommonVariable::RowsToShow, ValueType::Int, "RowsToShow");
    declareParameter(CommonVariable::SampleNumber, ValueType::List, "SampleNumber");
    declareParameter(CommonVariable::CameraMotion, ValueType::Transformation, "CameraMotion");
    declareParameter(CommonVariable::Viewport, ValueType::Vector4, "Viewport");
    declareParameter(CommonVariable::FOV, ValueType::Vector2, "FOV");
    declareParameter(CommonVariable::FrontBack, ValueType::Vector2, "FrontBack");
    declareParameter(CommonVariable::Ambient, ValueType::Color, "Ambient");
    declareParameter(CommonVariable::ZBufferMode, ValueType::Enum, "ZBufferMode", "ZBufferMode");
    declareParameter(CommonVariable::Scene, ValueType::Pointer, "Scene", "LWS");
    declareParameter(CommonVariable::CameraName, ValueType::String, "CameraName");
}

}  // namespace mirva
