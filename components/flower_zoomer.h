#pragma once
// FlowerZoomer: an endless flight through a field of 60 flat, rotating, textured flowers
// that fade into the background colour through fog.
//
// The flowers stand on a 20-unit-deep column in front of the camera (x and y within
// -15..15, placed by the program's random generator when the instance is made); they
// turn at RotationSpeed and move along z at ZoomSpeed, and one that leaves the column at
// either end comes back at the other, so the flight never ends. They are drawn far to
// near (from the start index on) without depth test. Fog starts at depth 15 and hides a
// flower completely at 20; the script clears the screen to BackGroundColor (a Clearer)
// so that the far flowers melt into it.
//
// One flower model serves all: `Petals` petals (quads from PetalInnerRadius to
// PetalOuterRadius, PetalWidth half-wide, the first pointing up) textured by PetalMap and
// tinted PetalColor, and a middle square of half-size 1 textured by MiddleMap and tinted
// MiddleColor. The colours and speeds may be envelopes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the FlowerZoomer's own variables.
namespace FlowerZoomerVariable {
enum : std::int32_t {
    MiddleMap = 0,
    PetalMap = 1,
    Petals = 2,
    PetalWidth = 3,
    PetalInnerRadius = 4,
    PetalOuterRadius = 5,
    BackGroundColor = 6,
    MiddleColor = 7,
    PetalColor = 8,
    RotationSpeed = 9,
    ZoomSpeed = 10,
};
}

class Material;
class Primitive;

class FlowerZoomerComponent final : public Component {
public:
    static constexpr int kFlowers = 60;
    static constexpr float kDepth = 20.0f;
    // Four vertices a petal, with 16-bit indices.
    static constexpr std::int32_t kMostPetals = 16383;

    struct Flower {
        float x = 0, y = 0, z = 0;
        float angle = 0;
    };

    explicit FlowerZoomerComponent(const ComponentType& type);
    ~FlowerZoomerComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;
    void checkValues(const std::vector<Variable>& block, const std::string& where) override;

    const std::array<Flower, kFlowers>& flowers() const { return flowers_; }
    // The flower drawn first (the farthest one, flying towards the camera).
    int startIndex() const { return startIndex_; }
    const Primitive* petals() const { return petals_.get(); }

private:
    void resetOwnVariables();
    void buildModel();
    void move(float seconds);

    std::array<Flower, kFlowers> flowers_;
    int startIndex_ = kFlowers;
    std::string middleMap_, petalMap_;
    std::int32_t petalCount_ = 0;
    float petalWidth_ = 0, innerRadius_ = 0, outerRadius_ = 0;
    Variable background_, middleColor_, petalColor_, rotationSpeed_, zoomSpeed_;
    std::unique_ptr<Material> petalMaterial_, middleMaterial_;
    std::unique_ptr<Primitive> petals_, middle_;
};

class FlowerZoomerComponentType final : public ComponentTypeFor<FlowerZoomerComponent> {
public:
    FlowerZoomerComponentType();
};

}  // namespace mirva
