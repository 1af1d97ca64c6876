#pragma once
// Text objects: a line of text in a TrueType font (FreeType outlines) extruded into a
// LightWave object, the kind Scroller3D bends along its two paths.
//
// The line runs along +x with its letters upright in +y: its ink (all glyph outlines, the
// pen moved by the advances and the font's kerning) is scaled to `height` from its lowest
// to its highest point, which lie at y = 0 and y = height; its leftmost ink is at x = 0.
// The curves are flattened into straight pieces that stay within `flatness` (a share of
// the em) of them. The outline is extruded (tools/outline_extrusion.h) from z = 0, the
// front face looking towards -z at a camera in front of it, to z = depth, with surfaces
// "Front", "Back" and "Side" and a planar "TXUV" map of one unit per letter height.
//
// The show's text objects are made the same way by `writeTextObjectData`:
//   objects/scrolltext.lwo   "MIRVA  DEMO ENGINE  SCROLLS IN 3D" in DejaVu Sans Bold,
//                            1 unit high and 0.25 deep
//
// Does not: lay out more than one line, shape, or read characters beyond one byte each
// (codes 0..255 as in Latin-1).
#include <string>
#include <utility>
#include <vector>

#include "tools/object_writer.h"
#include "tools/outline_extrusion.h"

namespace mirva {

struct TextObjectDesc {
    std::string fontFile;   // a TrueType or OpenType file
    std::string text;
    float height = 1.0f;
    float depth = 0.25f;
    float flatness = 1.0f / 1024.0f;
};

inline constexpr const char* kScrollTextFile = "objects/scrolltext.lwo";

// The outline of the line, placed and scaled as above: closed contours filled by the
// non-zero rule. Fatal ("textobject: ...") for a bad height, depth or flatness, an unreadable font,
// a character the font has no glyph for and a line without ink.
std::vector<Contour> textOutline(const TextObjectDesc& desc);
ObjectWriter makeTextObject(const TextObjectDesc& desc);

// The show's text objects, with their fonts from `fontDir`.
std::vector<std::pair<std::string, TextObjectDesc>> showTextObjects(const std::string& fontDir);
// Writes them under `dataDir` (making its folders) and returns their paths relative to
// it, in the order written.
std::vector<std::string> writeTextObjectData(const std::string& dataDir, const std::string& fontDir);

}  // namespace mirva
