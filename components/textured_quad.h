#pragma once
// TexturedQuad: a flat textured square, a triangle fan of four corners in its own plane
// (z = 0) with the texture upright on it, drawn with one material through a camera. Its
// half-size says how far the corners reach from its centre.
//
// Made from a texture name (a file, or a render target's registered name), it owns its
// material: type TEXTURE, blend BLEND (ADD for format code 1), no culling, and it gives
// its reference on the texture back when it goes. Its half-size starts at one hundredth
// of the texture's pixels. Made from a material, it only draws with it.
#include <array>
#include <memory>
#include <string>

#include "engine/primitive.h"
#include "io/transformation.h"
#include "platform/d3d8/d3d8_types.h"

namespace mirva {

class Camera;
class Material;

class TexturedQuad {
public:
    TexturedQuad(const std::string& textureName, int format);
    // Drawn with a material someone else owns; half-size (1, 1).
    explicit TexturedQuad(Material& material);
    ~TexturedQuad();
    TexturedQuad(const TexturedQuad&) = delete;
    TexturedQuad& operator=(const TexturedQuad&) = delete;

    void setHalfSize(float x, float y);
    void setDiffuse(D3DCOLOR color);
    void setSpecular(D3DCOLOR color);
    // Texture coordinates of the four corners: top-left, top-right, bottom-right, bottom-left.
    void setTextureCoordinates(const std::array<float, 4>& u, const std::array<float, 4>& v);
    void setTransformation(const Transformation& transformation) { primitive_.transformation = transformation; }
    void draw(Camera& camera) { primitive_.draw(camera); }

    Material& material() { return *material_; }
    Primitive& primitive() { return primitive_; }
    const Primitive& primitive() const { return primitive_; }

private:
    void fill();

    std::string textureName_;       // empty when the material is not the quad's own
    std::unique_ptr<Material> owned_;
    Material* material_;
    Primitive primitive_;
};

}  // namespace mirva
