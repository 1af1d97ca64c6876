#include "engine/bitmap_font.h"

#include <algorithm>
#include <cstdarg>
#include <functional>
#include <vector>

#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "engine/texture.h"
#include "io/console.h"
#include "io/surface.h"

namespace mirva {

namespace {

bool marked(std::uint32_t pixel)
{
    return (pixel & 0x00FFFFFF) != 0;
}

// Calls `run(n, first x, length)` for the runs of marked pixels of row y, at most 256;
// a run reaching the end of the row ends there.
void scanRow(const Surface& image, int y, const std::function<void(int, int, int)>& run)
{
    int count = 0;
    for (int x = 0; x < image.width() && count < 256;) {
        if (!marked(image.pixel(x, y))) {
            ++x;
            continue;
        }
        const int start = x;
        while (x < image.width() && marked(image.pixel(x, y)))
            ++x;
        run(count++, start, x - start);
    }
}

}  // namespace

BitmapFont::BitmapFont(const std::string& fileName)
{
    const Surface image(fileName);
    if (image.height() < 3)
        Console::fatal(formatText("BitmapFont: font image '%s' is %d pixels high; it needs its two marker rows and "
                                  "at least one row of glyphs",
                                  fileName.c_str(), image.height()));
    height_ = image.height() - 2;
    readMetrics(image);
    const Surface packed = pack(image, fileName);
    Texture::createFromSurface(fileName, packed, TextureEntry::A8R8G8B8, true);
    material_ = std::make_unique<Material>(Material::TEXTURE, Material::ADD);
    material_->culling = Material::NOCULLING;
    material_->setTexture(fileName, TextureEntry::A8R8G8B8, true);
    primitive_ = std::make_unique<Primitive>(Primitive::TRIANGLELIST, 6 * kQuadsPerBatch, 4 * kQuadsPerBatch, false,
                                             true);
    std::span<WORD> indices = primitive_->indices();
    for (int k = 0; k < kQuadsPerBatch; ++k) {
        const int at = 6 * k, first = 4 * k;
        const int pattern[6] = {first, first + 1, first + 2, first, first + 2, first + 3};
        for (int i = 0; i < 6; ++i)
            indices[static_cast<std::size_t>(at + i)] = static_cast<WORD>(pattern[i]);
    }
    primitive_->setMaterial(material_.get());
}

BitmapFont::~BitmapFont() = default;

void BitmapFont::readMetrics(const Surface& image)
{
    scanRow(image, 0, [&](int code, int x, int length) {
        sourceX_[code] = x;
        glyphs_[code].width = length + 1;
    });
    scanRow(image, 1, [&](int code, int x, int length) {
        glyphs_[code].offset = x - sourceX_[code];
        glyphs_[code].advance = length + 1;
    });
}

Surface BitmapFont::pack(const Surface& image, const std::string& fileName)
{
    std::vector<int> order;
    for (int code = 32; code < 256; ++code)
        order.push_back(code);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return glyphs_[a].width > glyphs_[b].width; });

    const int rowHeight = height_ + 1;
    int size = 32;  // the texture height; rows may not grow past it
    int width = 32;
    // The texture is never wider than high, so it fits the device while its height does.
    const int largest = screenModeSet()
                            ? std::min(dxDriver().largestTextureWidth(), dxDriver().largestTextureHeight())
                            : Surface::kDefaultLargestImage;
    const auto grow = [&] {
        if (size > largest / 2)
            Console::fatal(formatText("BitmapFont: the glyphs of '%s' don't fit a %d x %d texture", fileName.c_str(),
                                      largest, largest));
        size *= 2;
    };
    std::vector<std::vector<int>> rows;
    for (bool packed = false; !packed;) {
        const int rowCount = size / rowHeight;
        if (rowCount == 0) {
            grow();
            continue;
        }
        rows.assign(static_cast<std::size_t>(rowCount), {});
        std::vector<int> fill(static_cast<std::size_t>(rowCount), 0);
        width = 32;
        packed = true;
        for (int code : order) {
            if (glyphs_[code].width <= 1)
                continue;
            const auto row = static_cast<std::size_t>(std::min_element(fill.begin(), fill.end()) - fill.begin());
            const int newFill = fill[row] + glyphs_[code].width + 1;
            if (newFill > size) {
                grow();
                packed = false;
                break;
            }
            rows[row].push_back(code);
            fill[row] = newFill;
            while (width < newFill)
                width *= 2;
        }
    }

    Surface texture(width, size);
    texture.clear();
    const auto w = static_cast<float>(width), s = static_cast<float>(size);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int y = static_cast<int>(r) * rowHeight;
        int x = 0;
        for (int code : rows[r]) {
            Glyph& g = glyphs_[code];
            // A run that reaches the image's right edge gives a glyph one column wider
            // than the image; that column stays blank.
            const int copyWidth = std::min(g.width, image.width() - sourceX_[code]);
            texture.copy(x, y, image, sourceX_[code], 2, copyWidth, height_);
            const float u0 = (static_cast<float>(x) - 0.5f) / w;
            const float u1 = (static_cast<float>(x + g.width) + 0.5f) / w;
            const float v0 = (static_cast<float>(y) - 0.5f) / s;
            const float v1 = (static_cast<float>(y + height_) + 0.5f) / s;
            const float us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
            std::copy(us, us + 4, g.u);
            std::copy(vs, vs + 4, g.v);
            x += g.width + 1;
        }
    }
    textureWidth_ = width;
    textureHeight_ = size;
    return texture;
}

