// The device's draws: vertex and index streams, vertex inputs from the flexible vertex
// format, uniforms of the generated program, and the draw calls.
#include <algorithm>
#include <cmath>

#include "io/console.h"
#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/failure_report.h"
#include "platform/d3d8/resource_gl.h"
#include "platform/d3d8/simulation.h"
#include "platform/d3d8/vs11_to_glsl.h"

namespace mirva {

namespace {

// Attribute locations of the generated programs.
constexpr GLuint kPosition = 0, kNormal = 1, kDiffuse = 2, kSpecular = 3, kPointSize = 4, kTexCoord0 = 5;
// Programmable shaders read v0..v15 at locations 0..15.
constexpr GLuint kAttributeLocations = 16;

void colorUniform(GLint location, const D3DCOLORVALUE& c)
{
    glUniform4f(location, c.r, c.g, c.b, c.a);
}

void colorUniform(GLint location, D3DCOLOR c)
{
    colorUniform(location, colorValue(c));
}

// Row vector times the 3 x 3 part of a matrix (a direction), or the whole (a point).
D3DVECTOR transformDirection(const D3DVECTOR& v, const D3DMATRIX& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

D3DVECTOR transformPoint(const D3DVECTOR& v, const D3DMATRIX& m)
{
    const D3DVECTOR d = transformDirection(v, m);
    return {d.x + m.m[3][0], d.y + m.m[3][1], d.z + m.m[3][2]};
}

D3DVECTOR normalized(const D3DVECTOR& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 0 ? D3DVECTOR{v.x / length, v.y / length, v.z / length} : v;
}

// The matrix that carries normals: the inverse transpose of the 3 x 3 part (for row
// vectors), as nine floats row by row; the 3 x 3 part itself when it has no inverse.
void normalMatrix(const D3DMATRIX& m, float out[9])
{
    const auto a = [&](int r, int c) { return m.m[r][c]; };
    // Cofactors: the inverse is their transpose over the determinant, so the inverse
    // transpose is the cofactors themselves over the determinant.
    const float c[3][3] = {
        {a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1), a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2), a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0)},
        {a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2), a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0), a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1)},
        {a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1), a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2), a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)},
    };
    const float determinant = a(0, 0) * c[0][0] + a(0, 1) * c[0][1] + a(0, 2) * c[0][2];
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            out[r * 3 + k] = determinant != 0 ? c[r][k] / determinant : a(r, k);
}

// GL_POINTS is 0, the same as GL_NONE: an unknown type is told apart by its own value.
constexpr GLenum kNoMode = 0xFFFFFFFF;

GLenum primitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return kNoMode;
    }
}

UINT vertexCount(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
    }
}

}  // namespace

HRESULT DeviceGL::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride)
{
    if (stream != 0)
        return D3DERR_INVALIDCALL;
    auto* gl = buffer ? dynamic_cast<VertexBufferGL*>(buffer) : nullptr;
    if (buffer && (!gl || gl->device() != this))
        return D3DERR_INVALIDCALL;
    stream_ = gl;
    streamStride_ = stride;
    return D3D_OK;
}

HRESULT DeviceGL::SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex)
{
    auto* gl = buffer ? dynamic_cast<IndexBufferGL*>(buffer) : nullptr;
    if (buffer && (!gl || gl->device() != this))
        return D3DERR_INVALIDCALL;
    indices_ = gl;
    baseVertexIndex_ = baseVertexIndex;
    return D3D_OK;
}

HRESULT DeviceGL::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    return draw(type, primitiveCount, false, startVertex);
}

HRESULT DeviceGL::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT, UINT, UINT startIndex, UINT primitiveCount)
{
    return draw(type, primitiveCount, true, startIndex);
}

