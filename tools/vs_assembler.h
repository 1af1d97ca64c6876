#pragma once
// The vs.1.1 assembler: vertex-shader text to the token stream of a .vso file, so the
// show's shaders are kept as text and built.
//
//   vs.1.1                      ; the version comes first (vs_1_1 also reads)
//   def c8, 0.0, 0.5, 1.0, 2.0  ; a constant loaded when the shader is set
//   m4x4 oPos, v0, c0           ; v0 position, c0..c3 the transposed world-view-projection
//   mov oD0, v1                 ; v1 normal -> diffuse colour
//   mov oT0.xy, v4              ; v4 texture coordinates
//   mov a0.x, r1.x              ; then c[a0.x + 10] reads through the address register
//
// One instruction a line; comments start with ';' or '//'. Instructions are named as in
// Direct3D (mov add sub mad mul rcp rsq dp3 dp4 min max slt sge exp expp log logp lit dst
// frc m4x4 m4x3 m3x4 m3x3 m3x2 nop def). Registers: r0-r11, v0-v15, c0-c95 and c[a0.x + n],
// a0, oPos, oFog, oPts, oD0-oD1, oT0-oT7. Destinations take a write mask (.xz), sources a
// swizzle (.wzyx; fewer than four letters repeat the last one) and a leading '-'.
//
// Does not: optimise, check register-port limits of old cards, or read pixel shaders.
// Bad text is fatal, with the source name and line: "vsa: NAME line N: problem".
#include <string>
#include <vector>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

std::vector<DWORD> assembleVertexShader(const std::string& text, const std::string& sourceName);

// The tokens as the bytes of a .vso file (little-endian).
std::vector<unsigned char> vertexShaderFileBytes(const std::vector<DWORD>& tokens);

}  // namespace mirva
