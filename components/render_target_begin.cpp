#include "components/render_target_begin.h"

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

}  // namespace mirva
