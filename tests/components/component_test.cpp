// The component framework: the registry and its order, the common variables every type
// declares, the enums the types declare, base reset and apply variables.
#include "components/component.h"

#include <gtest/gtest.h>

#include "components/component_registry.h"
#include "components/component_type.h"

namespace mirva {
namespace {

// An instance that records the identifiers its hook receives.
class RecordingComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
    void variableHook(const Variable& record) override { hooked.push_back(record.identifier); }
    std::vector<std::int32_t> hooked;
};

class RecordingType final : public ComponentTypeFor<RecordingComponent> {
public:
    RecordingType() : ComponentTypeFor("Recording", "records") {}
};

Variable record(std::int32_t identifier, std::int32_t type)
{
    Variable v;
    v.identifier = identifier;
    v.type = type;
    return v;
}

const char* const kCommonNames[] = {"Enabled", "Layer",     "RowsToShow", "SampleNumber", "CameraMotion", "Viewport",
                                    "FOV",     "FrontBack", "Ambient",    "ZBufferMode",  "Scene",        "CameraName"};

TEST(ComponentRegistryTest, HoldsTheSixteenTypesInRegistryOrder)
{
    std::vector<std::string> names;
    for (const auto& type : ComponentRegistry::instance().types())
        names.push_back(type->name());
    const std::vector<std::string> expected = {
        "Cartoon",           "ChaosZoomer",     "Clearer", "FlowerZoomer", "LWS",    "Material",
        "Object",            "Painterly",       "RenderTargetBegin",       "RenderTargetEnd", "Scroller",
        "Scroller3D",        "Sprite",          "FlicDecompress",          "Writer", "Writer2"};
    EXPECT_EQ(names, expected);
}

TEST(ComponentRegistryTest, FindsTypesByExactName)
{
    const ComponentRegistry& registry = ComponentRegistry::instance();
    ASSERT_NE(registry.find("Writer2"), nullptr);
    EXPECT_EQ(registry.find("Writer2")->name(), "Writer2");
    EXPECT_EQ(registry.find("writer2"), nullptr);
    EXPECT_EQ(registry.find("Writer "), nullptr);
    EXPECT_EQ(registry.find(""), nullptr);
}

TEST(ComponentRegistryTest, EveryTypeBeginsWithTheCommonVariables)
{
    for (const auto& type : ComponentRegistry::instance().types()) {
        const auto& d = type->declarations();
        const bool lws = type->name() == "LWS";
        std::size_t at = 0;
        for (std::size_t i = 0; i < 12; ++i) {
            if (lws && i == 10)
                continue;  // its own Scene replaces the common one
            ASSERT_LT(at, d.size());
            EXPECT_EQ(d[at].name, kCommonNames[i]) << type->name();
            EXPECT_EQ(d[at].identifier, static_cast<std::int32_t>(10000000 + i)) << type->name();
            EXPECT_FALSE(d[at].constructionParameter);
            ++at;
        }
    }
    const ComponentType& clearer = *ComponentRegistry::instance().find("Clearer");
    EXPECT_EQ(valueTypeName(*clearer.declaration("Layer")), "Layers");
    EXPECT_EQ(valueTypeName(*clearer.declaration("ZBufferMode")), "ZBufferMode");
    EXPECT_EQ(valueTypeName(*clearer.declaration("Scene")), "LWS");
    EXPECT_EQ(clearer.declaration("CameraMotion")->type, ValueType::Transformation);

    const ComponentType& lws = *ComponentRegistry::instance().find("LWS");
    const Variable* scene = lws.declaration("Scene");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->type, ValueType::String);
    EXPECT_EQ(scene->identifier, 2);
    EXPECT_TRUE(scene->constructionParameter);
    EXPECT_EQ(lws.findDeclaration("Scene"), 11);
}

TEST(ComponentRegistryTest, TypesDeclareTheirOwnEnums)
{
    const Enums& enums = ComponentRegistry::instance().enums();
    EXPECT_EQ(enums.lookup("Blend", "BLENDADD", 1), 64);
    EXPECT_EQ(enums.lookup("Type", "TEXTUREANDFACTOR", 1), 256);
    EXPECT_EQ(enums.lookup("Filter", "TRILINEAR", 1), 8);
    EXPECT_EQ(enums.lookup("Culling", "ANTICLOCKWISE_VISIBLE", 1), 2);
    EXPECT_EQ(enums.lookup("ReferencePoint", "RIGHT", 1), 5);
    EXPECT_EQ(enums.lookup("EndBehaviour", "RESET", 1), 1);
    EXPECT_EQ(enums.lookup("ZBufferMode", "WRITEANDCOMPARE", 1), 2);
    EXPECT_EQ(enums.builtIn().size(), 11u);
}

