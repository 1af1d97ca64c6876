#pragma once
// Component: the base of every instance a script creates with `Construct`.
//
// The script player drives an instance through these operations:
//   applyVariables   assigns a variable block: the common variables below are handled
//                    here, then every record goes to the instance's variableHook;
//   construct        loads what the construction parameters name (called when the
//                    Construct instruction plays, after those parameters were applied);
//   update           advances the instance's own animation and renders it, once a frame
//                    while it is constructed and enabled, with the camera set up from the
//                    common variables;
//   destruct         frees what construct loaded.
// An instance is constructed and destructed any number of times (every restart of the
// script constructs it again); it is deleted with the player.
//
// Every component has the twelve common variables (ComponentType declares them): Enabled,
// Layer, RowsToShow, SampleNumber, CameraMotion, Viewport, FOV, FrontBack, Ambient,
// ZBufferMode, Scene, CameraName.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/component_type.h"
#include "lightwave/transformation.h"
#include "script/script_type.h"
#include "script/variable.h"

namespace mirva {

class Camera;
class LWScene;

// Identifiers of the common variables; a type numbers its own from 0.
namespace CommonVariable {
enum : std::int32_t {
    Enabled = 10000000,
    Layer = 10000001,
    RowsToShow = 10000002,
    SampleNumber = 10000003,
    CameraMotion = 10000004,
    Viewport = 10000005,
    FOV = 10000006,
    FrontBack = 10000007,
    Ambient = 10000008,
    ZBufferMode = 10000009,
    Scene = 10000010,
    CameraName = 10000011,
};
}

class Component : public ScriptInstance {
public:
    explicit Component(const ComponentType& type);
    ~Component() override;

    const ComponentType& getType() const override { return type_; }

    // Resets the component's own variables to their defaults (after resetBase) and loads
    // the resources its construction parameters name.
    virtual void construct() = 0;
    // Frees what construct loaded.
    virtual void destruct() = 0;
    // Advances the component's own envelope records by the frame seconds and renders it
    // through the camera, which is already set up from the common variables.
    virtual void update(Camera& camera, float seconds) = 0;
    // Copies a record the type declared into the component's own fields or records;
    // called for every record applied, the common ones included.
    virtual void variableHook(const Variable& record);
    // Checks, while the script is loaded, the values of a block given to this instance:
    // what the type can judge from the script alone (the bounds of a count, an index
    // against a count its Construct block set), so that `mirva check` reports it with its
    // line. Fatal, the message beginning with `where` ("line 12 Set title"). Blocks come
    // in script order, the Construct block first.
    virtual void checkValues(const std::vector<Variable>& block, const std::string& where);
    // The scene an LWS instance has loaded; none for every other type.
    virtual std::shared_ptr<LWScene> loadedScene() const { return nullptr; }

    // Every common field back to its default, the lifecycle state and sample triggering
    // included; the envelope phase and speed of the common records are kept.
    void resetBase();
    // Assigns the records in list order.
    void applyVariables(const std::vector<Variable>& list);
    // Moves the phases of CameraMotion, Viewport, FOV, FrontBack and Ambient on.
    void advanceBaseRecords(float seconds);

    bool enabled() const { return enabled_; }
    // Plain switch; only an assignment of Enabled = true restarts the rows-shown count.
    void setEnabled(bool on) { enabled_ = on; }
    std::int32_t layer() const { return layer_; }
    std::int32_t rowsToShow() const { return rowsToShow_; }
    std::int32_t rowsShown() const { return rowsShown_; }
    void setRowsShown(std::int32_t rows) { rowsShown_ = rows; }
    const std::vector<std::int32_t>& sampleNumbers() const { return sampleNumbers_; }
    bool sampleTriggering() const { return sampleTriggering_; }
    void setSampleTriggering(bool on) { sampleTriggering_ = on; }
    const std::vector<Variable>& sampleBlock() const { return sampleBlock_; }
    void setSampleBlock(std::vector<Variable> block) { sampleBlock_ = std::move(block); }

    Transformation cameraMotion() const { return cameraMotion_.readTransformation(); }
    std::array<float, 4> viewport() const { return viewport_.readVector4(); }
    std::array<float, 2> fov() const { return fov_.readVector2(); }
    std::array<float, 2> frontBack() const { return frontBack_.readVector2(); }
    std::uint32_t ambient() const { return ambient_.readColor(); }
    std::int32_t zBufferMode() const { return zBufferMode_; }
    // Text components switch the depth test off in their construct.
    void setZBufferMode(std::int32_t mode) { zBufferMode_ = mode; }
    // The scene taken by the last Scene assignment, as long as its LWS instance still
    // holds it: a scene destructed since (by the script or a restart) is none.
    LWScene* scene() const { return scene_.lock().get(); }
    const std::string& cameraName() const { return cameraName_; }

private:
    const ComponentType& type_;
    bool sampleTriggering_ = false;
    std::int32_t rowsShown_ = 0;
    bool enabled_ = false;
    std::int32_t layer_ = 0;
    Variable cameraMotion_;
    Variable viewport_;
    Variable fov_;
    Variable frontBack_;
    Variable ambient_;
    std::int32_t zBufferMode_ = 2;
    std::int32_t rowsToShow_ = 2147483647;
    std::weak_ptr<LWScene> scene_;
    std::string cameraName_;
    std::vector<std::int32_t> sampleNumbers_;
    std::vector<Variable> sampleBlock_;
};

}  // namespace mirva
