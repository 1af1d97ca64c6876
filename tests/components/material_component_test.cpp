// The Material component's plain settings reaching their own fields of its engine
// material (the animated ones are seen in rendered frames, in the player's tests).
#include <functional>

#include <gtest/gtest.h>

#include "components/component_registry.h"
#include "components/material_component.h"
#include "engine/material.h"

namespace mirva {
namespace {

Variable record(std::int32_t identifier, std::int32_t type)
{
    Variable v;
    v.identifier = identifier;
    v.type = type;
    return v;
}

class MaterialComponentTest : public testing::Test {
protected:
    std::unique_ptr<ScriptInstance> made = ComponentRegistry::instance().find("Material")->createInstance();
    MaterialComponent& component = static_cast<MaterialComponent&>(*made);
    Material& material = component.material();
};

TEST_F(MaterialComponentTest, EachSettingReachesItsOwnField)
{
    struct Case {
        std::int32_t identifier;
        std::int32_t type;
        std::int32_t value;
        std::function<int(const Material&)> field;
    };
    const Case cases[] = {
        {MaterialVariable::Type, ValueType::Enum, 256, [](const Material& m) { return m.type; }},
        {MaterialVariable::Blend, ValueType::Enum, 64, [](const Material& m) { return m.blend; }},
        {MaterialVariable::Fill, ValueType::Enum, 2, [](const Material& m) { return m.fill; }},
        {MaterialVariable::Filter, ValueType::Enum, 8, [](const Material& m) { return m.filter; }},
        {MaterialVariable::TextureAddress, ValueType::Enum, 1, [](const Material& m) { return m.textureAddress; }},
        {MaterialVariable::Culling, ValueType::Enum, 0, [](const Material& m) { return m.culling; }},
        {MaterialVariable::AlphaReference, ValueType::Int, 77, [](const Material& m) { return int{m.alphaReference}; }},
        {MaterialVariable::AlphaTest, ValueType::Bool, 1, [](const Material& m) { return int{m.alphaTest}; }},
        {MaterialVariable::Fogging, ValueType::Bool, 1, [](const Material& m) { return int{m.fogging}; }},
        {MaterialVariable::Lighting, ValueType::Bool, 1, [](const Material& m) { return int{m.lighting}; }},
    };
    for (const Case& c : cases) {
        Variable v = record(c.identifier, c.type);
        v.constant.integer = c.value;
        v.constant.boolean = c.value != 0;
        component.applyVariables({v});
        EXPECT_EQ(c.field(material), c.value) << "variable " << c.identifier;
    }
}

}  // namespace
}  // namespace mirva
