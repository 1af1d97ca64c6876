#pragma once
// Fixed-function processing in generated GLSL.
//
// The device describes the states that change shader code in an `FfpKey` (vertex layout,
// texture-stage operations and arguments, alpha test, specular add, flat shading), and
// the cache returns a linked program for it, generating and compiling it on first use.
// States that are plain numbers (matrices, texture factor, alpha reference) are uniforms,
// so changing them never builds a new program.
//
// Not generated: fixed-function lighting, fog and point scaling. The device keeps their
// states (lights, material, fog and point render states), and the programs pass the
// vertex colours through as if lighting and fog were off.
//
// Every generated vertex shader ends in `d3dClipEpilogue`: Direct3D's clip space (y up,
// depth 0..w, pixel centres on integers) is turned into OpenGL's with the rows of every
// render target stored top row first, which is what keeps textures and render targets
// upright. Programmable vertex shaders end in the same text.
#include <epoxy/gl.h>

#include <compare>
#include <map>
#include <string>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

struct FfpStageKey {
    BYTE colorOp = D3DTOP_DISABLE;
    BYTE colorArg[3] = {};  // arguments 0, 1, 2 (D3DTA_* with modifiers)
    BYTE alphaOp = D3DTOP_DISABLE;
    BYTE alphaArg[3] = {};
    BYTE texCoordIndex = 0;
    BYTE hasTexture = 0;
    BYTE resultTemp = 0;  // the stage writes the temporary register instead of current
    auto operator<=>(const FfpStageKey&) const = default;
};

struct FfpKey {
    BYTE pretransformed = 0;  // D3DFVF_XYZRHW: positions are already in screen space
    BYTE stageCount = 0;      // stages before the first disabled one
    FfpStageKey stage[D3D_TEXTURE_STAGES];
    BYTE alphaFunc = D3DCMP_ALWAYS;  // D3DCMP_ALWAYS also when the alpha test is off
    BYTE specularAdd = 0;
    BYTE flatShading = 0;
    auto operator<=>(const FfpKey&) const = default;
};

// Uniform locations of a generated program (-1 where the program has no such uniform).
struct FfpProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1;
    GLint viewport = -1;      // x, y, width, height of the viewport in pixels
    GLint pixelOffset = -1;   // the clip-space shift that puts pixel centres on integers
    GLint pointSize = -1;
    GLint textureFactor = -1;
    GLint alphaReference = -1;
};

// The text appended to every vertex shader: writes gl_Position from the Direct3D clip
// position `clip` (uniform `u_pixelOffset` must be declared).
extern const char* const d3dClipEpilogue;

class FfpShaderCache {
public:
    FfpShaderCache() = default;
    ~FfpShaderCache();
    FfpShaderCache(const FfpShaderCache&) = delete;
    FfpShaderCache& operator=(const FfpShaderCache&) = delete;

    // The program for `key`; its `program` is 0 when the GLSL failed to compile, with
    // the compiler's log in `error`.
    const FfpProgram& program(const FfpKey& key, std::string& error);
    // Deletes every program (with the context current) or forgets them (context gone).
    void clear(bool contextLost);
    std::size_t size() const { return programs_.size(); }

private:
    std::map<FfpKey, FfpProgram> programs_;
};

std::string ffpVertexShader(const FfpKey& key);
std::string ffpFragmentShader(const FfpKey& key);

// Compiles and links a vertex and a fragment shader; 0 with the log in `error` on failure.
GLuint linkProgram(const std::string& vertex, const std::string& fragment, std::string& error);

}  // namespace mirva
