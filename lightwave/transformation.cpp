#include "lightwave/transformation.h"

#include <cmath>

namespace mirva {

void setRotationAndScale(Transformation& M, float heading, float pitch, float bank, float sx, float sy, float sz)
{
    const float ch = std::cos(heading), sh = std::sin(heading);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cb = std::cos(bank), sb = std::sin(bank);
    const float bankRows[3][3] = {{cb, sb, 0}, {-sb, cb, 0}, {0, 0, 1}};
    const float scale[3] = {sx, sy, sz};
    for (int r = 0; r < 3; ++r) {
        const float x = bankRows[r][0], y = bankRows[r][1], z = bankRows[r][2];
        // (x, y, z) · pitch
        const float py = y * cp - z * sp;
        const float pz = y * sp + z * cp;
        // · heading
        const float s = scale[r] >= 0.0001f ? scale[r] : 0.0001f;
        M.m[r][0] = (x * ch + pz * sh) * s;
        M.m[r][1] = py * s;
        M.m[r][2] = (pz * ch - x * sh) * s;
    }
}

Transformation multiply(const Transformation& a, const Transformation& b)
{
    Transformation r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            float sum = row == 3 ? b.m[3][col] : 0.0f;
            for (int k = 0; k < 3; ++k)
                sum += a.m[row][k] * b.m[k][col];
            r.m[row][col] = sum;
        }
    return r;
}

}  // namespace mirva