void DeviceGL::bindVertexInputs(DWORD fvf, UINT stride)
{
    const auto enable = [&](GLuint location, GLint size, GLenum type, GLboolean normalized, std::size_t offset) {
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, type, normalized, static_cast<GLsizei>(stride),
                              reinterpret_cast<const void*>(offset));
    };
    const auto constant = [](GLuint location, float x, float y, float z, float w) {
        glDisableVertexAttribArray(location);
        glVertexAttrib4f(location, x, y, z, w);
    };
    std::size_t offset = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZRHW) {
        enable(kPosition, 4, GL_FLOAT, GL_FALSE, offset);
        offset += 16;
    } else if (position != 0) {
        enable(kPosition, 3, GL_FLOAT, GL_FALSE, offset);
        // XYZB1..XYZB5 carry 1 to 5 blend weights after the position.
        offset += 12 + (position >= 6 ? (position - 4) / 2 * 4 : 0);
    } else {
        constant(kPosition, 0, 0, 0, 1);
    }
    if (fvf & D3DFVF_NORMAL) {
        enable(kNormal, 3, GL_FLOAT, GL_FALSE, offset);
        offset += 12;
    } else {
        constant(kNormal, 0, 0, 0, 0);
    }
    if (fvf & D3DFVF_PSIZE) {
        enable(kPointSize, 1, GL_FLOAT, GL_FALSE, offset);
        offset += 4;
    } else {
        constant(kPointSize, 1, 0, 0, 0);
    }
    // Colours are 0xAARRGGBB in memory blue, green, red, alpha: OpenGL's BGRA size.
    if (fvf & D3DFVF_DIFFUSE) {
        enable(kDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, offset);
        offset += 4;
    } else {
        constant(kDiffuse, 1, 1, 1, 1);
    }
    if (fvf & D3DFVF_SPECULAR) {
        enable(kSpecular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, offset);
        offset += 4;
    } else {
        constant(kSpecular, 0, 0, 0, 0);
    }
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD i = 0; i < D3D_TEXTURE_STAGES; ++i) {
        if (i >= sets) {
            constant(kTexCoord0 + i, 0, 0, 0, 1);
            continue;
        }
        static const GLint sizes[4] = {2, 3, 4, 1};  // D3DFVF_TEXCOORDSIZE bits
        const GLint size = sizes[(fvf >> (16 + 2 * i)) & 3];
        enable(kTexCoord0 + i, size, GL_FLOAT, GL_FALSE, offset);
        offset += static_cast<std::size_t>(size) * 4;
    }
    for (GLuint location = kTexCoord0 + D3D_TEXTURE_STAGES; location < kAttributeLocations; ++location)
        glDisableVertexAttribArray(location);
}

void DeviceGL::bindDeclaredInputs(const vs11::Declaration& declaration, UINT stride)
{
    for (GLuint location = 0; location < kAttributeLocations; ++location) {
        glDisableVertexAttribArray(location);
        glVertexAttrib4f(location, 0, 0, 0, 1);
    }
    for (const vs11::VertexElement& e : declaration.elements) {
        const auto location = static_cast<GLuint>(e.reg);
        const void* offset = reinterpret_cast<const void*>(static_cast<std::size_t>(e.offset));
        glEnableVertexAttribArray(location);
        const auto s = static_cast<GLsizei>(stride);
        switch (e.type) {
        case D3DVSDT_FLOAT1: glVertexAttribPointer(location, 1, GL_FLOAT, GL_FALSE, s, offset); break;
        case D3DVSDT_FLOAT2: glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, s, offset); break;
        case D3DVSDT_FLOAT3: glVertexAttribPointer(location, 3, GL_FLOAT, GL_FALSE, s, offset); break;
        case D3DVSDT_FLOAT4: glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, s, offset); break;
        case D3DVSDT_D3DCOLOR: glVertexAttribPointer(location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, offset); break;
        case D3DVSDT_UBYTE4: glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_FALSE, s, offset); break;
        case D3DVSDT_SHORT2: glVertexAttribPointer(location, 2, GL_SHORT, GL_FALSE, s, offset); break;
        case D3DVSDT_SHORT4: glVertexAttribPointer(location, 4, GL_SHORT, GL_FALSE, s, offset); break;
        }
    }
}

