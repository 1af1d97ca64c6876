// The device's draws: vertex and index streams, vertex inputs from the flexible vertex
// format, uniforms of the generated program, and the draw calls.
#include <algorithm>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/resource_gl.h"

namespace mirva {

namespace {

// Attribute locations of the generated programs.
constexpr GLuint kPosition = 0, kNormal = 1, kDiffuse = 2, kSpecular = 3, kPointSize = 4, kTexCoord0 = 5;

GLenum primitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_NONE;
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
}

void DeviceGL::setUniforms(const FfpProgram& program)
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
    const D3DCOLOR factor = rs[D3DRS_TEXTUREFACTOR];
    glUniform4f(program.textureFactor, static_cast<float>(factor >> 16 & 0xFF) / 255.0f,
                static_cast<float>(factor >> 8 & 0xFF) / 255.0f, static_cast<float>(factor & 0xFF) / 255.0f,
                static_cast<float>(factor >> 24) / 255.0f);
    glUniform1f(program.alphaReference, static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF));
}

HRESULT DeviceGL::draw(D3DPRIMITIVETYPE type, UINT primitiveCount, bool indexed, UINT first)
{
    const GLenum mode = primitiveMode(type);
    const UINT count = vertexCount(type, primitiveCount);
    if (!inScene_ || mode == GL_NONE || !stream_ || streamStride_ == 0 || (indexed && !indices_))
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return D3D_OK;
    const UINT indexSize = indexed && indices_->format() == D3DFMT_INDEX32 ? 4 : 2;
    const std::size_t needed = indexed ? static_cast<std::size_t>(first + count) * indexSize
                                       : static_cast<std::size_t>(first + count) * streamStride_;
    if (needed > (indexed ? indices_->length() : stream_->length()))
        return D3DERR_INVALIDCALL;
    if (lost_)
        return D3D_OK;

    makeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    if (statesDirty_)
        applyStates();
    if (samplersDirty_)
        applySamplers();
    const FfpKey key = shaderKey();
    std::string error;
    const FfpProgram& program = shaders_.program(key, error);
    if (!program.program)
        return D3DERR_DRIVERINTERNALERROR;
    glUseProgram(program.program);
    setUniforms(program);
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
    return D3D_OK;
}

}  // namespace mirva
