#include "player/instance_camera.h"

#include <algorithm>
#include <cmath>

#include "components/component.h"
#include "engine/camera.h"
#include "lightwave/lw_scene.h"

namespace mirva {

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

float unit(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

// The first camera of the scene with exactly that name, or null.
const SceneCamera* sceneCamera(const LWScene* scene, const std::string& name)
{
    if (!scene)
        return nullptr;
    for (const SceneCamera& camera : scene->cameras())
        if (camera.name == name)
            return &camera;
    return nullptr;
}

}  // namespace

void setUpCamera(Camera& camera, const Component& instance)
{
    // Every corner within the screen; a rectangle turned inside out has no width or
    // height rather than a negative one.
    const std::array<float, 4> viewport = instance.viewport();
    const float x = unit(viewport[0]), y = unit(viewport[1]), w = unit(viewport[3]);
    float z = unit(viewport[2]);
    if (x > z)
        z = x;
    camera.left = x;
    camera.top = y;
    camera.right = z;
    camera.bottom = std::max(y, w);

    const std::array<float, 2> fov = instance.fov();
    float horizontal = fov[0] * kRadiansPerDegree;
    float vertical = fov[1] * kRadiansPerDegree;
    Transformation world;
    if (const SceneCamera* lightwave = sceneCamera(instance.scene(), instance.cameraName())) {
        world = lightwave->world;
        const float h = (camera.bottom - camera.top) * static_cast<float>(camera.screenHeight);
        const float wide = (camera.right - camera.left) * static_cast<float>(camera.screenWidth);
        const float aspect = h == 0.0f ? 0.0f : wide / h;
        horizontal = 2.0f * std::atan(aspect / lightwave->zoom);
        vertical = 2.0f * std::atan(1.0f / lightwave->zoom);
    } else {
        world = instance.cameraMotion();
    }
    camera.placement = world;
    camera.view = world.rigidInverse();
    camera.horizontalFov = horizontal;
    camera.verticalFov = vertical;

    const std::array<float, 2> frontBack = instance.frontBack();
    camera.nearPlane = frontBack[0];
    camera.farPlane = frontBack[1];
    camera.ambient = instance.ambient();
    camera.depthMode = instance.zBufferMode();
}

}  // namespace mirva
