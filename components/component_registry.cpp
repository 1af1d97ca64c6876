#include "components/component_registry.h"

#include "components/cartoon.h"
#include "components/chaos_zoomer.h"
#include "components/clearer.h"
#include "components/flic_decompress.h"
#include "components/flower_zoomer.h"
#include "components/lws.h"
#include "components/material_component.h"
#include "components/object.h"
#include "components/painterly.h"
#include "components/render_target_begin.h"
#include "components/render_target_end.h"
#include "components/scroller.h"
#include "components/scroller3d.h"
#include "components/sprite.h"
#include "components/writer.h"
#include "components/writer2.h"

namespace mirva {

ComponentRegistry& ComponentRegistry::instance()
{
    static ComponentRegistry registry;
    return registry;
}

ComponentRegistry::ComponentRegistry()
{
    enums_.declareCoreEnums();
    types_.push_back(std::make_unique<CartoonComponentType>());
    types_.push_back(std::make_unique<ChaosZoomerComponentType>());
    types_.push_back(std::make_unique<ClearerComponentType>());
    types_.push_back(std::make_unique<FlowerZoomerComponentType>());
    types_.push_back(std::make_unique<LWSComponentType>());
    types_.push_back(std::make_unique<MaterialComponentType>(enums_));
    types_.push_back(std::make_unique<ObjectComponentType>());
    types_.push_back(std::make_unique<PainterlyComponentType>());
    types_.push_back(std::make_unique<RenderTargetBeginComponentType>());
    types_.push_back(std::make_unique<RenderTargetEndComponentType>());
    types_.push_back(std::make_unique<ScrollerComponentType>());
    types_.push_back(std::make_unique<Scroller3DComponentType>(enums_));
    types_.push_back(std::make_unique<SpriteComponentType>());
    types_.push_back(std::make_unique<FlicDecompressComponentType>());
    types_.push_back(std::make_unique<WriterComponentType>(enums_));
    types_.push_back(std::make_unique<Writer2ComponentType>());
}

const ComponentType* ComponentRegistry::find(std::string_view name) const
{
    for (const auto& type : types_)
        if (type->name() == name)
            return type.get();
    return nullptr;
}

std::vector<const ScriptType*> ComponentRegistry::scriptTypes() const
{
    std::vector<const ScriptType*> out;
    for (const auto& type : types_)
        out.push_back(type.get());
    return out;
}

}  // namespace mirva
