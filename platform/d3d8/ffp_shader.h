#pragma once
// Fixed-function processing in generated GLSL.
//
// The device describes the states that change shader code in an `FfpKey` (vertex layout,
// lighting with the kinds of up to 8 lights, where the material colours come from, fog,
// texture-stage operations and arguments, alpha test, specular add, flat shading), and
// the cache returns a linked program for it, generating and compiling it on first use.
// States that are plain numbers (matrices, lights, material colours, fog colour and
// distances, texture factor, alpha reference) are uniforms, so changing them never
// builds a new program.
//
// Lighting follows Direct3D's equations in camera space: ambient = Ca * (Ga + sum of La),
// diffuse = Cd * sum of Ld * max(N.L, 0), specular = Cs * sum of Ls * (N.H)^P, each light
// scaled by its attenuation 1 / (a0 + a1 d + a2 d^2) (zero beyond its range) and, for spot
// lights, by the cone factor; the lit diffuse colour is emissive + ambient + diffuse with
// the material's diffuse alpha. Fog blends the final colour towards the fog colour by the
// fog factor: per vertex (linear, exp, exp2 of the camera-space depth, or the specular
// alpha when no vertex mode is set, or oFog of a vertex shader) or per pixel (table fog).
//
// A programmable vertex shader (vs.1.1, translated by vs11_to_glsl) takes the place of the
// generated vertex shader; the fragment shader is the same generated one.
//
// Not generated: point scaling and texture-coordinate transforms.
//
// Every generated vertex shader ends in `d3dClipEpilogue`: Direct3D's clip space (y up,
// depth 0..w, pixel centres on integers) is turned into OpenGL's with the rows of every
// render target stored top row first, which is what keeps textures and render targets
// upright. Programmable vertex shaders end in the same text.
#include <epoxy/gl.h>

#include <compare>
#include <functional>
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

constexpr int kFfpMaxLights = 8;

struct FfpKey {
    DWORD vertexShader = 0;   // handle of a programmable vertex shader; 0: fixed function
    // Vertex processing (fixed function only).
    BYTE pretransformed = 0;  // D3DFVF_XYZRHW: positions are already in screen space
    BYTE lighting = 0;
    BYTE lightCount = 0;
    BYTE lightType[kFfpMaxLights] = {};  // D3DLIGHTTYPE of each enabled light, in slot order
    // D3DMCS_* source of the diffuse, ambient, specular and emissive material colours.
    BYTE materialSource[4] = {};
    BYTE localViewer = 0;
    BYTE normalizeNormals = 0;
    BYTE vertexFog = D3DFOG_NONE;  // the vertex fog formula, with fog on and no table fog
    BYTE rangeFog = 0;
    // Fog: 0 off; 1 the factor comes from the vertex stage; 2 per pixel with `tableFog`.
    BYTE fog = 0;
    BYTE tableFog = D3DFOG_NONE;
    // Pixel processing.
    BYTE stageCount = 0;      // stages before the first disabled one
    FfpStageKey stage[D3D_TEXTURE_STAGES];
    BYTE alphaFunc = D3DCMP_ALWAYS;  // D3DCMP_ALWAYS also when the alpha test is off
    BYTE specularAdd = 0;
    BYTE flatShading = 0;
    auto operator<=>(const FfpKey&) const = default;
};

// Uniform locations of a generated program (-1 where the program has no such uniform).
struct FfpProgram {
    GLuint program = 0;       // 0: the program failed to build, for the reason below
    std::string failure;
    GLint worldViewProjection = -1;
    GLint viewport = -1;      // x, y, width, height of the viewport in pixels
    GLint pixelOffset = -1;   // the clip-space shift that puts pixel centres on integers
    GLint pointSize = -1;
    GLint textureFactor = -1;
    GLint alphaReference = -1;
    // Lighting and fog.
    GLint worldView = -1;
    GLint normalMatrix = -1;
    GLint lightPosition = -1, lightDirection = -1, lightDiffuse = -1, lightSpecular = -1, lightAmbient = -1;
    GLint lightAttenuation = -1, lightSpot = -1;
    GLint materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1, materialEmissive = -1;
    GLint materialPower = -1;
    GLint ambient = -1;
    GLint fogColor = -1;
    GLint fogParameters = -1;
    // Programmable vertex shaders: the constant registers c0..c95.
    GLint constants = -1;
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
    // the compiler's log in `error`. With a programmable vertex shader in the key,
    // `vertexSource` gives its GLSL (asked only when the program is not cached yet).
    const FfpProgram& program(const FfpKey& key, const std::function<std::string()>& vertexSource,
                              std::string& error);
    // Deletes the programs made with one vertex shader (it is being deleted).
    void forgetVertexShader(DWORD handle);
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
// A compiler's log with the source lines it names appended ("  line N: ...").
std::string withSourceLines(const std::string& log, const std::string& source);

}  // namespace mirva
