#include "components/placement.h"

#include "engine/primitive.h"

namespace mirva {

std::vector<const Light*> sceneLights(const Component& component)
{
    // The device lights eight at once; a scene with more lights the rest not at all.
    constexpr std::size_t kDeviceLights = 8;
    std::vector<const Light*> lights;
    if (const LWScene* scene = component.scene())
        for (const Light& light : scene->engineLights())
            if (lights.size() < kDeviceLights)
                lights.push_back(&light);
    return lights;
}

void drawAtPlacements(const Component& component, const std::string& name, Variable& motion, Primitive& mesh,
                      Material* material, Camera& camera, float seconds)
{
    mesh.setMaterial(material);
    mesh.setLights(sceneLights(component));
    if (!component.scene())
        motion.advance(seconds);
    forEachPlacement(component, name, motion, [&](const Transformation& world) {
        mesh.transformation = world;
        mesh.draw(camera);
    });
}

}  // namespace mirva
