#include "components/lws.h"

#include "lightwave/lw_scene.h"

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

LWSComponent::LWSComponent(const ComponentType& type) : Component(type)
{
    resetClock();
}

LWSComponent::~LWSComponent() = default;

void LWSComponent::resetClock()
{
    speed_.type = ValueType::Float;
    speed_.clearChannels();
    speed_.setFloat(1.0f);
    phase_.type = ValueType::Float;
    phase_.clearChannels();
    phase_.setFloat(0.0f);
    accumulated_ = 0.0f;
}

void LWSComponent::construct()
{
    resetBase();
    // Components that took the previous scene lose it here (they hold it weakly).
    scene_.reset();
    scene_ = std::make_shared<LWScene>(LWScene::Load(fileName_));
    scene_->placeEngineLights();
    resetClock();
}

void LWSComponent::destruct()
{
    scene_.reset();
}

void LWSComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case LWSVariable::Scene: fileName_ = record.readString(); break;
    case LWSVariable::Speed: speed_.assign(record); break;
    case LWSVariable::Phase:
        phase_.assign(record);
        accumulated_ = 0.0f;
        break;
    default: break;
    }
}

void LWSComponent::update(Camera& /*camera*/, float seconds)
{
    phase_.advance(seconds);
    speed_.advance(seconds);
    accumulated_ += speed_.readFloat() * seconds;
    if (!scene_)
        return;
    scene_->Update(phase_.readFloat() + accumulated_);
    scene_->placeEngineLights();
}

}  // namespace mirva
