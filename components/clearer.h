#pragma once
// Clearer: clears the colour buffer and/or the depth buffer at its place in the layer
// order, within the camera's rectangle (its Viewport). ClearColor and ClearDepth may be
// envelopes; their phases run on across constructs, so a restarted script continues a
// fade where it was.
#include <cstdint>

#include "components/component.h"
#include "components/component_type.h"
#include "script/variable.h"

namespace mirva {

// Identifiers of the Clearer's own variables.
namespace ClearerVariable {
enum : std::int32_t {
    DepthBuffer = 0,
    ColorBuffer = 1,
    ClearDepth = 2,
    ClearColor = 3,
};
}

class ClearerComponent final : public Component {
public:
    explicit ClearerComponent(const ComponentType& type);
    void construct() override;
    void destruct() override {}
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

private:
    void resetOwnVariables();

    bool depthBuffer_ = true;
    bool colorBuffer_ = true;
    Variable clearDepth_;
    Variable clearColor_;
};

class ClearerComponentType final : public ComponentTypeFor<ClearerComponent> {
public:
    ClearerComponentType();
};

}  // namespace mirva
