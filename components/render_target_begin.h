#pragma once
// RenderTargetBegin: from its place in the layer order on, rendering goes into a texture
// until a RenderTargetEnd. The texture stands in the texture table under MapName, so a
// later layer (a material, a sprite) draws the captured picture like any image.
//
// Each instance owns the render target its construct makes (Width x Height, with a depth
// buffer when ZBuffer, with alpha when Alpha); its update begins a pass into that target
// through the camera, which the RenderTargetEnd that follows ends. Several instances may
// capture several passes in one frame (a begin ends the pass still open). A pass still
// open when the layers are done is ended by the frame update, so the next frame starts
// on the screen.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

class RenderTarget;

// Identifiers of the RenderTargetBegin's own variables.
namespace RenderTargetBeginVariable {
enum : std::int32_t {
    MapName = 0,
    Width = 1,
    Height = 2,
    ZBuffer = 3,
    Alpha = 4,
};
}

class RenderTargetBeginComponent final : public Component {
public:
    explicit RenderTargetBeginComponent(const ComponentType& type);
    ~RenderTargetBeginComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;
    // Width and Height within 1 .. kLargestSide, when the script is loaded.
    void checkValues(const std::vector<Variable>& block, const std::string& where) override;

    // The largest side a script may ask for; a device that can do less says so when the
    // target is made.
    static constexpr std::int32_t kLargestSide = 16384;

    RenderTarget* target() const { return target_.get(); }

private:
    std::string mapName_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool zBuffer_ = false;
    bool alpha_ = false;
    std::unique_ptr<RenderTarget> target_;
};

class RenderTargetBeginComponentType final : public ComponentTypeFor<RenderTargetBeginComponent> {
public:
    RenderTargetBeginComponentType();
};

}  // namespace mirva
