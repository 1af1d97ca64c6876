#include "components/component.h"

#include "components/component_type.h"

namespace mirva {

Component::Component(const ComponentType& type) : type_(type)
{
    resetBase();
}

Component::~Component() = default;

void Component::variableHook(const Variable& /*record*/) {}

void Component::checkValues(const std::vector<Variable>& /*block*/, const std::string& /*where*/) {}

void Component::resetBase()
{
    setLifecycleState(LifecycleState::NotConstructed);
    sampleTriggering_ = false;
    rowsShown_ = 0;
    enabled_ = false;
    layer_ = 0;

    cameraMotion_.type = ValueType::Transformation;
    cameraMotion_.clearChannels();
    cameraMotion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});

    viewport_.type = ValueType::Vector4;
    viewport_.clearChannels();
    viewport_.setVector({0.0f, 0.0f, 1.0f, 1.0f});

    fov_.type = ValueType::Vector2;
    fov_.clearChannels();
    fov_.setVector({90.0f, 73.74f});

    frontBack_.type = ValueType::Vector2;
    frontBack_.clearChannels();
    frontBack_.setVector({0.1f, 100.0f});

    ambient_.type = ValueType::Color;
    ambient_.clearChannels();
    ambient_.setColor(0);

    zBufferMode_ = 2;  // WRITEANDCOMPARE
    rowsToShow_ = 2147483647;
    scene_.reset();
    cameraName_.clear();
    sampleNumbers_.clear();
    sampleBlock_.clear();
}

void Component::applyVariables(const std::vector<Variable>& list)
{
    for (const Variable& record : list) {
        switch (record.identifier) {
        case CommonVariable::Enabled:
            enabled_ = record.readBool();
            if (enabled_)
                rowsShown_ = 0;
            break;
        case CommonVariable::Layer: layer_ = record.readInt(); break;
        case CommonVariable::RowsToShow: rowsToShow_ = record.readInt(); break;
        case CommonVariable::SampleNumber: sampleNumbers_ = record.readIntegerList(); break;
        case CommonVariable::CameraMotion: cameraMotion_.assign(record); break;
        case CommonVariable::Viewport: viewport_.assign(record); break;
        case CommonVariable::FOV: fov_.assign(record); break;
        case CommonVariable::FrontBack: frontBack_.assign(record); break;
        case CommonVariable::Ambient: ambient_.assign(record); break;
        case CommonVariable::ZBufferMode: zBufferMode_ = record.readInt(); break;
        case CommonVariable::Scene: {
            // The scene the LWS instance holds now; one it loads later is not seen.
            const auto* lws = static_cast<const Component*>(record.readPointer());
            scene_ = lws ? lws->loadedScene() : std::shared_ptr<LWScene>();
            break;
        }
        case CommonVariable::CameraName: cameraName_ = record.readString(); break;
        default: break;
        }
        variableHook(record);
    }
}

void Component::advanceBaseRecords(float seconds)
{
    cameraMotion_.advance(seconds);
    viewport_.advance(seconds);
    fov_.advance(seconds);
    frontBack_.advance(seconds);
    ambient_.advance(seconds);
}

}  // namespace mirva
