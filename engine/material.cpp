#include "engine/material.h"

#include <cstring>
#include <vector>

#include "engine/dx_driver.h"
#include "engine/texture.h"
#include "io/console.h"
#include "io/phile.h"
#include "platform/d3d8/vs11.h"

namespace mirva {

const DWORD kVertexShaderDeclaration[] = {
    D3DVSD_STREAM(0),
    D3DVSD_REG(0, D3DVSDT_FLOAT3),    // position
    D3DVSD_REG(1, D3DVSDT_FLOAT3),    // normal
    D3DVSD_REG(2, D3DVSDT_D3DCOLOR),  // diffuse
    D3DVSD_REG(3, D3DVSDT_D3DCOLOR),  // specular
    D3DVSD_REG(4, D3DVSDT_FLOAT2),    // texture coordinates
    D3DVSD_END(),
};

namespace {

struct StageSetup {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

void setStage(IDirect3DDevice8* device, DWORD stage, const StageSetup& s)
{
    device->SetTextureStageState(stage, D3DTSS_COLOROP, s.colorOp);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, s.colorArg1);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, s.colorArg2);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, s.alphaOp);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, s.alphaArg1);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, s.alphaArg2);
}

}  // namespace

Material::Material(int typeCode, int blendCode) : type(typeCode), blend(blendCode) {}

Material::~Material()
{
    // Without a device the shader went with it.
    if (vertexShader && dxDriver().device())
        deleteVertexShader();
}

void Material::setTexture(const std::string& name, int format, bool mipmaps)
{
    Texture::load(name, format, mipmaps);
    textureName = name;
}

void Material::createTexture(const std::string& name, int width, int height, int format, bool mipmaps)
{
    Texture::create(name, width, height, format, mipmaps);
    textureName = name;
}

IDirect3DTexture8* Material::texture() const
{
    return textureName.empty() ? nullptr : Texture::getD3DSurface(textureName).texture();
}

void Material::loadVertexShader(const std::string& fileName)
{
    deleteVertexShader();
    const PhileBlock bytes = Phile::load(fileName);
    std::vector<DWORD> tokens(bytes.size() / 4);
    std::memcpy(tokens.data(), bytes.data(), tokens.size() * 4);
    // The device reads the stream up to its end token: make sure it ends inside the file.
    vs11::Program program;
    std::string problem;
    if (bytes.size() % 4 != 0) {
        Console::print("Material: vertex shader '%s' is not a whole number of tokens\n", fileName.c_str());
        DXDriver::directXError("Material: Device->CreateVertexShader - ", D3DERR_INVALIDCALL);
    }
    if (!vs11::parseFunction(tokens.data(), tokens.size(), program, problem)) {
        Console::print("Material: vertex shader '%s': %s\n", fileName.c_str(), problem.c_str());
        DXDriver::directXError("Material: Device->CreateVertexShader - ", D3DERR_INVALIDCALL);
    }
    DWORD handle = 0;
    const HRESULT hr = dxDriver().drawingDevice()->CreateVertexShader(kVertexShaderDeclaration, tokens.data(), &handle,
                                                                       D3DUSAGE_SOFTWAREPROCESSING);
    if (FAILED(hr))
        DXDriver::directXError("Material: Device->CreateVertexShader - ", hr);
    vertexShader = handle;
}

void Material::deleteVertexShader()
{
    if (!vertexShader)
        return;
    if (HRESULT hr = dxDriver().drawingDevice()->DeleteVertexShader(vertexShader); FAILED(hr))
        DXDriver::directXError("Material: Device->DeleteVertexShader - ", hr);
    vertexShader = 0;
}