TEST(ComponentTest, ANewInstanceHasTheDefaults)
{
    const RecordingType type;
    const auto instance = type.createInstance();
    EXPECT_EQ(&instance->getType(), &type);
    EXPECT_FALSE(instance->enabled());
    EXPECT_EQ(instance->layer(), 0);
    EXPECT_EQ(instance->rowsToShow(), 2147483647);
    EXPECT_EQ(instance->zBufferMode(), 2);
    EXPECT_EQ(instance->fov(), (std::array<float, 2>{90.0f, 73.74f}));
    EXPECT_EQ(instance->frontBack(), (std::array<float, 2>{0.1f, 100.0f}));
    EXPECT_EQ(instance->viewport(), (std::array<float, 4>{0, 0, 1, 1}));
    EXPECT_EQ(instance->ambient(), 0u);
    const Transformation M = instance->cameraMotion();
    const float identity[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(M.m[r][c], identity[r][c]);
    EXPECT_EQ(instance->scene(), nullptr);
    EXPECT_TRUE(instance->cameraName().empty());
    EXPECT_TRUE(instance->sampleNumbers().empty());
}

TEST(ComponentTest, ApplyVariablesSetsTheCommonFieldsAndCallsTheHookForEveryRecord)
{
    const RecordingType type;
    RecordingComponent instance(type);
    std::vector<Variable> block;
    block.push_back(record(CommonVariable::Layer, ValueType::Enum));
    block.back().constant.integer = 3;
    block.push_back(record(CommonVariable::RowsToShow, ValueType::Int));
    block.back().constant.integer = 4;
    block.push_back(record(CommonVariable::SampleNumber, ValueType::List));
    block.back().integerList = {1, 5};
    block.push_back(record(CommonVariable::CameraName, ValueType::String));
    block.back().stringValue = "Camera";
    block.push_back(record(CommonVariable::ZBufferMode, ValueType::Enum));
    block.back().constant.integer = 0;
    block.push_back(record(CommonVariable::Ambient, ValueType::Color));
    block.back().constant.color = 0x80102030u;
    block.push_back(record(7, ValueType::Float));
    instance.applyVariables(block);
    EXPECT_EQ(instance.layer(), 3);
    EXPECT_EQ(instance.rowsToShow(), 4);
    EXPECT_EQ(instance.sampleNumbers(), (std::vector<std::int32_t>{1, 5}));
    EXPECT_EQ(instance.cameraName(), "Camera");
    EXPECT_EQ(instance.zBufferMode(), 0);
    EXPECT_EQ(instance.ambient(), 0x80102030u);
    const std::vector<std::int32_t> hooked = {CommonVariable::Layer,       CommonVariable::RowsToShow,
                                              CommonVariable::SampleNumber, CommonVariable::CameraName,
                                              CommonVariable::ZBufferMode,  CommonVariable::Ambient,
                                              7};
    EXPECT_EQ(instance.hooked, hooked);
}

TEST(ComponentTest, EnablingAlwaysRestartsTheRowCount)
{
    const RecordingType type;
    RecordingComponent instance(type);
    Variable on = record(CommonVariable::Enabled, ValueType::Bool);
    on.constant.boolean = true;
    instance.applyVariables({on});
    instance.setRowsShown(7);
    instance.applyVariables({on});  // already enabled: the count still starts again
    EXPECT_TRUE(instance.enabled());
    EXPECT_EQ(instance.rowsShown(), 0);

    instance.setRowsShown(7);
    Variable off = record(CommonVariable::Enabled, ValueType::Bool);
    instance.applyVariables({off});
    EXPECT_FALSE(instance.enabled());
    EXPECT_EQ(instance.rowsShown(), 7);

    // Phase only: the record's constant is zero, so the instance is hidden.
    instance.applyVariables({on});
    Variable phase = record(CommonVariable::Enabled, ValueType::PhaseOnly);
    phase.envelopePhase = 2;
    instance.applyVariables({phase});
    EXPECT_FALSE(instance.enabled());
}

TEST(ComponentTest, AnimatedCommonRecordsAdvanceWithTheFrameTime)
{
    const RecordingType type;
    RecordingComponent instance(type);
    Variable fov = record(CommonVariable::FOV, ValueType::Vector2);
    auto ramp = std::make_shared<Envelope>();
    ramp->AddKey({.time = 0, .value = 30, .shape = KeyType::LINEAR});
    ramp->AddKey({.time = 2, .value = 90, .shape = KeyType::LINEAR});
    fov.channels[0] = ramp;
    fov.setVector({30, 45});
    fov.envelopeSpeed = 2;
    instance.applyVariables({fov});
    instance.advanceBaseRecords(0.5f);
    EXPECT_EQ(instance.fov(), (std::array<float, 2>{60.0f, 45.0f}));

    // A new phase keeps the envelope; construct's reset drops it but keeps the phase.
    Variable phase = record(CommonVariable::FOV, ValueType::PhaseOnly);
    phase.envelopePhase = 2;
    instance.applyVariables({phase});
    EXPECT_EQ(instance.fov(), (std::array<float, 2>{90.0f, 45.0f}));
    instance.construct();
    EXPECT_EQ(instance.fov(), (std::array<float, 2>{90.0f, 73.74f}));
}

TEST(ComponentTest, SceneTakesTheSceneTheLwsInstanceHoldsNow)
{
    const ComponentType& lwsType = *ComponentRegistry::instance().find("LWS");
    const auto lws = lwsType.createInstance();
    const RecordingType type;
    RecordingComponent instance(type);
    Variable scene = record(CommonVariable::Scene, ValueType::Pointer);
    scene.constant.pointer = lws.get();
    instance.applyVariables({scene});
    EXPECT_EQ(instance.scene(), nullptr);  // not loaded: none
    EXPECT_EQ(instance.hooked, (std::vector<std::int32_t>{CommonVariable::Scene}));
}

}  // namespace
}  // namespace mirva
