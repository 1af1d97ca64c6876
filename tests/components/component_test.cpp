// The component framework: what applying a block does to the row count and the animated
// common records. (The common fields a block sets, and the row count that every Begin
// restarts, are shown by the player's tests of scripts that use them.)
#include "components/component.h"

#include <gtest/gtest.h>

#include "components/component_type.h"

namespace mirva {
namespace {

// An instance of nothing but the common fields.
class PlainComponent final : public Component {
public:
    using Component::Component;
    void construct() override { resetBase(); }
    void destruct() override {}
    void update(Camera& /*camera*/, float /*seconds*/) override {}
};

class PlainType final : public ComponentTypeFor<PlainComponent> {
public:
    PlainType() : ComponentTypeFor("Plain", "common fields only") {}
};

Variable record(std::int32_t identifier, std::int32_t type, std::int32_t integer = 0)
{
    return {.type = type, .identifier = identifier, .constant = {.integer = integer, .boolean = integer != 0}};
}

TEST(Component, DisablingKeepsTheRowCountAPhaseHidesAndAnimatedCommonRecordsAdvance)
{
    const PlainType type;
    PlainComponent instance{type};
    const Variable on = record(CommonVariable::Enabled, ValueType::Bool, 1);
    instance.applyVariables({on});
    instance.setRowsShown(7);
    instance.applyVariables({record(CommonVariable::Enabled, ValueType::Bool, 0)});
    EXPECT_EQ(std::pair(instance.enabled(), instance.rowsShown()), std::pair(false, 7));
    // Phase only: the record's constant is zero, so the instance is hidden.
    instance.applyVariables({on});
    Variable phase = record(CommonVariable::Enabled, ValueType::PhaseOnly);
    phase.envelopePhase = 2;
    instance.applyVariables({phase});
    EXPECT_FALSE(instance.enabled());
    // Animated common records advance with the frame time.
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
    phase.identifier = CommonVariable::FOV;
    instance.applyVariables({phase});
    EXPECT_EQ(instance.fov(), (std::array<float, 2>{90.0f, 45.0f}));
    instance.construct();
    EXPECT_EQ(instance.fov(), (std::array<float, 2>{90.0f, 73.74f}));
}

}  // namespace
}  // namespace mirva
