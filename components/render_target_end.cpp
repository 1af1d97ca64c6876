#include "components/render_target_end.h"

#include "engine/camera.h"

namespace mirva {

RenderTargetEndComponentType::RenderTargetEndComponentType()
    : ComponentTypeFor("RenderTargetEnd", "RenderTargetEnd")
{
}

void RenderTargetEndComponent::update(Camera& camera, float /*seconds*/)
{
    camera.endPass();
}

}  // namespace mirva
