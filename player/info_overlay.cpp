#include "player/info_overlay.h"

#include <cmath>

#include "components/component.h"
#include "engine/camera.h"
#include "engine/material.h"
#include "engine/texture.h"
#include "io/console.h"

namespace mirva {

namespace {

// One font pixel is one pixel of a 640 x 480 screen at depth 1 with the default camera.
constexpr float kHorizontalScale = 0.003125f;
constexpr float kVerticalScale = 0.0041666669f;

}  // namespace

InfoOverlay::InfoOverlay(const Camera& camera) : font_(kFontFile)
{
    Material& material = font_.material();
    material.type = Material::TEXTURE;
    material.blend = Material::BLEND;
    material.filter = Material::BILINEAR;
    font_.horizontalScale = kHorizontalScale;
    font_.verticalScale = kVerticalScale;
    const float halfWidth = std::tan(camera.horizontalFov / 2.0f);
    const float halfHeight = std::tan(camera.verticalFov / 2.0f);
    const auto h = static_cast<float>(font_.height());
    grid_ = {-halfWidth, halfHeight, halfWidth * h * 0.003125f, -halfHeight * h * 0.0041666667f};
}

void InfoOverlay::print(Camera& camera, int column, int row, const std::string& text)
{
    const float x = grid_[0] + static_cast<float>(column) * grid_[2];
    const float y = grid_[1] + static_cast<float>(row) * grid_[3];
    const float z = 1.0f;
    // The cell's corner from camera space into the world: the camera's placement.
    const Transformation& p = camera.placement;
    Transformation placed = p;
    for (int c = 0; c < 3; ++c)
        placed.m[3][c] = x * p.m[0][c] + y * p.m[1][c] + z * p.m[2][c] + p.m[3][c];
    font_.transformation = placed;
    font_.drawString(camera, 0, text);
}

void InfoOverlay::setUpCamera(Camera& camera)
{
    camera.placement = Transformation::identity();
    camera.view = Transformation::identity();
    camera.left = 0.0f;
    camera.top = 0.0f;
    camera.right = 1.0f;
    camera.bottom = 1.0f;
    camera.nearPlane = 0.1f;
    camera.farPlane = 100.0f;
    camera.horizontalFov = 1.5707964f;
    camera.verticalFov = 1.2870058f;
    camera.depthMode = Camera::NO_DEPTH;
}

void InfoOverlay::draw(Camera& camera, float fps, Time time, const std::vector<std::unique_ptr<Component>>& instances)
{
    setUpCamera(camera);
    print(camera, 0, 0, formatText("fps %.1f", static_cast<double>(fps)));
    print(camera, 0, 1, formatText("Texmem: %dk", Texture::textureMemory() / 1024));
    print(camera, 0, 2, infoTimeText(time));
    int row = 3;
    for (const auto& instance : instances) {
        if (instance->lifecycleState() != LifecycleState::Constructed || !instance->enabled())
            continue;
        print(camera, 0, row++,
              formatText("%d %s %s", instance->layer(), instance->getType().name().c_str(), instance->name().c_str()));
    }
}

std::string infoTimeText(Time time)
{
    return formatText("%02d:%02d:%02d", (time >> 14) & 0x1FFFF, (time >> 8) & 63, time & 255);
}

}  // namespace mirva
