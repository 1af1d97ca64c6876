#include "components/writer2.h"

#include <algorithm>
#include <cmath>

#include "engine/material.h"
#include "io/console.h"

namespace mirva {

Writer2ComponentType::Writer2ComponentType()
    : ComponentTypeFor("Writer2", "Writer2 writes multiple lines of text on screen")
{
    declareConstructionParameter(Writer2Variable::Font, ValueType::String, "Font");
    declareParameter(Writer2Variable::Speed, ValueType::Float, "Speed");
    declareParameter(Writer2Variable::Phase, ValueType::Float, "Phase");
    declareParameter(Writer2Variable::Blend, ValueType::Bool, "Blend");
    declareParameter(Writer2Variable::Add, ValueType::Bool, "Add");
    declareParameter(Writer2Variable::Mul, ValueType::Bool, "Mul");
    declareParameter(Writer2Variable::UpperAhead, ValueType::Int, "UpperAhead");
    declareParameter(Writer2Variable::Changing, ValueType::Int, "Changing");
    declareParameter(Writer2Variable::ChangeSpeed, ValueType::Float, "ChangeSpeed");
    declareConstructionParameter(Writer2Variable::MaxLines, ValueType::Int, "MaxLines");
    declareParameter(Writer2Variable::UsedLines, ValueType::Int, "UsedLines");
    declareParameter(Writer2Variable::l, ValueType::Int, "l");
    declareParameter(Writer2Variable::pos, ValueType::Vector2, "pos");
    declareParameter(Writer2Variable::size, ValueType::Vector2, "size");
    declareParameter(Writer2Variable::col, ValueType::Color, "col");
    declareParameter(Writer2Variable::ref, ValueType::Int, "ref");
    declareParameter(Writer2Variable::txt, ValueType::String, "txt");
}

}  // namespace mirva

namespace mirva {

namespace {

// The longest line Writer2 builds; the rest of a longer text is not drawn.
constexpr std::size_t kMaxLineCharacters = 1023;

}  // namespace

Writer2Component::Writer2Component(const ComponentType& type)
    : TextWriter(type, {.font = Writer2Variable::Font,
                        .speed = Writer2Variable::Speed,
                        .phase = Writer2Variable::Phase,
                        .maxLines = Writer2Variable::MaxLines,
                        .usedLines = Writer2Variable::UsedLines,
                        .l = Writer2Variable::l,
                        .pos = Writer2Variable::pos,
                        .size = Writer2Variable::size,
                        .col = Writer2Variable::col,
                        .txt = Writer2Variable::txt})
{
}

void Writer2Component::construct()
{
    constructTextBlock();
    blend_ = true;
    add_ = false;
    mul_ = false;
    upperAhead_ = 4;
    changing_ = 4;
    changeSpeed_ = 1;
}

void Writer2Component::variableHook(const Variable& record)
{
    if (takeSharedVariable(record))
        return;
    switch (record.identifier) {
    case Writer2Variable::Blend: blend_ = record.readBool(); break;
    case Writer2Variable::Add: add_ = record.readBool(); break;
    case Writer2Variable::Mul: mul_ = record.readBool(); break;
    case Writer2Variable::UpperAhead: upperAhead_ = record.readInt(); break;
    case Writer2Variable::Changing: changing_ = record.readInt(); break;
    case Writer2Variable::ChangeSpeed: changeSpeed_ = truncateToInt(record.readFloat()); break;
    case Writer2Variable::ref: {
        const std::int32_t ref = record.readInt();
        if (ref < 0 || ref > 2)
            Console::fatal("Writer ref: allowed values are 0 = left, 1 = center, 2 = right");
        if (TextLine* line = currentLine())
            line->referencePoint = 3 + ref;
        break;
    }
    default: break;
    }
}

int Writer2Component::blend() const
{
    if (mul_)
        return Material::MUL;
    if (add_)
        return blend_ ? Material::BLENDADD : Material::ADD;
    return blend_ ? Material::BLEND : Material::COPY;
}

std::string Writer2Component::shownText(const std::string& text, int line, float phase) const
{
    const float start = static_cast<float>(upperAhead_) * static_cast<float>(line);
    const double typed = std::round(static_cast<double>(phase)) - static_cast<double>(start);
    const std::size_t limit = std::min(text.size(), kMaxLineCharacters);
    const std::size_t count = !(typed > 0.0)                         ? 0
                              : typed >= static_cast<double>(limit) ? limit
                                                                    : static_cast<std::size_t>(typed);
    std::string shown;
    shown.reserve(count);
    for (std::size_t j = 0; j < count; ++j) {
        // Codes above the character's own while it rolls: Changing phase units at
        // ChangeSpeed codes a unit, counting down to 0.
        const float ahead = (start + static_cast<float>(j) - phase + static_cast<float>(changing_)) *
                            static_cast<float>(changeSpeed_);
        const int roll = ahead <= 0.0f ? 0 : static_cast<int>(std::min(std::round(ahead), 256.0f));
        int code = static_cast<unsigned char>(text[j]) + roll;
        if (code < 1)
            break;  // a code 0 ends the line
        if (code > 127)
            code = 128;
        shown += static_cast<char>(code);
    }
    return shown;
}

void Writer2Component::update(Camera& camera, float seconds)
{
    TextBlock& block = *textBlock();
    setFontBlend(block.font(), blend());
    const Transformation placement = placeText();
    for (int i = 0; i < block.usedLines(); ++i) {
        const TextLine& line = block.line(i);
        const std::string shown = shownText(line.text, i, phase());
        if (!shown.empty())
            drawLine(camera, line, placement, line.color, shown);
    }
    block.font().transformation = placement;
    advancePhase(seconds);
}

}  // namespace mirva
