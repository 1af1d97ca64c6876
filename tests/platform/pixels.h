#pragma once
// Pixels expected in a frame read back, compared with the rendering tolerance.
#include <initializer_list>

#include "tests/support/graphics.h"

namespace mirva::test {

struct Pixel {
    int x, y;
    D3DCOLOR color;
};
inline void expectPixels(const Picture& picture, std::initializer_list<Pixel> expected)
{
    for (const Pixel& p : expected)
        EXPECT_COLOR(picture.at(p.x, p.y), p.color) << " at " << p.x << "," << p.y;
}

}  // namespace mirva::test
