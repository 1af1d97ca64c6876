#pragma once
// ChaosZoomer: a video-feedback effect. Every frame it draws its previous frame back into
// itself, turned and zoomed, adds a dim inner pattern, multiplies the picture with the
// previous frame and adds five flares on a circle, into one of a pair of 256 x 256 render
// targets used in turn. The newest frame is the texture "chaoszoomertexture": a Sprite or
// Material naming it shows that frame in the same frame, when it comes after the zoomer.
// Nothing is drawn on the screen itself.
//
// Its five variables are the rates (per second) of the effect's phases: the flares' depth
// wobble, the turn of the feedback, two zoom wobbles, and the angle of the flare circle.
// A rate may be an envelope; it plays with the frame time.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the ChaosZoomer's own variables.
namespace ChaosZoomerVariable {
enum : std::int32_t {
    Param1 = 0,
    Param2 = 1,
    Param3 = 2,
    Param4 = 3,
    Param5 = 4,
};
}

class Camera;
class Material;
class RenderTarget;
class TexturedQuad;

class ChaosZoomerComponent final : public Component {
public:
    static constexpr const char* kTextureName = "chaoszoomertexture";
    static constexpr int kSide = 256;

    explicit ChaosZoomerComponent(const ComponentType& type);
    ~ChaosZoomerComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // The zoom of the feedback now: 1.5 plus the two wobbles.
    float zoom() const;
    const std::array<float, 5>& phases() const { return phases_; }

private:
    void resetRates();
    // Draws one feedback step into the target with the zoomer's own camera.
    void drawStep(float zoom);

    std::array<float, 5> phases_{};
    std::array<Variable, 5> rates_;
    std::unique_ptr<Camera> camera_;
    std::array<std::unique_ptr<RenderTarget>, 2> targets_;
    int source_ = 0;   // the previous frame; the other target is drawn next
    // The source's entry in the texture table, which the feedback material reads.
    std::string sourceName_;
    std::unique_ptr<Material> feedbackMaterial_;
    std::unique_ptr<TexturedQuad> feedback_;
    std::unique_ptr<TexturedQuad> flare_;
    std::unique_ptr<TexturedQuad> inner_;
};

class ChaosZoomerComponentType final : public ComponentTypeFor<ChaosZoomerComponent> {
public:
    ChaosZoomerComponentType();
};

}  // namespace mirva
