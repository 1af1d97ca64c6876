#pragma once
// Painterly: draws a LightWave object as a cloud of textured brush strokes laid along the
// principal directions of its surface, placed by its Motion or at every object of its
// scene that has the object's file name.
//
// Four strokes are scattered over every triangle once per object file and shared by the
// instances showing that file (components/brush_strokes.h has the model). Every frame
// the strokes facing the camera are sorted far to near, coloured from the surface colour,
// the environment image "EnvMap" (a sphere map looked up by the normal) and a highlight,
// and drawn as quads of the brush texture "BrushMap" (white with alpha: the stroke's
// colour tints it), blended over what is behind. The light comes from the camera.
#include <cstdint>
#include <memory>
#include <string>

#include "components/brush_strokes.h"
#include "components/cache_template.h"
#include "components/component.h"
#include "components/component_type.h"
#include "io/surface.h"

namespace mirva {

// Identifiers of the Painterly's own variables.
namespace PainterlyVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    BrushMap = 2,
    EnvMap = 3,
};
}

class Material;
struct PainterlyObject;

class PainterlyComponent final : public Component {
public:
    explicit PainterlyComponent(const ComponentType& type);
    ~PainterlyComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // How many constructed instances share the strokes of this object file now.
    static int sharing(const std::string& fileName);
    // Strokes and batches drawn for the last placement.
    int strokesDrawn() const { return strokesDrawn_; }
    int batchesDrawn() const { return batchesDrawn_; }

private:
    void resetMotion();
    void drawAt(Camera& camera, const Transformation& world);

    std::string fileName_;
    std::string brushName_;
    std::string environmentName_;
    CacheHold<PainterlyObject> held_;
    PainterlyObject* object_ = nullptr;
    Variable motion_;
    std::unique_ptr<Material> brush_;
    Surface environment_;
    StrokePainter painter_;
    int strokesDrawn_ = 0;
    int batchesDrawn_ = 0;
};

class PainterlyComponentType final : public ComponentTypeFor<PainterlyComponent> {
public:
    PainterlyComponentType();
};

}  // namespace mirva
