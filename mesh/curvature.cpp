#include "mesh/curvature.h"

#include <cmath>

#include "io/console.h"
#include "mesh/topology.h"

namespace mirva {

namespace {

constexpr float kTwoPi = 6.2831855f;

void estimate(LWObject& object, std::size_t index, const Ring& ring)
{
    Vertex& vertex = object.vertices[index];
    vertex.reliable = 1;
    const float s = ring.triangles > 0 ? 1.0f / static_cast<float>(ring.triangles) : 0.0f;
    Vector3 xu, xv, s2, c2, mean;
    for (const RingEntry& entry : ring.entries) {
        const Vector3& p = object.vertices[static_cast<std::size_t>(entry.vertex)].position;
        const float theta = kTwoPi * static_cast<float>(entry.position) * s;
        xu += std::sin(theta) * p;
        xv += std::cos(theta) * p;
        s2 += std::sin(2.0f * theta) * p;
        c2 += std::cos(2.0f * theta) * p;
        mean += p;
    }
    xu *= 2.0f * s;
    xv *= 2.0f * s;
    s2 *= 2.0f * s;
    c2 *= 2.0f * s;
    const Vector3 m = mean * s - vertex.position;

    const Vector3 xuu = 2.0f * (m - c2);
    const Vector3 xvv = 2.0f * (m + c2);
    const Vector3 xuv = 2.0f * s2;

    const Vector3 n = normalised(cross(xu, xv));
    if (n == Vector3{})
        vertex.reliable = 0;
    const float E = dot(xu, xu), F = dot(xu, xv), G = dot(xv, xv);
    const float e = dot(xuu, n), f = dot(xuv, n), g = dot(xvv, n);
    const float D = E * G - F * F;
    float inverse = 0;
    if (D == 0.0f)
        vertex.reliable = 0;
    else
        inverse = 1.0f / D;
    const float H = (e * G + g * E - 2.0f * f * F) * 0.5f * inverse;
    const float R = H * H - (e * g - f * f) * inverse;
    float r = 0;
    if (R < 0.0f)
        vertex.reliable = 0;
    else
        r = std::sqrt(R);
    const float kA = H + r, kB = H - r;
    float k1, k2;
    Vector3 direction;
    if (std::fabs(kA) <= std::fabs(kB)) {
        k1 = kB;
        k2 = kA;
        direction = (f - k1 * F) * xu - (e - k1 * E) * xv;
    } else {
        k1 = kA;
        k2 = kB;
        direction = (g - k1 * G) * xu - (f - k1 * F) * xv;
    }
    direction = normalised(direction);
    if (!(std::fabs(k1) >= 0.01f) || std::fabs(k1) < 2.0f * std::fabs(k2))
        vertex.reliable = 0;
    if (direction.y < 0.0f)
        direction = -direction;
    vertex.normal = n;
    vertex.tangent = direction;
    vertex.k1 = k1;
    vertex.k2 = k2;
    vertex.binormal = cross(n, direction);
}

}  // namespace

void CalculateCurvature(LWObject& object)
{
    requireManifold(object, "can't calculate curvature");
    Console::print("calculating curvature\n");
    int reliable = 0;
    Ring ring;
    for (std::size_t i = 0; i < object.vertices.size(); ++i) {
        if (object.vertices[i].corner == -1)
            continue;
        walkRing(object, static_cast<std::int32_t>(i), ring);
        estimate(object, i, ring);
        reliable += object.vertices[i].reliable;
    }
    Console::print("vertex curvature: reliable %d unreliable %d\n", reliable,
                   static_cast<int>(object.vertices.size()) - reliable);
}

}  // namespace mirva
