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

Transformation inverse(const Transformation& M)
{
    const auto& m = M.m;
    // Cofactors of the 3x3 part, transposed: the adjugate.
    float a[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            a[r][c] = m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
        }
    const float determinant = m[0][0] * a[0][0] + m[0][1] * a[1][0] + m[0][2] * a[2][0];
    if (!(std::fabs(determinant) > 1e-20f))
        return M.rigidInverse();
    Transformation result;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            result.m[r][c] = a[r][c] / determinant;
    for (int c = 0; c < 3; ++c)
        result.m[3][c] = -(m[3][0] * result.m[0][c] + m[3][1] * result.m[1][c] + m[3][2] * result.m[2][c]);
    return result;
}

Vector3 transformPoint(const Transformation& M, const Vector3& p)
{
    return transformDirection(M, p) + Vector3{M.m[3][0], M.m[3][1], M.m[3][2]};
}

Vector3 transformDirection(const Transformation& M, const Vector3& d)
{
    const auto& m = M.m;
    return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
            d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

}  // namespace mirva
