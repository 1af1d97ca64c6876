#pragma once
// TextBlock: what Writer and Writer2 draw from, a bitmap font and a fixed number of text
// lines, each with its own position, size (the font's two scales), colour, reference
// point (the anchor of the font's drawing: 3 left, 4 centre, 5 right, each centred
// vertically) and text.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/bitmap_font.h"

namespace mirva {

struct TextLine {
    float x = 0.0f, y = 0.0f;
    std::string text;
    std::uint32_t color = 0xFF000000;
    float width = 0.0f, height = 0.0f;  // the font's horizontal and vertical scale
    int referencePoint = 3;             // left, when a script never sets it
};

class TextBlock {
public:
    // Loads the font and gives its material the type that multiplies the glyphs by the
    // line colour, alpha included, with bilinear filtering.
    TextBlock(int capacity, const std::string& fontFile);

    BitmapFont& font() { return font_; }
    int capacity() const { return static_cast<int>(lines_.size()); }
    // The lines drawn: 0 .. capacity.
    int usedLines() const { return usedLines_; }
    void setUsedLines(int lines);
    TextLine& line(int index) { return lines_[static_cast<std::size_t>(index)]; }

private:
    BitmapFont font_;
    int usedLines_;
    std::vector<TextLine> lines_;
};

// Sets a font material's blend and makes it apply afresh.
void setFontBlend(BitmapFont& font, int blend);

}  // namespace mirva
