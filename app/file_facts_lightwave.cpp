#include "app/file_facts_lightwave.h"

#include <cstdio>
#include <set>

#include "lightwave/lw_object.h"
#include "lightwave/lw_scene.h"

namespace mirva {

namespace {

void printItem(const LWScene& scene, const char* kind, const SceneItem& item)
{
    const SceneItem* parent = scene.item(item.parent);
    std::printf("%s %08x '%s' parent ", kind, static_cast<unsigned>(item.id), item.name.c_str());
    if (item.parent == -1)
        std::printf("none\n");
    else if (!parent)
        std::printf("%08x (missing)\n", static_cast<unsigned>(item.parent));
    else
        std::printf("%08x '%s'\n", static_cast<unsigned>(parent->id), parent->name.c_str());
    const auto& m = item.world.m;
    std::printf("  world");
    for (int row = 0; row < 4; ++row)
        std::printf("%s %g %g %g", row == 0 ? "" : " |", m[row][0], m[row][1], m[row][2]);
    std::printf("\n");
}

}  // namespace

void inspectObject(const std::string& fileName)
{
    const LWObject object = LWObject::Load(fileName);
    const std::size_t points = object.vertices.size() - static_cast<std::size_t>(object.splitVertices);
    std::printf("object: %s\npoints: %zu\nvertices: %zu (%d split by per-polygon maps)\ntriangles: %zu\n",
                fileName.c_str(), points, object.vertices.size(), object.splitVertices, object.triangles.size());
    std::printf("bounds: %g %g %g .. %g %g %g\nradius: %g\n", object.boundsMin.x, object.boundsMin.y,
                object.boundsMin.z, object.boundsMax.x, object.boundsMax.y, object.boundsMax.z, object.radius);
    std::printf("surfaces: %zu\n", object.surfaces.size());
    for (std::size_t i = 0; i < object.surfaces.size(); ++i) {
        const ObjectSurface& surface = object.surfaces[i];
        const std::uint32_t c = surface.colour;
        std::printf("  %zu '%s' colour %u %u %u %u triangles %d\n", i, surface.name.c_str(), c >> 16 & 0xFF,
                    c >> 8 & 0xFF, c & 0xFF, c >> 24, surface.triangles);
    }
    std::printf("vertex maps: %zu\n", object.vertexMaps.size());
    for (const VertexMapInfo& map : object.vertexMaps)
        std::printf("  %s %s '%s' dimension %d entries %d\n", map.perPolygon ? "VMAD" : "VMAP", map.type.c_str(),
                    map.name.c_str(), map.dimension, map.entries);
}

void inspectScene(const std::string& fileName, float seconds)
{
    LWScene scene = LWScene::Load(fileName);
    scene.Update(seconds);
    std::printf("scene: %s\ntime: %g seconds\nframes: %d to %d at %d per second\n", fileName.c_str(), seconds,
                scene.previewFirstFrame, scene.previewLastFrame, scene.framesPerSecond);
    std::printf("ambient: %g %g %g intensity %g\nbackdrop: %g %g %g\n", scene.ambientColour[0], scene.ambientColour[1],
                scene.ambientColour[2], scene.ambientIntensity, scene.backdropColour[0], scene.backdropColour[1],
                scene.backdropColour[2]);
    std::printf("fog: %s %g to %g colour %g %g %g%s\n", scene.fogEnabled ? "on" : "off", scene.fogMinDistance,
                scene.fogMaxDistance, scene.fogColour[0], scene.fogColour[1], scene.fogColour[2],
                scene.backdropFog ? " backdrop fog" : "");
    std::printf("global light intensity: %g\n", scene.globalLightIntensity);
    std::printf("items: %zu objects, %zu lights, %zu cameras\n", scene.objects().size(), scene.lights().size(),
                scene.cameras().size());
    for (const SceneObject& object : scene.objects())
        printItem(scene, "object", object);
    for (const SceneLight& light : scene.lights()) {
        printItem(scene, "light", light);
        std::printf("  type %d colour %g %g %g intensity %g\n", light.type, light.colour[0], light.colour[1],
                    light.colour[2], light.intensity);
    }
    for (const SceneCamera& camera : scene.cameras()) {
        printItem(scene, "camera", camera);
        std::printf("  zoom %g\n", camera.zoom);
    }
    // The names as a script writes them to find the scene's objects and cameras: each
    // distinct object name once, in file order, with how many objects carry it.
    std::set<std::string> named;
    for (const SceneObject& object : scene.objects()) {
        if (!named.insert(object.name).second)
            continue;
        const int count = scene.CountObjects(object.name);
        std::printf("object name: \"%s\"", object.name.c_str());
        if (count > 1)
            std::printf(" (%d times)", count);
        std::printf("\n");
    }
    for (const SceneCamera& camera : scene.cameras())
        std::printf("camera name: \"%s\"\n", camera.name.c_str());
}

}  // namespace mirva
