#include "components/render_target_end.h"

#include "components/render_target_begin.h"

namespace mirva {

RenderTargetEndComponentType::RenderTargetEndComponentType()
    : ComponentTypeFor("RenderTargetEnd", "RenderTargetEnd")
{
}

void RenderTargetEndComponent::update(Camera& camera, float /*seconds*/)
{
    RenderTargetBeginComponent::endOpenPass(camera);
}

}  // namespace mirva
