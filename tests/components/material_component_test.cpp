// The Material component's variables reaching its engine material: each setting into its
// own field, the common Ambient of a Material block into the material's ambient colour,
// animated values copied every frame.
#include <functional>

#include <gtest/gtest.h>

#include "components/component_registry.h"
#include "components/material_component.h"
#include "engine/camera.h"
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

TEST_F(MaterialComponentTest, AnimatedValuesStartAtTheirDefaultsAndAreCopiedWhenSetAndEveryFrame)
{
    Camera camera;
    component.update(camera, 0.0f);
    EXPECT_EQ(material.factor, 0xFF000000u);
    EXPECT_EQ(material.fogColor, 0x80808080u);
    EXPECT_EQ(material.emissive, 0u);
    EXPECT_FLOAT_EQ(material.specularExponent, 8.0f);

    // Ambient in a Material block: the common declaration is found first, and it means the
    // material's ambient colour.
    Variable ambient = record(CommonVariable::Ambient, ValueType::Color);
    ambient.setColor(0xFF00FF00);
    component.applyVariables({ambient});
    EXPECT_EQ(material.ambient, 0xFF00FF00u);

    Variable offset = record(MaterialVariable::DetailOffset, ValueType::Float);
    offset.setFloat(0.25f);
    Variable power = record(MaterialVariable::SpecularExponent, ValueType::Float);
    power.setFloat(32.0f);
    component.applyVariables({offset, power});
    EXPECT_FLOAT_EQ(material.depthOffset, 0.25f);
    EXPECT_FLOAT_EQ(material.specularExponent, 32.0f);
}

}  // namespace
}  // namespace mirva
