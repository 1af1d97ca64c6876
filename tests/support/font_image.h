#pragma once
// Font images for tests, written glyph by glyph with the two marker rows a BitmapFont
// reads its metrics from.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "io/surface.h"

namespace mirva::test {

// A font image written glyph by glyph: each glyph is a cell of `width` columns whose
// extent run marks width - 1 pixels, whose spacing run starts `offset` columns in and
// marks advance - 1 pixels, and whose pixels are solid ink when `solid`.
class FontImage {
public:
    static constexpr std::uint32_t kMark = 0xFF808080, kInk = 0xFFFFFFFF;

    explicit FontImage(int fontHeight) : height_(fontHeight + 2) {}
    void add(int width, int advance, int offset = 0, bool solid = true)
    {
        cells_.push_back({width, advance, offset, solid});
    }
    // Codes 0 .. first - 1 as the smallest cells (width 2, advance 2).
    void fillTo(int first)
    {
        while (static_cast<int>(cells_.size()) < first)
            add(2, 2, 0, false);
    }
    // `extraColumns` widens (or, negative, narrows) the image at its right end.
    void save(const std::string& path, int extraColumns = 0) const
    {
        int total = extraColumns;
        for (const Cell& c : cells_)
            total += std::max(c.width, c.offset + c.advance);
        Surface image(total, height_);
        image.clear();
        int x = 0;
        for (const Cell& c : cells_) {
            for (int i = 0; i < c.width - 1; ++i)
                image.setPixel(x + i, 0, kMark);
            for (int i = 0; i < c.advance - 1; ++i)
                image.setPixel(x + c.offset + i, 1, kMark);
            for (int y = 2; y < height_ && c.solid; ++y)
                for (int i = 0; i < c.width - 1; ++i)
                    image.setPixel(x + i, y, kInk);
            x += std::max(c.width, c.offset + c.advance);
        }
        image.savePng(path);
    }

private:
    struct Cell {
        int width, advance, offset;
        bool solid;
    };
    int height_;
    std::vector<Cell> cells_;
};

}  // namespace mirva::test
