#pragma once
// TextWriter: what Writer and Writer2 share. Both keep their lines in a TextBlock made by
// construct from Font and MaxLines, move a phase on by Speed per second, and take the
// line variables the same way: a script sets `l` and then `pos`, `size`, `col`, `ref`
// and `txt` of that line in one block (records apply in block order). `l` outside
// 0 .. MaxLines - 1 is fatal "Writer line: line index out of range". A script is checked
// for both when it is loaded: MaxLines within 0 .. kMostLines (each line costs memory and
// a draw every frame), and every `l` against the MaxLines of the Construct block.
//
// The text stands four units in front of the origin (where the default camera looks);
// each line is moved from there by its position. Text draws without depth test unless
// the script sets ZBufferMode after the construct.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/component.h"
#include "components/text_block.h"
#include "io/transformation.h"

namespace mirva {

class TextWriter : public Component {
public:
    // The identifiers of the variables both types have, in the type's own numbering.
    struct Identifiers {
        std::int32_t font, speed, phase, maxLines, usedLines, l, pos, size, col, txt;
    };

    TextWriter(const ComponentType& type, const Identifiers& identifiers);
    ~TextWriter() override;

    void destruct() override { block_.reset(); }
    void checkValues(const std::vector<Variable>& block, const std::string& where) override;

    static constexpr std::int32_t kMostLines = 10000;

    float phase() const { return phase_; }
    TextBlock* textBlock() const { return block_.get(); }

protected:
    // Base reset, a fresh text block, the font's filter and clamping, the shared defaults
    // and ZBufferMode OFF.
    void constructTextBlock();
    // Takes the shared variables; false for a record that is the type's own.
    bool takeSharedVariable(const Variable& record);
    // The line `l` points at, or null while there is no text block.
    TextLine* currentLine();
    // The font's transformation four units in front of the origin.
    Transformation placeText();
    // Draws a line's text with its scales and anchor, `color`, and `transformation`
    // moved by the line's position.
    void drawLine(Camera& camera, const TextLine& line, Transformation transformation, std::uint32_t color,
                  const std::string& text);
    void advancePhase(float seconds) { phase_ += seconds * speed_; }

private:
    Identifiers ids_;
    std::string fontFile_;
    std::int32_t maxLines_ = 0;
    std::int32_t loadedMaxLines_ = 0;  // the Construct block's, while the script loads
    std::unique_ptr<TextBlock> block_;
    float phase_ = 0.0f;
    float speed_ = 1.0f;
    int line_ = 0;
};

}  // namespace mirva
