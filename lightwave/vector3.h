#pragma once
// Vector3: three floats with the few operations the object loader and the mesh steps
// need. A plain value type; normalising a zero vector gives the zero vector, so
// degenerate geometry never produces NaNs.
#include <cmath>

namespace mirva {

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;

    Vector3& operator+=(const Vector3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vector3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
};

inline Vector3 operator+(Vector3 a, const Vector3& b) { return a += b; }
inline Vector3 operator-(Vector3 a, const Vector3& b) { return a -= b; }
inline Vector3 operator-(const Vector3& a) { return {-a.x, -a.y, -a.z}; }
inline Vector3 operator*(Vector3 a, float s) { return a *= s; }
inline Vector3 operator*(float s, Vector3 a) { return a *= s; }
inline bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

inline float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(const Vector3& a) { return std::sqrt(dot(a, a)); }

// The unit vector along a; the zero vector stays zero.
inline Vector3 normalised(const Vector3& a)
{
    const float len = length(a);
    if (!(len > 0.0f))
        return {};
    return {a.x / len, a.y / len, a.z / len};
}

}  // namespace mirva