void DeviceGL::setLightingUniforms(const FfpProgram& program)
{
    const D3DMATRIX worldView = multiply(world_, view_);
    glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    float normals[9];
    normalMatrix(worldView, normals);
    glUniformMatrix3fv(program.normalMatrix, 1, GL_FALSE, normals);
    // Lights are given in world space; the shader lights in camera space.
    float position[kMaxLights][4] = {}, direction[kMaxLights][4] = {}, diffuse[kMaxLights][4] = {},
          specular[kMaxLights][4] = {}, ambient[kMaxLights][4] = {}, attenuation[kMaxLights][4] = {},
          spot[kMaxLights][4] = {};
    const std::vector<const D3DLIGHT8*> lights = activeLights();
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const D3DLIGHT8& l = *lights[i];
        const D3DVECTOR p = transformPoint(l.Position, view_);
        const D3DVECTOR d = normalized(transformDirection(l.Direction, view_));
        const auto set = [](float* out, float x, float y, float z, float w) {
            out[0] = x;
            out[1] = y;
            out[2] = z;
            out[3] = w;
        };
        set(position[i], p.x, p.y, p.z, 1);
        set(direction[i], d.x, d.y, d.z, 0);
        set(diffuse[i], l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a);
        set(specular[i], l.Specular.r, l.Specular.g, l.Specular.b, l.Specular.a);
        set(ambient[i], l.Ambient.r, l.Ambient.g, l.Ambient.b, l.Ambient.a);
        set(attenuation[i], l.Attenuation0, l.Attenuation1, l.Attenuation2, l.Range);
        set(spot[i], std::cos(l.Theta / 2), std::cos(l.Phi / 2), l.Falloff, 0);
    }
    const auto count = static_cast<GLsizei>(lights.size());
    if (count > 0) {
        glUniform4fv(program.lightPosition, count, &position[0][0]);
        glUniform4fv(program.lightDirection, count, &direction[0][0]);
        glUniform4fv(program.lightDiffuse, count, &diffuse[0][0]);
        glUniform4fv(program.lightSpecular, count, &specular[0][0]);
        glUniform4fv(program.lightAmbient, count, &ambient[0][0]);
        glUniform4fv(program.lightAttenuation, count, &attenuation[0][0]);
        glUniform4fv(program.lightSpot, count, &spot[0][0]);
    }
    colorUniform(program.materialDiffuse, material_.Diffuse);
    colorUniform(program.materialAmbient, material_.Ambient);
    colorUniform(program.materialSpecular, material_.Specular);
    colorUniform(program.materialEmissive, material_.Emissive);
    glUniform1f(program.materialPower, material_.Power);
    colorUniform(program.ambient, renderStates_[D3DRS_AMBIENT]);
}

void DeviceGL::setUniforms(const FfpProgram& program, const FfpKey& key)
{
    const DWORD* rs = renderStates_;
    const D3DMATRIX worldViewProjection = multiply(multiply(world_, view_), projection_);
    // Row-vector matrices uploaded as they lie in memory are column-major OpenGL
    // matrices of the transpose, so M * v in GLSL is Direct3D's v * M.
    glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE, &worldViewProjection.m[0][0]);
    const auto width = static_cast<float>(viewport_.Width);
    const auto height = static_cast<float>(viewport_.Height);
    glUniform4f(program.viewport, static_cast<float>(viewport_.X), static_cast<float>(viewport_.Y), width, height);
    // 63/128 of a pixel, expressed in clip units of the viewport.
    glUniform2f(program.pixelOffset, (63.0f / 64.0f) / width, (63.0f / 64.0f) / height);
    const float pointSize = std::clamp(bitsFloat(rs[D3DRS_POINTSIZE]), bitsFloat(rs[D3DRS_POINTSIZE_MIN]),
                                       std::max(bitsFloat(rs[D3DRS_POINTSIZE_MIN]), bitsFloat(rs[D3DRS_POINTSIZE_MAX])));
    glUniform1f(program.pointSize, std::max(pointSize, 1.0f));
    colorUniform(program.textureFactor, rs[D3DRS_TEXTUREFACTOR]);
    glUniform1f(program.alphaReference, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
    if (key.lighting)
        setLightingUniforms(program);
    else if (key.fog == 1 && key.vertexFog != D3DFOG_NONE) {
        const D3DMATRIX worldView = multiply(world_, view_);
        glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    }
    if (key.fog) {
        const D3DCOLORVALUE fog = colorValue(rs[D3DRS_FOGCOLOR]);
        glUniform3f(program.fogColor, fog.r, fog.g, fog.b);
        glUniform3f(program.fogParameters, bitsFloat(rs[D3DRS_FOGSTART]), bitsFloat(rs[D3DRS_FOGEND]),
                    bitsFloat(rs[D3DRS_FOGDENSITY]));
    }
    if (key.vertexShader)
        glUniform4fv(program.constants, kShaderConstants, &shaderConstants_[0][0]);
}

