#include "components/writer.h"

#include <algorithm>
#include <cmath>

#include "engine/material.h"

namespace mirva {

WriterComponentType::WriterComponentType(Enums& enums)
    : ComponentTypeFor("Writer", "Writer writes multiple lines of text on screen")
{
    enums.declareBuiltIn("ReferencePoint", {{"LEFT", 3}, {"CENTER", 4}, {"RIGHT", 5}});
    declareConstructionParameter(WriterVariable::Font, ValueType::String, "Font");
    declareParameter(WriterVariable::Speed, ValueType::Float, "Speed");
    declareParameter(WriterVariable::Phase, ValueType::Float, "Phase");
    declareParameter(WriterVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareConstructionParameter(WriterVariable::MaxLines, ValueType::Int, "MaxLines");
    declareParameter(WriterVariable::UsedLines, ValueType::Int, "UsedLines");
    declareParameter(WriterVariable::l, ValueType::Int, "l");
    declareParameter(WriterVariable::pos, ValueType::Vector2, "pos");
    declareParameter(WriterVariable::size, ValueType::Vector2, "size");
    declareParameter(WriterVariable::col, ValueType::Color, "col");
    declareParameter(WriterVariable::ref, ValueType::Enum, "ref", "ReferencePoint");
    declareParameter(WriterVariable::txt, ValueType::String, "txt");
}

}  // namespace mirva

namespace mirva {

namespace {

constexpr float kHalfPi = 1.5707964f;

// sin(t * pi / 2) for the line's t = phase - line / 2, held to 0..1.
float settled(float phase, int line)
{
    const float t = std::clamp(phase - 0.5f * static_cast<float>(line), 0.0f, 1.0f);
    return std::sin(t * kHalfPi);
}

}  // namespace

WriterComponent::WriterComponent(const ComponentType& type)
    : TextWriter(type, {.font = WriterVariable::Font,
                        .speed = WriterVariable::Speed,
                        .phase = WriterVariable::Phase,
                        .maxLines = WriterVariable::MaxLines,
                        .usedLines = WriterVariable::UsedLines,
                        .l = WriterVariable::l,
                        .pos = WriterVariable::pos,
                        .size = WriterVariable::size,
                        .col = WriterVariable::col,
                        .txt = WriterVariable::txt})
{
}

void WriterComponent::construct()
{
    constructTextBlock();
    blend_ = Material::BLEND;
    setFontBlend(textBlock()->font(), blend_);
}

void WriterComponent::variableHook(const Variable& record)
{
    if (takeSharedVariable(record))
        return;
    switch (record.identifier) {
    case WriterVariable::Blend: blend_ = record.readInt(); break;
    case WriterVariable::ref:
        if (TextLine* line = currentLine())
            line->referencePoint = record.readInt();
        break;
    default: break;
    }
}

float WriterComponent::wobble(float phase, int line)
{
    const float s = settled(phase, line);
    const float rest = 1.0f - s;
    return 1.0f + 15.0f * rest * rest * rest * rest * std::sin(100.0f * s);
}

std::uint32_t WriterComponent::fadedColor(std::uint32_t color, float phase, int line)
{
    const auto alpha = static_cast<std::uint32_t>(std::clamp(static_cast<int>(255.0f * settled(phase, line)), 0, 255));
    std::uint32_t faded = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t channel = std::min<std::uint32_t>((color >> shift & 0xFF) + 255 - alpha, 255);
        faded |= channel << shift;
    }
    return faded;
}

void WriterComponent::update(Camera& camera, float seconds)
{
    TextBlock& block = *textBlock();
    setFontBlend(block.font(), blend_);
    const Transformation placement = placeText();
    for (int i = 0; i < block.usedLines(); ++i) {
        const TextLine& line = block.line(i);
        Transformation transformation = placement;
        const float f = wobble(phase(), i);
        for (float& value : transformation.m[1])
            value *= f;
        drawLine(camera, line, transformation, fadedColor(line.color, phase(), i), line.text);
    }
    block.font().transformation = placement;
    advancePhase(seconds);
}

}  // namespace mirva
