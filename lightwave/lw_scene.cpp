#include "lightwave/lw_scene.h"

#include <string>

#include "io/console.h"
#include "io/phile.h"
#include "lightwave/lwo_readers.h"

namespace mirva {

LWScene LWScene::Load(const std::string& fileName)
{
    const PhileBlock bytes = Phile::load(fileName);
    return Parse(fileName, std::string(bytes.begin(), bytes.end()));
}

const SceneItem* LWScene::item(std::int32_t id) const
{
    return const_cast<LWScene*>(this)->item(id);
}

SceneItem* LWScene::item(std::int32_t id)
{
    if (id == -1)
        return nullptr;
    const std::size_t index = static_cast<std::size_t>(id & 0x0FFFFFFF);
    switch (static_cast<std::uint32_t>(id) >> 28) {
    case ItemKind::OBJECT:
        return index < objects_.size() ? &objects_[index] : nullptr;
    case ItemKind::LIGHT:
        return index < lights_.size() ? &lights_[index] : nullptr;
    case ItemKind::CAMERA:
        return index < cameras_.size() ? &cameras_[index] : nullptr;
    default:
        return nullptr;
    }
}

// A parent that names no item, or the item itself, is not followed: such an item is a
// root of the hierarchy.
void LWScene::linkHierarchy()
{
    auto link = [this](SceneItem& child) {
        SceneItem* parent = child.parent == child.id ? nullptr : item(child.parent);
        if (parent)
            parent->children.insert(child.id);
    };
    for (SceneObject& object : objects_)
        link(object);
    for (SceneCamera& camera : cameras_)
        link(camera);
    for (SceneLight& light : lights_)
        link(light);
}

// Point and spot lights reach 10000 units; a point light with falloff 2 loses half its
// strength over its range. A light without a range (0) would divide by zero there: it
// gets no falloff with distance instead.
void LWScene::createEngineLights()
{
    constexpr float kRadiansPerDegree = 0.017453292f;
    engineLights_.clear();
    for (const SceneLight& scene : lights_) {
        Light light;
        switch (scene.type) {
        case 0:
            light.kind = Light::DIRECTIONAL;
            break;
        case 1:
            light.kind = Light::POINT;
            light.range = 10000.0f;
            if (scene.falloff == 2 && scene.range > 0.0f) {
                light.attenuation0 = 0.5f;
                light.attenuation1 = 10000.0f / scene.range;
                light.attenuation2 = 0.0f;
            } else if (scene.falloff != 1) {
                light.attenuation0 = 1.0f;
                light.attenuation1 = light.attenuation2 = 0.0f;
            }
            break;
        default:
            light.kind = Light::SPOT;
            light.range = 10000.0f;
            light.theta = (scene.coneAngle - scene.edgeAngle) * kRadiansPerDegree;
            light.phi = scene.coneAngle * kRadiansPerDegree;
            light.attenuation0 = 1.0f;
            light.attenuation1 = light.attenuation2 = 0.0f;
            break;
        }
        // The colour is kept in 0..255 a channel; the engine's colour is clamped to bytes.
        const Vector3 colour{scene.colour[0], scene.colour[1], scene.colour[2]};
        light.diffuse = light.specular = colourFromFloats(colour * (scene.intensity / 255.0f));
        engineLights_.push_back(light);
    }
}

void LWScene::placeEngineLights()
{
    for (std::size_t i = 0; i < lights_.size() && i < engineLights_.size(); ++i) {
        const auto& m = lights_[i].world.m;
        const Vector3 along = normalised({m[2][0], m[2][1], m[2][2]});
        engineLights_[i].position = {m[3][0], m[3][1], m[3][2]};
        engineLights_[i].direction = {along.x, along.y, along.z};
    }
}

void LWScene::Update(float seconds)
{
    auto evaluate = [seconds](SceneItem& item) {
        if (item.motion)
            item.motion->Evaluate(seconds, item.local);
    };
    for (SceneObject& object : objects_)
        evaluate(object);
    for (SceneCamera& camera : cameras_) {
        evaluate(camera);
        if (camera.zoomEnvelope)
            camera.zoom = camera.zoomEnvelope->Evaluate(seconds);
    }
    for (SceneLight& light : lights_)
        evaluate(light);
    if (globalLight_)
        globalLightIntensity = globalLight_->Evaluate(seconds);

    // World matrices from the roots down. Items whose parents form a loop are reached
    // from no root; they are placed by their own matrices alone.
    std::vector<SceneItem*> all;
    for (SceneObject& object : objects_)
        all.push_back(&object);
    for (SceneLight& light : lights_)
        all.push_back(&light);
    for (SceneCamera& camera : cameras_)
        all.push_back(&camera);
    std::vector<SceneItem*> pending;
    std::set<std::int32_t> placed;
    auto placeFrom = [&](SceneItem& root) {
        root.world = root.local;
        placed.insert(root.id);
        pending.assign(1, &root);
        while (!pending.empty()) {
            SceneItem* parent = pending.back();
            pending.pop_back();
            for (std::int32_t id : parent->children) {
                SceneItem* child = item(id);
                if (!child || placed.count(id))
                    continue;
                child->world = multiply(child->local, parent->world);
                placed.insert(id);
                pending.push_back(child);
            }
        }
    };
    for (SceneItem* candidate : all) {
        const bool root = candidate->parent == candidate->id || !item(candidate->parent);
        if (root)
            placeFrom(*candidate);
    }
    for (SceneItem* candidate : all)
        if (!placed.count(candidate->id))
            candidate->world = candidate->local;
}

const SceneObject& LWScene::FindObject(const std::string& name, int occurrence) const
{
    auto [begin, end] = objectNames_.equal_range(name);
    for (int i = 0; begin != end; ++begin, ++i)
        if (i == occurrence)
            return objects_[static_cast<std::size_t>(begin->second & 0x0FFFFFFF)];
    Console::error("LW Scene doesn't contain object '%s'", name.c_str());
}

int LWScene::CountObjects(const std::string& name) const
{
    return static_cast<int>(objectNames_.count(name));
}

const SceneCamera& LWScene::FindCamera(const std::string& name) const
{
    const auto found = cameraNames_.lower_bound(name);
    if (found == cameraNames_.end() || found->first != name)
        Console::error("LW Scene doesn't contain camera '%s'", name.c_str());
    return cameras_[static_cast<std::size_t>(found->second & 0x0FFFFFFF)];
}

}  // namespace mirva
