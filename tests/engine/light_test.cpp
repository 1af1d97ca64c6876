#include <cfloat>
#include <cmath>

#include <gtest/gtest.h>

#include "engine/light.h"
#include "tests/engine/engine_fixture.h"

namespace mirva::test {
namespace {

using Lights = EngineTest;

TEST(Light, DefaultsAreAWhitePointLightWithoutRange)
{
    const Light light;
    const D3DLIGHT8 record = light.record();
    EXPECT_EQ(record.Type, D3DLIGHT_POINT);
    EXPECT_EQ(record.Diffuse.r, 1.0f);
    EXPECT_EQ(record.Specular.a, 1.0f);
    EXPECT_EQ(record.Ambient.g, 0.0f);
    EXPECT_EQ(record.Direction.z, 1.0f);
    // Range 0 lights at any distance: the largest range there is.
    EXPECT_FLOAT_EQ(record.Range, 1.8446743e19f);
    EXPECT_EQ(record.Range, std::sqrt(FLT_MAX));
    EXPECT_EQ(record.Attenuation0, 1.0f);
    EXPECT_EQ(record.Falloff, 1.0f);
    EXPECT_FLOAT_EQ(record.Theta, 1.5707964f);
    EXPECT_FLOAT_EQ(record.Phi, 2.3561945f);
}

TEST(Light, KindsAndColoursBecomeDirect3DValues)
{
    Light light;
    light.kind = Light::SPOT;
    light.diffuse = 0x40FF8000;  // alpha 64, red 255, green 128, blue 0
    light.range = 12.5f;
    const D3DLIGHT8 spot = light.record();
    EXPECT_EQ(spot.Type, D3DLIGHT_SPOT);
    EXPECT_FLOAT_EQ(spot.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(spot.Diffuse.g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(spot.Diffuse.b, 0.0f);
    EXPECT_FLOAT_EQ(spot.Diffuse.a, 64.0f / 255.0f);
    EXPECT_EQ(spot.Range, 12.5f);
    light.kind = Light::DIRECTIONAL;
    EXPECT_EQ(light.record().Type, D3DLIGHT_DIRECTIONAL);
}

TEST_F(Lights, SetWritesTheSlotAndEnablesItDisableSwitchesItOff)
{
    Light light;
    light.position = {1, 2, 3};
    light.set(3);
    D3DLIGHT8 stored;
    ASSERT_EQ(device()->GetLight(3, &stored), D3D_OK);
    EXPECT_EQ(stored.Position.y, 2.0f);
    EXPECT_EQ(stored.Range, std::sqrt(FLT_MAX));
    BOOL enabled = FALSE;
    device()->GetLightEnable(3, &enabled);
    EXPECT_TRUE(enabled);
    Light::disable(3);
    device()->GetLightEnable(3, &enabled);
    EXPECT_FALSE(enabled);
}

}  // namespace
}  // namespace mirva::test