HRESULT DeviceGL::draw(D3DPRIMITIVETYPE type, UINT primitiveCount, bool indexed, UINT first)
{
    const char* call = indexed ? "DrawIndexedPrimitive" : "DrawPrimitive";
    const GLenum mode = primitiveMode(type);
    const UINT count = vertexCount(type, primitiveCount);
    if (!inScene_)
        return refuse(call, "outside BeginScene and EndScene");
    if (mode == kNoMode)
        return refuse(call, formatText("primitive type %d is none", static_cast<int>(type)));
    if (!stream_ || streamStride_ == 0)
        return refuse(call, "no vertex buffer set (SetStreamSource)");
    if (indexed && !indices_)
        return refuse(call, "no index buffer set (SetIndices)");
    if (count == 0)
        return D3D_OK;
    const UINT indexSize = indexed && indices_->format() == D3DFMT_INDEX32 ? 4 : 2;
    const std::size_t needed = indexed ? static_cast<std::size_t>(first + count) * indexSize
                                       : static_cast<std::size_t>(first + count) * streamStride_;
    if (needed > (indexed ? indices_->length() : stream_->length()))
        return refuse(call, formatText("%u vertices from %u run past the end of the %s buffer", count, first,
                                       indexed ? "index" : "vertex"));
    if (lost_)
        return D3D_OK;

    makeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    if (statesDirty_)
        applyStates();
    if (samplersDirty_)
        applySamplers();
    const FfpKey key = shaderKey();
    VertexShaderGL* shader = nullptr;
    if (key.vertexShader) {
        const auto found = vertexShaders_.find(key.vertexShader);
        if (found == vertexShaders_.end())
            return refuse(call, formatText("vertex shader %u does not exist", static_cast<unsigned>(key.vertexShader)));
        shader = &found->second;
    }
    std::string error;
    const FfpProgram& program = shaders_.program(
        key,
        [&] {
            std::string& glsl = shader->glsl[key.flatShading];
            if (glsl.empty())
                glsl = vs11ToGlsl(shader->program, shader->declaration, key.flatShading != 0, error);
            return glsl;
        },
        error);
    // The cache said why when the program failed; the draw only refuses.
    if (!program.program)
        return D3DERR_DRIVERINTERNALERROR;
    glUseProgram(program.program);
    setUniforms(program, key);
    for (int i = 0; i < key.stageCount; ++i) {
        if (!textures_[i])
            continue;
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(i));
        textures_[i]->bind();
        glBindSampler(static_cast<GLuint>(i), samplers_[i]);
    }
    glActiveTexture(GL_TEXTURE0);

    glBindVertexArray(vertexArray_);
    stream_->bind(GL_ARRAY_BUFFER);
    if (shader)
        bindDeclaredInputs(shader->declaration, streamStride_);
    else
        bindVertexInputs(vertexShader_, streamStride_);
    if (indexed) {
        indices_->bind(GL_ELEMENT_ARRAY_BUFFER);
        glDrawElementsBaseVertex(mode, static_cast<GLsizei>(count),
                                 indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                 reinterpret_cast<const void*>(static_cast<std::size_t>(first) * indexSize),
                                 static_cast<GLint>(baseVertexIndex_));
    } else {
        glDrawArrays(mode, static_cast<GLint>(first), static_cast<GLsizei>(count));
    }
    ++d3dStatistics().drawCalls;
    d3dStatistics().primitives += primitiveCount;
    return D3D_OK;
}

}  // namespace mirva
