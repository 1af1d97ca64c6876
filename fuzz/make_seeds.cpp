// mirva-fuzz-seeds DIR: writes the generated seed inputs of the fuzz targets into
// DIR/object, DIR/scene, DIR/image, DIR/font and DIR/flic. Small files that between them
// reach every part of each reader: objects of both forms with vertex maps, per-polygon
// maps, open and non-manifold meshes and a second layer; a scene with every kind of item;
// images of every colour type, depth and row order; font images with their marker rows;
// animations with every chunk kind.
// The hand-written seeds (scripts, motion files, scene text) live in fuzz/corpus.
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "io/console.h"
#include "io/flic_chunks.h"
#include "io/surface.h"
#include "tests/support/png_writer.h"
#include "tools/flc_writer.h"
#include "tools/object_writer.h"
#include "tools/scene_writer.h"
#include "tools/tga_writer.h"

namespace mirva {
namespace {

namespace fs = std::filesystem;

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    writeFileBytes(path.string(), bytes);
}

// ---- objects

void writeObjects(const fs::path& dir)
{
    ObjectWriter box = ObjectWriter::box(-1, -1, -1, 1, 2, 0.5f);
    box.addSurface("Side", 0.5f, 0.5f, 0.5f);
    box.addSurface("Front", 1, 0.5f, 0);
    for (int face = 0; face < 3; ++face)
        box.setPolygonSurface(face, 1);
    writeBytes(dir / "box.lwo", box.lwo2());
    writeBytes(dir / "box_lwob.lwo", box.lwob());

    ObjectWriter tetra = ObjectWriter::tetrahedron();
    std::vector<ObjectWriter::MapEntry> uv, rgb, rgba;
    for (std::uint32_t p = 0; p < 4; ++p) {
        uv.push_back({p, -1, {0.25f * static_cast<float>(p), 1.0f - 0.25f * static_cast<float>(p)}});
        rgb.push_back({p, -1, {1, 0.5f, 0.25f}});
        rgba.push_back({p, -1, {0, 1, 0, 0.5f}});
    }
    tetra.addVertexMap("TXUV", "uv", 2, uv);
    tetra.addVertexMap("RGB ", "tint", 3, rgb);
    tetra.addVertexMap("RGBA", "glow", 4, rgba);
    tetra.addVertexMap("WGHT", "weight", 1, {{0, -1, {0.5f}}});
    writeBytes(dir / "tetra_maps.lwo", tetra.lwo2());

    // A texture seam: the corner of polygon 0 at point 4 takes other coordinates.
    ObjectWriter grid = ObjectWriter::grid(2, 2, 0.5f);
    std::vector<ObjectWriter::MapEntry> gridUv;
    for (std::uint32_t p = 0; p < 9; ++p)
        gridUv.push_back({p, -1, {static_cast<float>(p % 3) / 2.0f, static_cast<float>(p / 3) / 2.0f}});
    grid.addVertexMap("TXUV", "uv", 2, gridUv);
    grid.addPerPolygonMap("TXUV", "uv", 2, {{4, 0, {0.9f, 0.1f}}, {4, 3, {0.2f, 0.8f}}});
    writeBytes(dir / "grid_seam.lwo", grid.lwo2());

    writeBytes(dir / "tube.lwo", ObjectWriter::cylinder(1, 2, 6, 3).lwo2());
    writeBytes(dir / "torus_lwob.lwo", ObjectWriter::torus(2, 0.5f, 8, 4).lwob());
    writeBytes(dir / "sphere.lwo", ObjectWriter::geodesicSphere(1, 1).lwo2());

    // Three triangles on one edge, a pentagon cut into a fan, and a point no polygon uses.
    ObjectWriter fin;
    fin.addPoint(0, 0, 0);
    fin.addPoint(0, 1, 0);
    fin.addPoint(1, 0, 0);
    fin.addPoint(-1, 0, 0);
    fin.addPoint(0, 0, 1);
    fin.addPoint(5, 5, 5);
    fin.addPolygon({0, 1, 2});
    fin.addPolygon({1, 0, 3});
    fin.addPolygon({0, 1, 4});
    fin.addPolygon({0, 2, 4, 1, 3});
    writeBytes(dir / "fin.lwo", fin.lwo2());

    // Two layers: only the first one's points count; a patch polygon and an unknown chunk.
    IffBytes layered;
    layered.chunk("TAGS", IffBytes().s0("Default"));
    layered.chunk("LAYR", IffBytes().u2(0).u2(0).vec12(0, 0, 0).s0("first"));
    layered.chunk("PNTS", IffBytes().vec12(0, 0, 0).vec12(1, 0, 0).vec12(0, 1, 0).vec12(1, 1, 0));
    layered.chunk("BBOX", IffBytes().vec12(0, 0, 0).vec12(1, 1, 0));
    layered.chunk("POLS", IffBytes().id("FACE").u2(3).vx(0).vx(1).vx(2).u2(3).vx(2).vx(1).vx(3));
    layered.chunk("PTAG", IffBytes().id("SURF").vx(0).u2(0).vx(1).u2(0));
    layered.chunk("POLS", IffBytes().id("PTCH").u2(4).vx(0).vx(1).vx(3).vx(2));
    layered.chunk("LAYR", IffBytes().u2(1).u2(0).vec12(0, 0, 0).s0("second"));
    layered.chunk("PNTS", IffBytes().vec12(9, 9, 9).vec12(8, 8, 8).vec12(7, 7, 7));
    layered.chunk("POLS", IffBytes().id("FACE").u2(3).vx(0).vx(1).vx(2));
    layered.chunk("SURF", IffBytes().s0("Default").s0("").subChunk("COLR", IffBytes().vec12(0.2f, 0.4f, 0.6f).vx(0)));
    writeBytes(dir / "layers.lwo", IffBytes::form("LWO2", layered));
}

// ---- scenes

void writeScenes(const fs::path& dir)
{
    SceneWriter writer(60, 30);
    const std::int32_t pivot = writer.addNull("Pivot", SceneMotion::sampled(2, 4, [](float t) {
        Placement at;
        at.heading = 3.2f * t;
        at.y = 0.5f * t;
        return at;
    }));
    Placement offset;
    offset.x = 3;
    offset.scaleY = 2;
    writer.addObject("objects/star.lwo", SceneMotion::still(offset), pivot);
    writer.addObject("objects/star.lwo", SceneMotion::still());
    SceneLightDesc sun{"Sun"};
    sun.colour[1] = 0.5f;
    writer.addLight(sun);
    SceneLightDesc lamp{"Lamp", SceneMotion::still(offset), {1, 1, 0.5f}, 2.0f, 1};
    writer.addLight(lamp);
    SceneLightDesc spot{"Spot", SceneMotion::still(), {1, 1, 1}, 0.5f, 2};
    writer.addLight(spot);
    SceneEnvelope zoom;
    zoom.keys = {{0, 3.2f}, {1, 1.5f, 3}, {2, 4.0f, 4}};
    zoom.pre = 2;
    zoom.post = 4;
    writer.addCamera("Camera", SceneMotion::sampled(2, 3, [](float t) {
        Placement at;
        at.z = -10 + t;
        at.pitch = 0.1f * t;
        at.bank = -0.2f;
        return at;
    }, false), zoom);
    writer.setAmbient(0.2f, 0.3f, 0.4f, 0.5f);
    writer.setBackdrop(0.1f, 0, 0.2f);
    writer.write((dir / "writer.lws").string());
}

// ---- images

Surface gradient(int width, int height)
{
    Surface image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, packArgb(static_cast<std::uint8_t>(255 - 40 * x), static_cast<std::uint8_t>(60 * x),
                                          static_cast<std::uint8_t>(80 * y), 128));
    return image;
}

