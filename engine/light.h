#pragma once
// Light: one Direct3D fixed-function light in the engine's own units. Primitives carry a
// list of lights and switch them on for their own draw only.
#include "platform/d3d8/d3d8_types.h"

namespace mirva {

class Light {
public:
    enum Kind { DIRECTIONAL = 0, POINT = 1, SPOT = 2 };

    // Writes the light into a device slot and enables the slot.
    void set(DWORD slot) const;
    // Switches a device slot off.
    static void disable(DWORD slot);
    // The Direct3D record that `set` writes.
    D3DLIGHT8 record() const;

    int kind = POINT;
    D3DVECTOR position{0, 0, 0};
    D3DVECTOR direction{0, 0, 1};
    D3DCOLOR ambient = 0x00000000;  // colours 0xAARRGGBB
    D3DCOLOR diffuse = 0xFFFFFFFF;
    D3DCOLOR specular = 0xFFFFFFFF;
    float range = 0.0f;  // 0: unlimited
    float falloff = 1.0f;
    float theta = 1.5707964f;  // inner cone angle
    float phi = 2.3561945f;    // outer cone angle
    float attenuation0 = 1.0f, attenuation1 = 0.0f, attenuation2 = 0.0f;
};

}  // namespace mirva
