#pragma once
// FontMaker: renders a TrueType font (FreeType) into a font image that BitmapFont reads,
// with its two marker rows above the glyphs.
//
// Layout, left to right: one cell per character code from 0 to `last`. A cell W pixels
// wide holds, in row 0, a run of W - 1 marked pixels (glyph width W) and, in row 1, a
// run from the pen origin covering advance + 1 pixels (offset = the origin's column,
// the pen moves by the advance); the glyph's pixels lie in rows 2 and below with the
// baseline at the font's ascender. Codes below `first` get the smallest cell (width 2,
// advance 0) so that the runs keep counting from code 0. Every cell ends in a column
// that no run marks, which separates the runs and keeps glyphs apart when filtered.
//
// Glyph pixels are white with the coverage in both colour and alpha (premultiplied), so
// the font reads the same whether it is added to the frame or blended by its alpha.
// Options for display faces: extra pixels of advance (to be taken back by the drawing
// spacing, e.g. -10) and a soft glow around each glyph.
//
// Does not: kern, shape, or render codes outside 0..255.
#include <string>

#include "io/surface.h"

namespace mirva {

struct FontSpec {
    std::string fontFile;  // a TrueType or OpenType file
    int pixelSize = 16;    // the em size in pixels
    int first = 32;        // first code rendered
    int last = 126;        // last code rendered
    int extraAdvance = 0;  // pixels added to every advance
    int glow = 0;          // radius of the glow in pixels (0: none)
};

// Bad descriptions and unreadable fonts are fatal ("fontmaker: ...").
Surface makeFontImage(const FontSpec& desc);

}  // namespace mirva
