#pragma once
// Transformation: the 4 x 3 matrix of the row-vector convention that script values,
// motions and the engine's cameras and primitives share. Rows 0 to 2 are the axes
// (the rotation and scale), row 3 the translation: a point p becomes p * R + t.
namespace mirva {

struct Transformation {
    float m[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};  // identity

    static Transformation identity() { return {}; }

    // The inverse of a rotation and translation (no scale): rotation rows transposed,
    // translation -t * R^T.
    Transformation rigidInverse() const
    {
        Transformation inverse;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                inverse.m[row][column] = m[column][row];
        for (int column = 0; column < 3; ++column)
            inverse.m[3][column] = -(m[3][0] * m[column][0] + m[3][1] * m[column][1] + m[3][2] * m[column][2]);
        return inverse;
    }

    // The same axes with the translation moved to the point (x, y, z) of this
    // transformation's own space: what stands at that point in front of a camera whose
    // placement this is, turned with the camera.
    Transformation withTranslationAt(float x, float y, float z) const
    {
        Transformation moved = *this;
        for (int column = 0; column < 3; ++column)
            moved.m[3][column] = x * m[0][column] + y * m[1][column] + z * m[2][column] + m[3][column];
        return moved;
    }
};

}  // namespace mirva
