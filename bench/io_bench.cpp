// Image decoding speed: a 256 x 256 TGA and PNG, as textures and fonts load them.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "io/surface.h"

namespace {

std::string writeTga()
{
    const std::string path = (std::filesystem::temp_directory_path() / "mirva-bench.tga").string();
    std::vector<unsigned char> bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 32, 0};
    for (int i = 0; i < 256 * 256 * 4; ++i)
        bytes.push_back(static_cast<unsigned char>(i * 31));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

std::string writePng()
{
    const std::string path = (std::filesystem::temp_directory_path() / "mirva-bench.png").string();
    std::vector<unsigned char> rgba(256 * 256 * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = static_cast<unsigned char>(i * 31 + i / 1024);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 256;
    image.height = 256;
    image.format = PNG_FORMAT_RGBA;
    png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
    return path;
}

void DecodeTga256(benchmark::State& state)
{
    const std::string path = writeTga();
    for (auto _ : state) {
        mirva::Surface s(path);
        benchmark::DoNotOptimize(s.pixels());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(DecodeTga256);

void DecodePng256(benchmark::State& state)
{
    const std::string path = writePng();
    for (auto _ : state) {
        mirva::Surface s(path);
        benchmark::DoNotOptimize(s.pixels());
    }
    state.SetItemsProcessed(state.iterations() * 256 * 256);
}
BENCHMARK(DecodePng256);

}  // namespace
