#pragma once
// Translation of a vs.1.1 vertex shader into a GLSL 3.30 vertex shader.
//
// Registers become GLSL variables: temporaries r0..r11 and the outputs start at zero
// (oPos, oT0..oT7 and the point size at (0, 0, 0, 1), oFog at 1: no fog), inputs v0..v15
// are vertex attributes at locations 0..15, constants are the uniform array `c[96]`
// (reads through a0 outside 0..95 give zero), a0 is an
// integer vector. The outputs leave through the varyings that the generated
// fixed-function fragment shaders read (v_diffuse, v_specular, v_texCoord0..7, v_fog),
// colours clamped to 0..1, and the position through `d3dClipEpilogue`.
//
// Arithmetic follows Direct3D's rules: rcp and rsq of 0 give the largest float, log of 0
// the most negative, scalar instructions read the w of their swizzled source, mov to a0
// rounds down, lit clamps its exponent to -128..128.
#include <string>

#include "platform/d3d8/vs11.h"

namespace mirva {

// The GLSL text, or an empty text with the reason in `error` (the shader reads an input
// register that the declaration does not provide).
std::string vs11ToGlsl(const vs11::Program& program, const vs11::Declaration& declaration, bool flatShading,
                       std::string& error);

}  // namespace mirva
