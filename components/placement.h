#pragma once
// Where a component that draws a thing in the world draws it this frame: at every object
// of its scene (the common Scene variable) whose name is the thing's name, in the scene's
// order, or, without a scene, once at its own Motion. Sprite, Object, Cartoon, Painterly
// and Scroller3D all place themselves this way.
//
//   if (!scene()) motion_.advance(seconds);
//   forEachPlacement(*this, objectName_, motion_, [&](const Transformation& world) {
//       mesh.transformation = world;
//       mesh.draw(camera);
//   });
//
// A scene that has no object of that name draws nothing: the name picks scene objects,
// it never falls back to the Motion.
#include <string>
#include <vector>

#include "components/component.h"
#include "lightwave/lw_scene.h"
#include "script/variable.h"

namespace mirva {

class Camera;
class Material;
class Primitive;

template <typename Draw>
void forEachPlacement(const Component& component, const std::string& name, const Variable& motion, Draw&& draw)
{
    if (const LWScene* scene = component.scene()) {
        for (const SceneObject& object : scene->objects())
            if (object.name == name)
                draw(object.world);
        return;
    }
    draw(motion.readTransformation());
}

// The lights of the component's scene (placed by the scene's last update), at most the
// first eight, for lit drawing; none without a scene.
std::vector<const Light*> sceneLights(const Component& component);

// How an Object draws its mesh, which Scroller3D shares: with `material`, lit by the
// scene's lights, at every placement; the Motion moves on when there is no scene.
void drawAtPlacements(const Component& component, const std::string& name, Variable& motion, Primitive& mesh,
                      Material* material, Camera& camera, float seconds);

}  // namespace mirva
