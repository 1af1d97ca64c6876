#pragma once
// Writer2: several lines of bitmap-font text, typed out character by character.
//
// Line i starts UpperAhead * i phase units in; character j of it appears when the
// rounded phase passes UpperAhead * i + j, first ChangeSpeed * Changing codes above its
// own, and counts down to it over the next Changing phase units.
#include <cstdint>
#include <string>

#include "components/component_type.h"
#include "components/text_writer.h"

namespace mirva {

// Identifiers of the Writer2's own variables.
namespace Writer2Variable {
enum : std::int32_t {
    Font = 0,
    Speed = 1,
    Phase = 2,
    Blend = 3,
    Add = 4,
    Mul = 5,
    UpperAhead = 6,
    Changing = 7,
    ChangeSpeed = 8,
    MaxLines = 9,
    UsedLines = 10,
    l = 11,
    pos = 12,
    size = 13,
    col = 14,
    ref = 15,
    txt = 16,
};
}

class Writer2Component final : public TextWriter {
public:
    explicit Writer2Component(const ComponentType& type);
    void construct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // What line `line` shows of `text` at `phase`: the characters typed so far, those
    // still rolling drawn with the codes above their own.
    std::string shownText(const std::string& text, int line, float phase) const;
    // The font blend the flags choose.
    int blend() const;

private:
    bool blend_ = true;
    bool add_ = false;
    bool mul_ = false;
    std::int32_t upperAhead_ = 4;
    std::int32_t changing_ = 4;
    std::int32_t changeSpeed_ = 1;
};

class Writer2ComponentType final : public ComponentTypeFor<Writer2Component> {
public:
    Writer2ComponentType();
};

}  // namespace mirva
