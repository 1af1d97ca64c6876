#pragma once
// Scroller: one line of bitmap-font text moving sideways at a constant rate. The text is
// centred on (Position x + phase, Position y) at depth 1, and the phase grows by Speed
// units per second; construct starts it again at 0. Size and Col go to the loaded font,
// so they take effect from the Construct block on (before it there is no font to hold
// them, and they are dropped). The glyphs are multiplied by Col, alpha included.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

class BitmapFont;

// Identifiers of the Scroller's own variables.
namespace ScrollerVariable {
enum : std::int32_t {
    Font = 0,
    Position = 1,
    Speed = 2,
    Phase = 3,
    Blend = 4,
    Size = 7,
    Col = 8,
    Text = 9,
};
}

class ScrollerComponent final : public Component {
public:
    explicit ScrollerComponent(const ComponentType& type);
    ~ScrollerComponent() override;
    void construct() override;
    void destruct() override { font_.reset(); }
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    float phase() const { return phase_; }
    BitmapFont* font() const { return font_.get(); }

private:
    std::string fontFile_;
    std::string text_;
    std::unique_ptr<BitmapFont> font_;
    float x_ = 0.0f, y_ = 0.0f;
    float phase_ = 0.0f;
    float speed_ = 1.0f;
    std::int32_t blend_ = 4;  // BLEND
};

class ScrollerComponentType final : public ComponentTypeFor<ScrollerComponent> {
public:
    ScrollerComponentType();
};

}  // namespace mirva
