#include "components/text_block.h"

#include <algorithm>

#include "engine/material.h"

namespace mirva {

TextBlock::TextBlock(int capacity, const std::string& fontFile)
    : font_(fontFile), usedLines_(capacity), lines_(static_cast<std::size_t>(capacity))
{
    Material& material = font_.material();
    material.type = Material::TEXTUREANDDIFFUSEMODULATEALPHA;
    material.filter = Material::BILINEAR;
}

void TextBlock::setUsedLines(int lines)
{
    usedLines_ = std::clamp(lines, 0, capacity());
}

void setFontBlend(BitmapFont& font, int blend)
{
    font.material().blend = blend;
}

}  // namespace mirva
