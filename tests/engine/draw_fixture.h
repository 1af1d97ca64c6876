#pragma once
// Drawing through materials and primitives on the headless 64 x 48 screen: a camera at
// the origin looking along +z, quads placed by the pixels they cover, textures made from
// pixel lists, frames read back.
#include <memory>
#include <vector>

#include "engine/camera.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "tests/engine/engine_fixture.h"

namespace mirva::test {

class DrawTest : public EngineTest {
public:
    void SetUp() override;

    // A quad of two triangles covering pixels [left, right) x [top, bottom) of the screen
    // at camera depth z, wound clockwise on the screen (anticlockwise with `reversed`),
    // with texture coordinates (0,0) top-left to (u1,v1) bottom-right.
    std::unique_ptr<Primitive> quad(float left, float top, float right, float bottom, float z, D3DCOLOR diffuse,
                                    D3DCOLOR specular = 0xFF000000, bool reversed = false, float u1 = 1, float v1 = 1);
    // Sets every vertex normal of a primitive.
    static void setNormals(Primitive& primitive, float x, float y, float z);
    // A named texture from 0xAARRGGBB pixels, top row first.
    static void makeTexture(const std::string& name, int width, int height, const std::vector<D3DCOLOR>& pixels,
                            bool mipmaps = false);
    // Clears to `background`, draws `primitive` with `material` in a scene, reads back.
    Picture drawOver(D3DCOLOR background, Primitive& primitive, Material& material);

    std::unique_ptr<Camera> camera_;
};

}  // namespace mirva::test
