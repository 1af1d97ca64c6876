#include "components/render_target_begin.h"

#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "io/console.h"

namespace mirva {

RenderTargetBeginComponentType::RenderTargetBeginComponentType()
    : ComponentTypeFor("RenderTargetBegin", "RenderTargetBegin. all layers between layers of RenderTargetBegin and RenderTargetEnd are rendered to texture called 'rendertarget'")
{
    declareConstructionParameter(RenderTargetBeginVariable::MapName, ValueType::String, "MapName");
    declareConstructionParameter(RenderTargetBeginVariable::Width, ValueType::Int, "Width");
    declareConstructionParameter(RenderTargetBeginVariable::Height, ValueType::Int, "Height");
    declareConstructionParameter(RenderTargetBeginVariable::ZBuffer, ValueType::Bool, "ZBuffer");
    declareConstructionParameter(RenderTargetBeginVariable::Alpha, ValueType::Bool, "Alpha");
}

RenderTargetBeginComponent::RenderTargetBeginComponent(const ComponentType& type) : Component(type) {}

RenderTargetBeginComponent::~RenderTargetBeginComponent()
{
    destruct();
}

void RenderTargetBeginComponent::checkValues(const std::vector<Variable>& block, const std::string& where)
{
    for (const Variable& record : block)
        if (record.identifier == RenderTargetBeginVariable::Width ||
            record.identifier == RenderTargetBeginVariable::Height) {
            const std::int32_t side = record.readInt();
            if (side < 1 || side > kLargestSide)
                Console::error("%s: %s %d is outside 1 to %d", where.c_str(), record.name.c_str(), side, kLargestSide);
        }
}

void RenderTargetBeginComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case RenderTargetBeginVariable::MapName: mapName_ = record.readString(); break;
    case RenderTargetBeginVariable::Width: width_ = record.readInt(); break;
    case RenderTargetBeginVariable::Height: height_ = record.readInt(); break;
    case RenderTargetBeginVariable::ZBuffer: zBuffer_ = record.readBool(); break;
    case RenderTargetBeginVariable::Alpha: alpha_ = record.readBool(); break;
    default: break;
    }
}

void RenderTargetBeginComponent::construct()
{
    resetBase();
    // Sizes were checked when the script loaded; the render target refuses what the device can't have.
    // A construct after a construct without destruct (a restart) makes a fresh target.
    destruct();
    target_ = std::make_unique<RenderTarget>(width_, height_, alpha_, zBuffer_);
    Texture::registerRenderTarget(mapName_, *target_);
}

void RenderTargetBeginComponent::destruct()
{
    if (!target_)
        return;
    // Only the entry that still shows this target: a later RenderTargetBegin may have
    // registered its own under the same name.
    if (Texture::exists(mapName_) && Texture::getD3DSurface(mapName_).texture() == target_->texture())
        Texture::release(mapName_);
    target_.reset();
}

void RenderTargetBeginComponent::update(Camera& camera, float /*seconds*/)
{
    // A pass of another instance still open ends where this one begins.
    if (target_)
        camera.beginPass(*target_);
}

}  // namespace mirva