float BitmapFont::textWidth(const std::string& text) const
{
    float width = 0.0f;
    bool any = false;
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (!drawn(code))
            continue;
        width += static_cast<float>(glyphs_[code].advance - 2) + spacing;
        any = true;
    }
    return any ? width - spacing : 0.0f;
}

void BitmapFont::drawText(Camera& camera, int anchor, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatTextV(format, args);
    va_end(args);
    drawString(camera, anchor, text);
}

void BitmapFont::drawString(Camera& camera, int anchor, const std::string& text)
{
    const float w = textWidth(text);
    const auto h = static_cast<float>(height_);
    const auto halfHeight = static_cast<float>(height_ / 2);
    EngineState& state = engineState();
    if (anchor >= 0 && anchor <= 8) {
        const int column = anchor % 3, row = anchor / 3;
        state.penX0 = column == 0 ? 0.0f : column == 1 ? -w / 2.0f : -w;
        state.penY0 = row == 0 ? 0.0f : row == 1 ? -halfHeight : -h;
    }
    float x = state.penX0 * horizontalScale;
    const float top = -state.penY0 * verticalScale;
    const float bottom = (-h - state.penY0) * verticalScale;

    primitive_->transformation = transformation;
    std::span<Primitive::Vertex> quads;
    int count = 0;
    const auto flush = [&] {
        primitive_->unlockVertexBuffer();
        primitive_->setIndexCount(6 * count);
        primitive_->setVertexCount(4 * count);
        primitive_->draw(camera);
        count = 0;
    };
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (!drawn(code))
            continue;
        const Glyph& g = glyphs_[code];
        if (count == 0)
            quads = primitive_->lockVertexBuffer();
        x -= static_cast<float>(g.offset) * horizontalScale;
        const float right = x + static_cast<float>(g.width) * horizontalScale;
        const float xs[4] = {x, right, right, x}, ys[4] = {top, top, bottom, bottom};
        for (int k = 0; k < 4; ++k) {
            Primitive::Vertex& v = quads[static_cast<std::size_t>(4 * count + k)];
            v = Primitive::Vertex{};
            v.x = xs[k];
            v.y = ys[k];
            v.diffuse = color;
            v.u = g.u[k];
            v.v = g.v[k];
        }
        x += (static_cast<float>(g.advance - 2 + g.offset) + spacing) * horizontalScale;
        if (++count == kQuadsPerBatch)
            flush();
    }
    if (count > 0)
        flush();
}

}  // namespace mirva
