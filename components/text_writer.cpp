#include "components/text_writer.h"

#include "engine/material.h"
#include "io/console.h"

namespace mirva {

TextWriter::TextWriter(const ComponentType& type, const Identifiers& identifiers) : Component(type), ids_(identifiers)
{
}

TextWriter::~TextWriter() = default;

void TextWriter::constructTextBlock()
{
    resetBase();
    if (maxLines_ < 0)
        Console::error("%s %s: MaxLines %d is below 0", getType().name().c_str(), name().c_str(), maxLines_);
    block_ = std::make_unique<TextBlock>(maxLines_, fontFile_);
    Material& material = block_->font().material();
    material.filter = Material::BILINEAR;
    material.textureAddress = Material::CLAMP;
    phase_ = 0.0f;
    speed_ = 1.0f;
    line_ = 0;
    setZBufferMode(0);  // OFF
}

void TextWriter::checkValues(const std::vector<Variable>& block, const std::string& where)
{
    for (const Variable& record : block)
        if (record.identifier == ids_.maxLines) {
            loadedMaxLines_ = record.readInt();
            if (loadedMaxLines_ < 0 || loadedMaxLines_ > kMostLines)
                Console::error("%s: MaxLines %d is outside 0 to %d", where.c_str(), loadedMaxLines_, kMostLines);
        }
    for (const Variable& record : block) {
        if (record.identifier != ids_.l)
            continue;
        const std::int32_t index = record.readInt();
        if (index < 0)
            Console::error("%s: line index %d is below 0", where.c_str(), index);
        if (index >= loadedMaxLines_)
            Console::error("%s: line index %d is not below MaxLines (%d)", where.c_str(), index, loadedMaxLines_);
    }
}

TextLine* TextWriter::currentLine()
{
    return block_ ? &block_->line(line_) : nullptr;
}

bool TextWriter::takeSharedVariable(const Variable& record)
{
    const std::int32_t id = record.identifier;
    if (id == ids_.font) {
        fontFile_ = record.readString();
    } else if (id == ids_.speed) {
        speed_ = record.readFloat();
    } else if (id == ids_.phase) {
        phase_ = record.readFloat();
    } else if (id == ids_.maxLines) {
        maxLines_ = record.readInt();
    } else if (id == ids_.usedLines) {
        if (block_)
            block_->setUsedLines(record.readInt());
    } else if (id == ids_.l) {
        const std::int32_t index = record.readInt();
        if (index < 0 || index >= maxLines_)
            Console::fatal("Writer line: line index out of range");
        line_ = index;
    } else if (TextLine* line = currentLine(); !line) {
        // Line contents without a text block (before the construct) are lost anyway.
        return id == ids_.pos || id == ids_.size || id == ids_.col || id == ids_.txt;
    } else if (id == ids_.pos) {
        const auto [x, y] = record.readVector2();
        line->x = x;
        line->y = y;
    } else if (id == ids_.size) {
        const auto [width, height] = record.readVector2();
        line->width = width;
        line->height = height;
    } else if (id == ids_.col) {
        line->color = record.readColor();
    } else if (id == ids_.txt) {
        line->text = record.readString();
    } else {
        return false;
    }
    return true;
}

Transformation TextWriter::placeText()
{
    Transformation placement;
    placement.m[3][2] = 4.0f;
    block_->font().transformation = placement;
    return placement;
}

void TextWriter::drawLine(Camera& camera, const TextLine& line, Transformation transformation, std::uint32_t color,
                          const std::string& text)
{
    BitmapFont& font = block_->font();
    transformation.m[3][0] += line.x;
    transformation.m[3][1] += line.y;
    font.transformation = transformation;
    font.horizontalScale = line.width;
    font.verticalScale = line.height;
    font.color = color;
    font.drawString(camera, line.referencePoint, text);
}

}  // namespace mirva
