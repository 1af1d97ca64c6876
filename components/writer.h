#pragma once
// Writer: several lines of bitmap-font text, faded and wobbled in one after another.
//
// Line i starts when the phase reaches i / 2 and takes one phase unit to settle: with
// t = phase - i / 2 held to 0..1 and s = sin(t * pi / 2), it is stretched vertically by
// 1 + 15 (1 - s)^4 sin(100 s) and drawn with alpha 255 s over its colour lifted towards
// white by the same amount, so it fades in from transparent white to its colour.
#include <cstdint>

#include "components/component_type.h"
#include "components/text_writer.h"
#include "script/enums.h"

namespace mirva {

// Identifiers of the Writer's own variables.
namespace WriterVariable {
enum : std::int32_t {
    Font = 0,
    Speed = 1,
    Phase = 2,
    Blend = 3,
    MaxLines = 4,
    UsedLines = 5,
    l = 6,
    pos = 7,
    size = 8,
    col = 9,
    ref = 10,
    txt = 11,
};
}

class WriterComponent final : public TextWriter {
public:
    explicit WriterComponent(const ComponentType& type);
    void construct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // The vertical stretch and the drawn colour of a line at `phase`.
    static float wobble(float phase, int line);
    static std::uint32_t fadedColor(std::uint32_t color, float phase, int line);

private:
    std::int32_t blend_ = 4;  // BLEND
};

class WriterComponentType final : public ComponentTypeFor<WriterComponent> {
public:
    explicit WriterComponentType(Enums& enums);
};

}  // namespace mirva
