#pragma once
// Drawing and read-back helpers for rendering tests: simple quads through the device,
// frames read back as pixels, colour comparison with a tolerance.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"

namespace mirva::test {

// One vertex of the engine's layout: position, normal, diffuse, specular, one texture
// coordinate pair (40 bytes, flexible vertex format 0x1D2).
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse;
    D3DCOLOR specular;
    float u, v;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

// A frame read back: 0xAARRGGBB pixels, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// How many pixels of the rectangle from (left, top) to (right, bottom), those excluded, pass `test`.
long countPixels(const Picture& p, int left, int top, int right, int bottom,
                 const std::function<bool(std::uint32_t)>& test);
// Whether two colours agree within `tolerance` in every channel.
bool near(std::uint32_t a, std::uint32_t b, int tolerance = 2);
std::string hex(std::uint32_t color);

#define EXPECT_COLOR(actual, expected)                                                                           \
    EXPECT_PRED2([](std::uint32_t a, std::uint32_t b) { return ::mirva::test::near(a, b); }, actual, expected) \
        << ::mirva::test::hex(actual)

// Identity transforms, no lighting, no culling, depth test off, stage 0 showing the
// diffuse colour (or the texture, with `textured`).
void plainStates(IDirect3DDevice8* device, bool textured = false);
// Draws a quad given in clip space (x, y in -1..1, y up) at depth z, wound clockwise
// on the screen, in one colour, with texture coordinates (0,0) at its top-left and
// (1,1) at its bottom-right. The buffer is in the given pool.
void drawQuad(IDirect3DDevice8* device, float left, float top, float right, float bottom, float z, D3DCOLOR color,
              D3DPOOL pool = D3DPOOL_MANAGED);
// The last presented frame.
Picture frontBuffer(IDirect3DDevice8* device);

}  // namespace mirva::test
