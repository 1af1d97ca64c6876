#include "components/scroller.h"

#include "components/text_block.h"
#include "engine/bitmap_font.h"
#include "engine/material.h"

namespace mirva {

ScrollerComponentType::ScrollerComponentType()
    : ComponentTypeFor("Scroller", "2D Scroller")
{
    declareConstructionParameter(ScrollerVariable::Font, ValueType::String, "Font");
    declareParameter(ScrollerVariable::Position, ValueType::Vector2, "Position");
    declareParameter(ScrollerVariable::Speed, ValueType::Float, "Speed");
    declareParameter(ScrollerVariable::Phase, ValueType::Float, "Phase");
    declareParameter(ScrollerVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareParameter(ScrollerVariable::Size, ValueType::Vector2, "Size");
    declareParameter(ScrollerVariable::Col, ValueType::Color, "Col");
    declareParameter(ScrollerVariable::Text, ValueType::String, "Text");
}

}  // namespace mirva

namespace mirva {

ScrollerComponent::ScrollerComponent(const ComponentType& type) : Component(type) {}

ScrollerComponent::~ScrollerComponent() = default;

void ScrollerComponent::construct()
{
    resetBase();
    font_ = std::make_unique<BitmapFont>(fontFile_);
    // The glyphs take the colour of Col (the font's own material shows the texture only).
    font_->material().type = Material::TEXTUREANDDIFFUSEMODULATEALPHA;
    blend_ = Material::BLEND;
    setFontBlend(*font_, blend_);
    phase_ = 0.0f;
    speed_ = 1.0f;
    setZBufferMode(0);  // OFF
}

void ScrollerComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case ScrollerVariable::Font: fontFile_ = record.readString(); break;
    case ScrollerVariable::Position: {
        const auto [x, y] = record.readVector2();
        x_ = x;
        y_ = y;
        break;
    }
    case ScrollerVariable::Speed: speed_ = record.readFloat(); break;
    case ScrollerVariable::Phase: phase_ = record.readFloat(); break;
    case ScrollerVariable::Blend: blend_ = record.readInt(); break;
    case ScrollerVariable::Size:
        if (font_) {
            const auto [width, height] = record.readVector2();
            font_->horizontalScale = width;
            font_->verticalScale = height;
        }
        break;
    case ScrollerVariable::Col:
        if (font_)
            font_->color = record.readColor();
        break;
    case ScrollerVariable::Text: text_ = record.readString(); break;
    default: break;
    }
}

void ScrollerComponent::update(Camera& camera, float seconds)
{
    setFontBlend(*font_, blend_);
    Transformation placement;
    placement.m[3][0] = x_ + phase_;
    placement.m[3][1] = y_;
    placement.m[3][2] = 1.0f;
    font_->transformation = placement;
    font_->drawString(camera, 4, text_);
    phase_ += seconds * speed_;
}

}  // namespace mirva
