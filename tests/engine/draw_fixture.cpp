#include "tests/engine/draw_fixture.h"

#include <algorithm>

#include "engine/texture.h"
#include "io/surface.h"

namespace mirva::test {

void DrawTest::SetUp()
{
    EngineTest::SetUp();
    camera_ = std::make_unique<Camera>();
}

std::unique_ptr<Primitive> DrawTest::quad(float left, float top, float right, float bottom, float z,
                                          D3DCOLOR diffuse, D3DCOLOR specular, bool reversed, float u1, float v1)
{
    // Pixel edges to camera space: x spans -z..z over the width (90 degrees across), y
    // spans the same scale (square pixels), up being negative rows.
    const auto width = static_cast<float>(camera_->screenWidth), height = static_cast<float>(camera_->screenHeight);
    const auto cameraX = [&](float px) { return (px / width * 2.0f - 1.0f) * z; };
    const auto cameraY = [&](float py) { return (1.0f - py / height * 2.0f) * (height / width) * z; };
    auto primitive = std::make_unique<Primitive>(Primitive::TRIANGLELIST, 6, 4);
    std::span<Primitive::Vertex> v = primitive->vertices();
    const float xs[4] = {cameraX(left), cameraX(right), cameraX(right), cameraX(left)};
    const float ys[4] = {cameraY(top), cameraY(top), cameraY(bottom), cameraY(bottom)};
    const float us[4] = {0, u1, u1, 0}, vs[4] = {0, 0, v1, v1};
    for (int i = 0; i < 4; ++i)
        v[static_cast<std::size_t>(i)] = {.x = xs[i], .y = ys[i], .z = z, .nz = -1.0f, .diffuse = diffuse,
                                          .specular = specular, .u = us[i], .v = vs[i]};
    const WORD clockwise[6] = {0, 1, 2, 0, 2, 3}, anticlockwise[6] = {0, 2, 1, 0, 3, 2};
    std::ranges::copy(reversed ? anticlockwise : clockwise, primitive->indices().begin());
    return primitive;
}

void DrawTest::setNormals(Primitive& primitive, float x, float y, float z)
{
    for (Primitive::Vertex& v : primitive.vertices()) {
        v.nx = x;
        v.ny = y;
        v.nz = z;
    }
}

void DrawTest::makeTexture(const std::string& name, int width, int height, const std::vector<D3DCOLOR>& pixels,
                           bool mipmaps)
{
    Surface surface(width, height);
    std::ranges::copy(pixels, surface.pixels());
    Texture::createFromSurface(name, surface, TextureEntry::A8R8G8B8, mipmaps);
}

Picture DrawTest::drawOver(D3DCOLOR background, Primitive& primitive, Material& material)
{
    camera_->clear(background, true, true, 1.0f);
    camera_->beginScene();
    primitive.setMaterial(&material);
    primitive.draw(*camera_);
    camera_->endScene();
    return flipAndRead();
}

}  // namespace mirva::test