std::vector<std::uint16_t> ramp(std::size_t count, std::uint16_t step, std::uint16_t limit)
{
    std::vector<std::uint16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::uint16_t>((i * step) % limit);
    return samples;
}

void writeImages(const fs::path& dir)
{
    const Surface small = gradient(4, 3);
    writeBytes(dir / "rgb24_bottom.tga", tgaFile(small, 24, false));
    writeBytes(dir / "rgba32_top.tga", tgaFile(small, 32, true));
    small.savePng((dir / "rgba8.png").string());

    using test::PngSpec;
    const auto png = [&dir](const std::string& name, PngSpec desc) { test::writePng((dir / name).string(), desc); };
    png("grey1.png", {.width = 9, .height = 2, .colorType = 0, .bitDepth = 1, .samples = ramp(18, 1, 2)});
    PngSpec grey16{.width = 3, .height = 2, .colorType = 0, .bitDepth = 16, .samples = ramp(6, 9000, 65535)};
    grey16.transparentGrey = 9000;
    png("grey16_trns.png", grey16);
    png("grey_alpha.png", {.width = 2, .height = 2, .colorType = 4, .samples = ramp(8, 70, 256)});
    PngSpec palette{.width = 5, .height = 3, .colorType = 3, .bitDepth = 4, .samples = ramp(15, 1, 4)};
    palette.paletteRgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 200, 200, 200};
    palette.paletteAlpha = {255, 128, 0};
    png("palette4_trns.png", palette);
    PngSpec rgb16{.width = 2, .height = 2, .colorType = 2, .bitDepth = 16, .samples = ramp(12, 5000, 65535)};
    rgb16.gamma = 0.45455;
    rgb16.backgroundRgb[0] = 100;
    rgb16.backgroundRgb[1] = 200;
    rgb16.backgroundRgb[2] = 300;
    png("rgb16_gamma_bkgd.png", rgb16);
    PngSpec rgbaBackground{.width = 3, .height = 2, .colorType = 6, .samples = ramp(24, 37, 256)};
    rgbaBackground.backgroundRgb[0] = 10;
    rgbaBackground.backgroundRgb[1] = 20;
    rgbaBackground.backgroundRgb[2] = 30;
    png("rgba_bkgd.png", rgbaBackground);
    png("rgba_interlaced.png",
        {.width = 5, .height = 5, .colorType = 6, .interlaced = true, .samples = ramp(100, 13, 256)});
}

