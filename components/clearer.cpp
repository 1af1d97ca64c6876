#include "components/clearer.h"

#include "engine/camera.h"

namespace mirva {

ClearerComponentType::ClearerComponentType()
    : ComponentTypeFor("Clearer", "Clears framebuffer and zbuffer.")
{
    declareParameter(ClearerVariable::DepthBuffer, ValueType::Bool, "DepthBuffer");
    declareParameter(ClearerVariable::ColorBuffer, ValueType::Bool, "ColorBuffer");
    declareParameter(ClearerVariable::ClearDepth, ValueType::Float, "ClearDepth");
    declareParameter(ClearerVariable::ClearColor, ValueType::Color, "ClearColor");
}

ClearerComponent::ClearerComponent(const ComponentType& type) : Component(type)
{
    resetOwnVariables();
}

void ClearerComponent::resetOwnVariables()
{
    depthBuffer_ = true;
    colorBuffer_ = true;
    clearDepth_.type = ValueType::Float;
    clearDepth_.clearChannels();
    clearDepth_.setFloat(1.0f);
    clearColor_.type = ValueType::Color;
    clearColor_.clearChannels();
    clearColor_.setColor(0xFF000000);
}

void ClearerComponent::construct()
{
    resetBase();
    resetOwnVariables();
}

void ClearerComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case ClearerVariable::DepthBuffer: depthBuffer_ = record.readBool(); break;
    case ClearerVariable::ColorBuffer: colorBuffer_ = record.readBool(); break;
    case ClearerVariable::ClearDepth: clearDepth_.assign(record); break;
    case ClearerVariable::ClearColor: clearColor_.assign(record); break;
    default: break;
    }
}

void ClearerComponent::update(Camera& camera, float seconds)
{
    clearDepth_.advance(seconds);
    clearColor_.advance(seconds);
    camera.clear(clearColor_.readColor(), colorBuffer_, depthBuffer_, clearDepth_.readFloat());
}

}  // namespace mirva
