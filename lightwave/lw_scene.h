#pragma once
// LWScene: a LightWave scene ("LWSC" text file) of objects, lights and cameras.
//
// Each item has a name, an optional Motion, a parent in the item hierarchy and a few
// flags; the scene adds fog, backdrop and ambient settings and a global light intensity
// envelope. `Update(t)` evaluates every motion and envelope at t seconds and gives every
// item its world matrix (its local matrix times its parent's world matrix). Components
// find objects and cameras by name; the object files named here are loaded by them.
//
// Item identifiers: the top hex digit is the kind (1 object, 2 light, 3 camera), the low
// 28 bits the index in that kind's list; -1 is no item.
//
// Loading also makes one engine Light per scene light (kind, colour times intensity,
// range, cone and attenuation); whoever plays the scene places them at their items' world
// matrices after an update (placeEngineLights).
//
// Does not: load object files or draw anything.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/light.h"
#include "lightwave/envelope.h"
#include "lightwave/motion.h"
#include "lightwave/transformation.h"

namespace mirva {

namespace ItemKind {
enum : std::int32_t { OBJECT = 1, LIGHT = 2, CAMERA = 3 };
}

struct SceneItem {
    std::int32_t id = -1;
    std::string name = "unknown";
    Motion* motion = nullptr;   // owned by the scene; null when the item has none
    Transformation local = Transformation::identity();
    Transformation world = Transformation::identity();
    std::set<std::int32_t> children;
    std::int32_t parent = -1;
    std::int32_t target = -1;   // kept from the file; evaluation doesn't use it
};

struct SceneObject : SceneItem {
    bool unaffectedByFog = false;
    bool unseenByCamera = false;
};

struct SceneCamera : SceneItem {
    float zoom = 0;   // the zoom factor at the last update
    std::unique_ptr<Envelope> zoomEnvelope;
};

struct SceneLight : SceneItem {
    float colour[3] = {255, 255, 255};   // 0..255
    float intensity = 1;
    float range = 0;
    std::int32_t type = 0;      // 0 distant, 1 point, 2 spot
    std::int32_t falloff = 0;   // 0 none, 1 or 2 as the file says
    float coneAngle = 0;        // degrees
    float edgeAngle = 0;
};

class LWScene {
public:
    // Reads and parses the file, links the hierarchy and updates at time 0.
    static LWScene Load(const std::string& fileName);
    // The same on text already in memory; `fileName` names the scene in messages.
    static LWScene Parse(const std::string& fileName, const std::string& text);

    // Evaluates every motion and envelope at `seconds` and recomputes the world matrices.
    void Update(float seconds);

    // The occurrence-th object (0 = first, in file order) named `name`; fatal when none.
    const SceneObject& FindObject(const std::string& name, int occurrence = 0) const;
    // How many objects are named `name`.
    int CountObjects(const std::string& name) const;
    const SceneCamera& FindCamera(const std::string& name) const;
    // The item with this identifier, or null.
    const SceneItem* item(std::int32_t id) const;

    const std::string& name() const { return name_; }
    const std::vector<SceneObject>& objects() const { return objects_; }
    const std::vector<SceneLight>& lights() const { return lights_; }
    const std::vector<SceneCamera>& cameras() const { return cameras_; }
    // One engine light per scene light, in the same order.
    const std::vector<Light>& engineLights() const { return engineLights_; }
    // Puts every engine light where its light item is now: at the item's world position,
    // shining along the item's z axis (a LightWave light looks down its own z).
    void placeEngineLights();

    int previewFirstFrame = 0;
    int previewLastFrame = 0;
    int framesPerSecond = 30;
    // Colours scaled to 0..255; the fourth component is 0.
    float backdropColour[4] = {0, 0, 0, 0};
    float ambientColour[4] = {0, 0, 0, 0};
    float fogColour[4] = {0, 0, 0, 0};
    float ambientIntensity = 0;
    float globalLightIntensity = 1;   // its envelope's value at the last update
    bool fogEnabled = false;
    bool backdropFog = false;
    float fogMinDistance = 0;
    float fogMaxDistance = 0;

    const Envelope* globalLightEnvelope() const { return globalLight_.get(); }

private:
    friend class SceneReader;

    SceneItem* item(std::int32_t id);
    void linkHierarchy();
    void createEngineLights();

    std::string name_;
    std::vector<SceneObject> objects_;
    std::vector<SceneLight> lights_;
    std::vector<SceneCamera> cameras_;
    std::vector<Light> engineLights_;
    std::multimap<std::string, std::int32_t> objectNames_;
    std::multimap<std::string, std::int32_t> cameraNames_;
    std::multimap<std::string, std::int32_t> lightNames_;
    std::unique_ptr<Envelope> globalLight_;
    std::vector<std::unique_ptr<Motion>> motions_;
};

}  // namespace mirva
