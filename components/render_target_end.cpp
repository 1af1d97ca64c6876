#include "components/render_target_end.h"

namespace mirva {

RenderTargetEndComponentType::RenderTargetEndComponentType()
    : ComponentTypeFor("RenderTargetEnd", "RenderTargetEnd")
{
}

}  // namespace mirva