// ---- fonts

// A font image of `fontHeight` rows of glyphs: codes 0 to `codes` - 1 in cells of
// `widths` (repeated), each with its extent run in row 0, its spacing run in row 1
// starting `offset` columns in, and solid glyph pixels.
Surface fontImage(int fontHeight, int codes, const std::vector<int>& widths, int offset)
{
    int total = 0;
    for (int code = 0; code < codes; ++code)
        total += widths[static_cast<std::size_t>(code) % widths.size()] + offset + 1;
    Surface image(total, fontHeight + 2);
    image.clear();
    int x = 0;
    for (int code = 0; code < codes; ++code) {
        const int width = widths[static_cast<std::size_t>(code) % widths.size()];
        for (int i = 0; i < width - 1; ++i) {
            image.setPixel(x + i, 0, 0xFF808080);
            for (int y = 2; y < fontHeight + 2; ++y)
                image.setPixel(x + i, y, 0xFFFFFFFF - static_cast<std::uint32_t>(y));
        }
        for (int i = 0; i < width - 1; ++i)
            image.setPixel(x + offset + i, 1, 0xFF808080);
        x += width + offset + 1;
    }
    return image;
}

void writeFonts(const fs::path& dir)
{
    writeBytes(dir / "small.tga", tgaFile(fontImage(5, 72, {2, 2, 4, 6, 3}, 0), 32, true));
    writeBytes(dir / "offsets.tga", tgaFile(fontImage(3, 100, {3, 5}, 1), 24, false));
    // Runs reaching the right edge, and one row of glyphs.
    Surface edge = fontImage(1, 40, {2, 3}, 0);
    for (int y = 0; y < 2; ++y)
        edge.setPixel(edge.width() - 1, y, 0xFF0000FF);
    writeBytes(dir / "edge.tga", tgaFile(edge, 32, false));
    fontImage(4, 70, {2, 5, 3}, 0).savePng((dir / "small.png").string());
}

// ---- animations

// Frames that change in runs, in single pixels, in the odd last column and in the palette.
FlcBytes flicFrame(int width, int height, int frame)
{
    FlcBytes indices(static_cast<std::size_t>(width * height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 1; x < width; ++x)
            indices[static_cast<std::size_t>(y * width + x)] =
                static_cast<std::uint8_t>(y < 2 ? 4 : (x / 3 + y + (x + y == frame * 3 ? 9 : 0)) % 12);
    return indices;
}

void writeFlics(const fs::path& dir)
{
    FlcPalette palette{};
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 9), static_cast<std::uint8_t>(i * 5),
                                                static_cast<std::uint8_t>(255 - i)};
    for (const auto& [name, width, height] :
         {std::tuple{"small.flc", 12, 8}, std::tuple{"odd.flc", 9, 5}, std::tuple{"wide.flc", 300, 3}}) {
        FlcWriter writer(width, height);
        for (int frame = 0; frame < 4; ++frame) {
            if (frame == 2)
                palette[7] = {1, 2, 3};
            writer.addFrame(flicFrame(width, height, frame), palette);
        }
        writeBytes(dir / name, writer.bytes());
    }
    // The chunk kinds the writer does not choose: a prefix chunk before the frames,
    // 64-level colours, a copy, black and an unknown kind.
    const FlcBytes colours64 = flcSubchunk(FlicChunk::Colour64, {1, 0, 0, 3, 63, 0, 0, 0, 63, 0, 0, 0, 63});
    const FlcBytes copy = flcSubchunk(FlicChunk::Copy, {0, 1, 2, 1, 0, 2, 2, 1, 0, 1, 1, 1});
    writeBytes(dir / "kinds.flc",
               flcFile(4, 3, 40, 2,
                       {FlcBytes{8, 0, 0, 0, 0x00, 0xF1, 0, 0}, flcFrameChunk({colours64, copy}),
                        flcFrameChunk({flcSubchunk(FlicChunk::Black, {}), flcSubchunk(18, {5, 5})}),
                        flcFrameChunk({copy})}));
}

}  // namespace
}  // namespace mirva

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: mirva-fuzz-seeds DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    for (const char* target : {"object", "scene", "image", "font", "flic"})
        std::filesystem::create_directories(dir / target);
    mirva::writeObjects(dir / "object");
    mirva::writeScenes(dir / "scene");
    mirva::writeImages(dir / "image");
    mirva::writeFonts(dir / "font");
    mirva::writeFlics(dir / "flic");
    return 0;
}
