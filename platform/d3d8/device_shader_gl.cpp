// The device's vertex shaders: creation from a declaration and a vs.1.1 token stream,
// selection, constants, and the GLSL each one becomes.
#include <cstring>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/failure_report.h"
#include "platform/d3d8/vs11_to_glsl.h"

namespace mirva {

namespace {

// The longest token stream read from a caller's pointer: Direct3D's calls carry no
// length, so the stream must end (its end token) before this many tokens.
constexpr std::size_t kMaxShaderTokens = 1 << 20;

}  // namespace

HRESULT DeviceGL::CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD)
{
    if (!declaration || !function || !handle)
        return D3DERR_INVALIDCALL;
    VertexShaderGL shader;
    std::string error;
    if (!vs11::parseDeclaration(declaration, kMaxShaderTokens, shader.declaration, error) ||
        !vs11::parseFunction(function, kMaxShaderTokens, shader.program, error))
        return refuse("CreateVertexShader", error);
    shader.glsl[0] = vs11ToGlsl(shader.program, shader.declaration, false, error);
    if (shader.glsl[0].empty())
        return refuse("CreateVertexShader", error);
    *handle = nextVertexShader_++ << 1 | 1;
    vertexShaders_.emplace(*handle, std::move(shader));
    return D3D_OK;
}

HRESULT DeviceGL::DeleteVertexShader(DWORD handle)
{
    const auto found = vertexShaders_.find(handle);
    if (found == vertexShaders_.end())
        return D3DERR_INVALIDCALL;
    if (context_) {
        makeCurrent();
        shaders_.forgetVertexShader(handle);
    }
    vertexShaders_.erase(found);
    if (vertexShader_ == handle)
        vertexShader_ = 0;
    return D3D_OK;
}

HRESULT DeviceGL::SetVertexShader(DWORD handle)
{
    // Flexible vertex format codes never have bit 0 set; odd values are shader handles.
    if (handle & 1) {
        const VertexShaderGL* shader = nullptr;
        if (const auto found = vertexShaders_.find(handle); found != vertexShaders_.end())
            shader = &found->second;
        if (!shader)
            return D3DERR_INVALIDCALL;
        for (const vs11::Declaration::Constant& constant : shader->declaration.constants)
            std::memcpy(shaderConstants_[constant.reg], constant.value, sizeof constant.value);
        for (const vs11::Instruction& instruction : shader->program.instructions)
            if (instruction.info->opcode == vs11::DEF)
                std::memcpy(shaderConstants_[instruction.dest.number], instruction.values, sizeof instruction.values);
    }
    vertexShader_ = handle;
    return D3D_OK;
}

HRESULT DeviceGL::GetVertexShader(DWORD* handle)
{
    if (!handle)
        return D3DERR_INVALIDCALL;
    *handle = vertexShader_;
    return D3D_OK;
}

HRESULT DeviceGL::SetVertexShaderConstant(DWORD reg, const void* data, DWORD count)
{
    if (!data || reg >= kShaderConstants || count > kShaderConstants - reg)
        return D3DERR_INVALIDCALL;
    std::memcpy(shaderConstants_[reg], data, count * sizeof shaderConstants_[0]);
    return D3D_OK;
}

HRESULT DeviceGL::GetVertexShaderConstant(DWORD reg, void* data, DWORD count)
{
    if (!data || reg >= kShaderConstants || count > kShaderConstants - reg)
        return D3DERR_INVALIDCALL;
    std::memcpy(data, shaderConstants_[reg], count * sizeof shaderConstants_[0]);
    return D3D_OK;
}

const DeviceGL::VertexShaderGL* DeviceGL::currentVertexShader() const
{
    if (!(vertexShader_ & 1))
        return nullptr;
    const auto found = vertexShaders_.find(vertexShader_);
    return found == vertexShaders_.end() ? nullptr : &found->second;
}

}  // namespace mirva
