#pragma once
// BitmapFont: a font image with its own metrics, packed into a glyph texture and drawn as
// textured quads.
//
// The font image carries two marker rows above the glyph pixels (a pixel is marked when
// any of red, green, blue is non-zero). Row 0: the n-th run of marked pixels belongs to
// character code n; its first x is the glyph's place in the image, its length + 1 the
// glyph's width. Row 1: the n-th run again; its first x minus the glyph's x is the offset
// of the glyph from the pen, its length + 1 the advance (the pen moves advance - 2).
// The glyphs fill rows 2 to the bottom: the font height is the image height - 2.
// tools/font_maker makes such images from TrueType fonts.
//
// Text is laid out in the font's own units (one image pixel, times the scales), x to the
// right and y up, at depth 0, then placed by `transformation` and drawn through a camera
// in batches of up to 256 quads. Codes the image has no runs for are skipped.
//
//   BitmapFont font("fonts/defaultfont.png");
//   font.transformation = placement;  font.horizontalScale = font.verticalScale = 0.003f;
//   font.drawText(camera, 4, "score %d", score);    // printf-style, centred on the origin
//   font.drawString(camera, 0, scriptText);          // exactly as written
#include <memory>
#include <string>

#include "io/transformation.h"
#include "platform/d3d8/d3d8_types.h"

namespace mirva {

class Camera;
class Material;
class Primitive;
class Surface;

class BitmapFont {
public:
    struct Glyph {
        int width = 0;    // pixels of the image the quad shows
        int advance = 0;  // the pen moves advance - 2
        int offset = 0;   // the quad starts this many pixels left of the pen
        // Texture coordinates of the corners top-left, top-right, bottom-right, bottom-left.
        float u[4] = {1, 1, 1, 1};
        float v[4] = {1, 1, 1, 1};
    };
    static constexpr int kQuadsPerBatch = 256;

    explicit BitmapFont(const std::string& fileName);
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Formats printf-style and draws with the current transformation, scales, spacing and
    // colour. Anchors 0..8 put the origin at the text's top-left (0), top centre (1),
    // top-right (2), middle-left (3), centre (4), middle-right (5), bottom-left (6),
    // bottom centre (7) or bottom-right (8); any other anchor keeps the pen start of the
    // previous call (of any font).
    void drawText(Camera& camera, int anchor, const char* format, ...) __attribute__((format(printf, 4, 5)));
    // The same with a text drawn exactly as written ('%' is an ordinary character).
    void drawString(Camera& camera, int anchor, const std::string& text);

    // The width of a text in font pixels (before scaling), spacing included.
    float textWidth(const std::string& text) const;

    int height() const { return height_; }
    const Glyph& glyph(int code) const { return glyphs_[code & 0xFF]; }
    int textureWidth() const { return textureWidth_; }
    int textureHeight() const { return textureHeight_; }
    Material& material() { return *material_; }

    Transformation transformation;
    float horizontalScale = 1.0f;
    float verticalScale = 1.0f;
    float spacing = 0.0f;  // extra pixels between characters
    D3DCOLOR color = 0xFFFFFFFF;

private:
    void readMetrics(const Surface& image);
    // Packs the glyphs into rows of a texture with power-of-two sides, no wider than high,
    // doubling its height until they fit; past the device's largest texture that is fatal.
    Surface pack(const Surface& image, const std::string& fileName);
    bool drawn(unsigned char code) const { return glyphs_[code].advance > 0 || glyphs_[code].width > 0; }

    int height_ = 0;
    Glyph glyphs_[256];
    int sourceX_[256] = {};
    int textureWidth_ = 0, textureHeight_ = 0;
    std::unique_ptr<Material> material_;
    std::unique_ptr<Primitive> primitive_;
};

}  // namespace mirva
