// Headless graphics: frames per second of clearing and presenting a 640 x 480 frame,
// and the upload of a 256 x 256 image as a texture with its mip chain (creation, pixel
// conversion, box filtering and the copy into OpenGL).
//   build/bench/mirva_graphics_bench
#include <benchmark/benchmark.h>

#include "engine/dx_driver.h"
#include "engine/texture.h"
#include "io/surface.h"
#include "platform/d3d8/window.h"

namespace {

using namespace mirva;

// A 640 x 480 headless screen for the whole run.
HeadlessWindow& screen()
{
    static HeadlessWindow window(640, 480);
    static const bool ready = [] {
        bool realtime = false;
        selectScreenMode(realtime, false);
        return setScreenMode(&window);
    }();
    (void)ready;
    return window;
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

}  // namespace