void Material::applyStages(IDirect3DDevice8* device, IDirect3DTexture8* map)
{
    constexpr DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, S = D3DTA_SPECULAR, F = D3DTA_TFACTOR;
    const StageSetup selectDiffuse{D3DTOP_SELECTARG2, T, D, D3DTOP_SELECTARG2, T, D};
    const StageSetup selectTexture{D3DTOP_SELECTARG1, T, D, D3DTOP_SELECTARG1, T, D};
    const StageSetup modulateColor{D3DTOP_MODULATE, T, D, D3DTOP_SELECTARG1, T, D};
    const StageSetup modulateBoth{D3DTOP_MODULATE, T, D, D3DTOP_MODULATE, T, D};
    bool textured = true;
    bool specularOn = false;
    switch (type) {
    case DIFFUSE: setStage(device, 0, selectDiffuse); textured = false; break;
    case SPECULAR: setStage(device, 0, {D3DTOP_SELECTARG2, T, S, D3DTOP_SELECTARG2, T, S}); textured = false; break;
    case DIFFUSEANDSPECULAR:
        setStage(device, 0, selectDiffuse);
        textured = false;
        specularOn = true;
        break;
    case TEXTURE: setStage(device, 0, selectTexture); break;
    case TEXTUREANDDIFFUSE: setStage(device, 0, modulateColor); break;
    case TEXTUREANDDIFFUSEMODULATEALPHA: setStage(device, 0, modulateBoth); break;
    case TEXTUREANDDIFFUSEANDSPECULAR:
        setStage(device, 0, modulateColor);
        specularOn = true;
        break;
    case INVERSETEXTUREALPHA:
        setStage(device, 0, {D3DTOP_SELECTARG2, T, D, D3DTOP_ADD, T | D3DTA_COMPLEMENT, D});
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESSEQUAL);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);  // both replaced by the alpha test below
        device->SetRenderState(D3DRS_ALPHAREF, 239);
        break;
    case FACTOR: setStage(device, 0, {D3DTOP_SELECTARG1, F, D, D3DTOP_SELECTARG1, F, D}); textured = false; break;
    case TEXTUREANDFACTOR: setStage(device, 0, {D3DTOP_MODULATE, T, F, D3DTOP_MODULATE, T, F}); break;
    case TEXTUREALPHA:
        setStage(device, 0, {D3DTOP_SELECTARG1, T | D3DTA_ALPHAREPLICATE, D, D3DTOP_SELECTARG1, T, D});
        break;
    case TEXTUREDETAIL:
        setStage(device, 0, selectTexture);
        setStage(device, 1, {D3DTOP_MODULATECOLOR_ADDALPHA, T, D3DTA_CURRENT, D3DTOP_SELECTARG1, T, D3DTA_CURRENT});
        device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        device->SetTextureStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        device->SetTextureStageState(1, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(1, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(1, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        device->SetTextureStageState(1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        device->SetTextureStageState(1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
        device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->SetTexture(0, map);
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        return;
    default: return;  // other codes leave the stages as they are
    }
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTexture(0, textured ? map : nullptr);
    if (textured)
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetRenderState(D3DRS_SPECULARENABLE, specularOn ? TRUE : FALSE);
}

void Material::apply()
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    // The texture is looked up by name once a draw.
    IDirect3DTexture8* const map = texture();
    // 1. Texture stages.
    applyStages(device, map);
    // 2. Texture factor and the coordinates of stage 0.
    device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    // 3. Filters: magnification, minification, mip.
    const auto filters = [&](DWORD mag, DWORD min, DWORD mip) {
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, mag);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, min);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, mip);
    };
    switch (filter) {
    case POINTSAMPLING: filters(D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE); break;
    case POINTSAMPLING_MIP: filters(D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT); break;
    case BILINEAR: filters(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE); break;
    case BILINEAR_MIP: filters(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_POINT); break;
    case TRILINEAR: filters(D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR); break;
    default: break;
    }
    // 4. Texture addressing.
    if (textureAddress == WRAP || textureAddress == CLAMP) {
        const DWORD mode = textureAddress == WRAP ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
        device->SetTextureStageState(0, D3DTSS_ADDRESSU, mode);
        device->SetTextureStageState(0, D3DTSS_ADDRESSV, mode);
        device->SetTextureStageState(0, D3DTSS_ADDRESSW, mode);
    }
    // 5. Blending.
    const auto blending = [&](DWORD source, DWORD dest) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, source);
        device->SetRenderState(D3DRS_DESTBLEND, dest);
    };
    switch (blend) {
    case COPY: device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE); break;
    case ADD: blending(D3DBLEND_ONE, D3DBLEND_ONE); break;
    case MUL: blending(D3DBLEND_DESTCOLOR, D3DBLEND_ZERO); break;
    case BLEND: blending(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA); break;
    case ZEROONE: blending(D3DBLEND_ZERO, D3DBLEND_ONE); break;
    case ZEROZERO: blending(D3DBLEND_ZERO, D3DBLEND_ZERO); break;
    case ONEZERO: blending(D3DBLEND_ONE, D3DBLEND_ZERO); break;
    case BLENDADD: blending(D3DBLEND_SRCALPHA, D3DBLEND_ONE); break;
    default: break;
    }
    // 6. Alpha test (the function stays as it is).
    device->SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest ? TRUE : FALSE);
    if (alphaTest)
        device->SetRenderState(D3DRS_ALPHAREF, alphaReference);
    // 7. Fill and shading.
    switch (fill) {
    case GOURAUD:
        device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        break;
    case FLAT:
        device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        break;
    case WIREFRAME:
        device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        break;
    default: break;
    }
    // 8. Culling.
    switch (culling) {
    case NOCULLING: device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE); break;
    case CLOCKWISE_VISIBLE: device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW); break;
    case ANTICLOCKWISE_VISIBLE: device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW); break;
    default: break;
    }
    // 9. Fog and lighting, for fixed-function vertex processing only.
    if (!vertexShader) {
        if (fogging) {
            device->SetRenderState(D3DRS_FOGENABLE, TRUE);
            device->SetRenderState(D3DRS_FOGCOLOR, fogColor & 0x00FFFFFF);
            device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
            device->SetRenderState(D3DRS_FOGSTART, floatBits(fogStart));
            device->SetRenderState(D3DRS_FOGEND, floatBits(fogEnd));
        } else {
            device->SetRenderState(D3DRS_FOGENABLE, FALSE);
        }
        if (lighting) {
            device->SetRenderState(D3DRS_LIGHTING, TRUE);
            device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
            D3DMATERIAL8 material;
            material.Diffuse = colorValue(diffuse);
            material.Ambient = colorValue(ambient);
            material.Specular = colorValue(specular);
            material.Emissive = colorValue(emissive);
            material.Power = specularExponent;
            if (HRESULT hr = device->SetMaterial(&material); FAILED(hr))
                DXDriver::directXError("Material: SetMaterial ", hr);
        } else {
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
        }
    }
    // 10. Validation, when what it depends on is new.
    const Validated now{type,      blend,    filter,   textureAddress, fill, culling,
                        alphaTest, fogging,  lighting, vertexShader,   map};
    if (validated_ != now) {
        DWORD passes = 0;
        if (HRESULT hr = device->ValidateDevice(&passes); FAILED(hr))
            DXDriver::directXError("Material: device->ValidateDevice ", hr);
        validated_ = now;
    }
}

}  // namespace mirva
