// Headless graphics at 640 x 480: frames per second of clearing and presenting a frame;
// the upload of a 256 x 256 image as a texture with its mip chain (creation, pixel
// conversion, box filtering and the copy into OpenGL); draw calls per second of a lit,
// textured primitive of 1,000 triangles; draw calls per second of small quads that take
// turns among four materials (the cost of state changes); glyphs per second of
// BitmapFont::drawText.
// Every frame is presented, so the figures include the rendering itself.
//   build/bench/mirva_graphics_bench
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/headless_screen.h"
#include "engine/bitmap_font.h"
#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/light.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "engine/texture.h"
#include "io/surface.h"

namespace {

using namespace mirva;

// A 640 x 480 headless screen for the whole run.
void screen()
{
    openHeadlessScreen(640, 480);
}

void BM_ClearAndPresent640x480(benchmark::State& state)
{
    screen();
    IDirect3DDevice8* device = dxDriver().device();
    D3DCOLOR color = 0;
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000 | color, 1.0f, 0);
        flip();
        color += 0x010203;
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClearAndPresent640x480)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TextureUpload256WithMipmaps(benchmark::State& state)
{
    screen();
    Surface image(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, packArgb(255, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                          static_cast<std::uint8_t>(x ^ y)));
    for (auto _ : state) {
        Texture::createFromSurface("bench", image, 0, true);
        Texture::release("bench");
    }
    state.counters["uploads/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextureUpload256WithMipmaps)->Unit(benchmark::kMillisecond)->UseRealTime();

// A lit, textured grid of 1,000 triangles (25 x 20 quads) bent into a half cylinder,
// filling the middle of the screen; ten draws a frame.
void BM_LitTexturedPrimitive1000Triangles(benchmark::State& state)
{
    screen();
    Surface image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, ((x / 8 + y / 8) % 2) ? 0xFFFFFFFF : 0xFF4080C0);
    Texture::createFromSurface("bench grid", image, 0, true);
    {
        constexpr int columns = 25, rows = 20;
        Primitive grid(Primitive::TRIANGLELIST, columns * rows * 6, (columns + 1) * (rows + 1));
        std::span<Primitive::Vertex> v = grid.vertices();
        for (int r = 0; r <= rows; ++r)
            for (int c = 0; c <= columns; ++c) {
                const float angle = 3.14159265f * static_cast<float>(c) / columns;
                Primitive::Vertex& vertex = v[static_cast<std::size_t>(r * (columns + 1) + c)];
                vertex = {.x = -std::cos(angle), .y = static_cast<float>(r) / rows * 1.5f - 0.75f,
                          .z = 3.0f - std::sin(angle), .nx = -std::cos(angle), .nz = -std::sin(angle),
                          .diffuse = 0xFFFFFFFF, .u = static_cast<float>(c) / columns,
                          .v = static_cast<float>(r) / rows};
            }
        std::span<WORD> index = grid.indices();
        std::size_t i = 0;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const auto a = static_cast<WORD>(r * (columns + 1) + c);
                const auto b = static_cast<WORD>(a + columns + 1);
                for (WORD k : {a, static_cast<WORD>(a + 1), static_cast<WORD>(b + 1), a, static_cast<WORD>(b + 1), b})
                    index[i++] = k;
            }
        Material material(Material::TEXTUREANDDIFFUSE, Material::COPY);
        material.setTexture("bench grid", 0, true);
        material.lighting = true;
        material.culling = Material::NOCULLING;
        Light light;
        light.kind = Light::DIRECTIONAL;
        light.direction = {0.3f, -0.3f, 1.0f};
        grid.setMaterial(&material);
        grid.setLights({&light});
        Camera camera;
        for (auto _ : state) {
            camera.clear(0xFF000000, true, true, 1.0f);
            camera.beginScene();
            for (int draw = 0; draw < 10; ++draw)
                grid.draw(camera);
            camera.endScene();
            flip();
        }
        state.counters["draws/s"] =
            benchmark::Counter(10.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    Texture::release("bench grid");
    Texture::release("bench grid");
}
BENCHMARK(BM_LitTexturedPrimitive1000Triangles)->Unit(benchmark::kMillisecond)->UseRealTime();

// 400 quads of 2 triangles a frame in a 20 x 20 grid, each drawn with the next of four
// materials (copy, add, blend and textured), the way a show's layers change state.
void BM_SmallDrawsSwitchingMaterials(benchmark::State& state)
{
    screen();
    Surface image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, ((x / 4 + y / 4) % 2) ? 0x80FFFFFF : 0xFF4080C0);
    Texture::createFromSurface("bench tile", image, 0, true);
    {
        Material copy(Material::DIFFUSE, Material::COPY), add(Material::DIFFUSE, Material::ADD);
        Material blend(Material::DIFFUSE, Material::BLEND), textured(Material::TEXTUREANDDIFFUSE, Material::BLEND);
        textured.setTexture("bench tile", 0, true);
        textured.filter = Material::POINTSAMPLING;
        add.culling = Material::NOCULLING;
        Material* materials[] = {&copy, &add, &blend, &textured};
        Primitive quad(Primitive::TRIANGLELIST, 6, 4);
        std::span<Primitive::Vertex> v = quad.vertices();
        const float s = 0.04f;
        v[0] = {.x = -s, .y = s, .nz = -1, .diffuse = 0xC0FF8040, .u = 0, .v = 0};
        v[1] = {.x = s, .y = s, .nz = -1, .diffuse = 0xC040FF80, .u = 1, .v = 0};
        v[2] = {.x = s, .y = -s, .nz = -1, .diffuse = 0xC08040FF, .u = 1, .v = 1};
        v[3] = {.x = -s, .y = -s, .nz = -1, .diffuse = 0xC0FFFFFF, .u = 0, .v = 1};
        std::span<WORD> index = quad.indices();
        const WORD order[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            index[static_cast<std::size_t>(i)] = order[i];
        Camera camera;
        for (auto _ : state) {
            camera.clear(0xFF000000, true, true, 1.0f);
            camera.beginScene();
            for (int i = 0; i < 400; ++i) {
                quad.setMaterial(materials[i % 4]);
                quad.transformation = Transformation::identity().withTranslationAt(
                    -0.95f + 0.1f * static_cast<float>(i % 20), -0.7f + 0.075f * static_cast<float>(i / 20), 1.0f);
                quad.draw(camera);
            }
            camera.endScene();
            flip();
        }
        state.counters["draws/s"] =
            benchmark::Counter(400.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    }
    Texture::release("bench tile");
    Texture::release("bench tile");
}
BENCHMARK(BM_SmallDrawsSwitchingMaterials)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ten lines of 100 characters of the info font a frame, at one pixel a font pixel.
void BM_DrawTextGlyphs(benchmark::State& state)
{
    screen();
    BitmapFont font(MIRVA_DATA_DIR "/fonts/defaultfont.png");
    font.material().blend = Material::BLEND;
    font.horizontalScale = font.verticalScale = 1.0f / 320.0f;
    Camera camera;
    const std::string line = "The quick brown fox jumps over the lazy dog. 0123456789 The quick brown fox jumps over "
                             "the lazy do";
    for (auto _ : state) {
        camera.clear(0xFF000000, true, true, 1.0f);
        camera.beginScene();
        for (int row = 0; row < 10; ++row) {
            font.transformation.m[3][1] = 0.7f - 0.14f * static_cast<float>(row);
            font.transformation.m[3][2] = 1.0f;
            font.drawText(camera, 4, "%s", line.c_str());
        }
        camera.endScene();
        flip();
    }
    state.counters["glyphs/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 10.0 *
                                                        static_cast<double>(line.size()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawTextGlyphs)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
