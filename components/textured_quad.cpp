#include "components/textured_quad.h"

#include "engine/material.h"
#include "engine/texture.h"

namespace mirva {

TexturedQuad::TexturedQuad(const std::string& textureName, int format)
    : textureName_(textureName),
      owned_(std::make_unique<Material>(Material::TEXTURE, format == 1 ? Material::ADD : Material::BLEND)),
      material_(owned_.get()),
      primitive_(Primitive::TRIANGLEFAN, 0, 4)
{
    material_->setTexture(textureName, format, true);
    material_->culling = Material::NOCULLING;
    fill();
    const TextureEntry& entry = Texture::getD3DSurface(textureName);
    setHalfSize(static_cast<float>(entry.width) * 0.01f, static_cast<float>(entry.height) * 0.01f);
}

TexturedQuad::TexturedQuad(Material& material) : material_(&material), primitive_(Primitive::TRIANGLEFAN, 0, 4)
{
    fill();
    setHalfSize(1.0f, 1.0f);
}

TexturedQuad::~TexturedQuad()
{
    if (owned_ && Texture::exists(textureName_))
        Texture::release(textureName_);
}

void TexturedQuad::fill()
{
    setTextureCoordinates({0, 1, 1, 0}, {0, 0, 1, 1});
    for (int i = 0; i < 4; ++i)
        primitive_.setNormal(i, 0.0f, 0.0f, -1.0f);
    setDiffuse(0xFFFFFFFF);
    setSpecular(0xFF000000);
    primitive_.setMaterial(material_);
}

void TexturedQuad::setHalfSize(float x, float y)
{
    primitive_.setPosition(0, -x, y, 0.0f);
    primitive_.setPosition(1, x, y, 0.0f);
    primitive_.setPosition(2, x, -y, 0.0f);
    primitive_.setPosition(3, -x, -y, 0.0f);
}

void TexturedQuad::setTextureCoordinates(const std::array<float, 4>& u, const std::array<float, 4>& v)
{
    for (int i = 0; i < 4; ++i)
        primitive_.setTextureCoordinate(i, u[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i)]);
}

void TexturedQuad::setDiffuse(D3DCOLOR color)
{
    for (int i = 0; i < 4; ++i)
        primitive_.setDiffuse(i, color);
}

void TexturedQuad::setSpecular(D3DCOLOR color)
{
    for (int i = 0; i < 4; ++i)
        primitive_.setSpecular(i, color);
}

}  // namespace mirva
