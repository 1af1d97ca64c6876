#pragma once
// Material: the complete description of how geometry is shaded. `apply` sets every
// render and texture-stage state that shading depends on, so a draw never depends on
// what the draw before it left behind. The exceptions, kept on purpose: the alpha
// function (only type 64 sets it, to less-or-equal), the stage-1 texture, and, with a
// vertex shader, the fog and lighting states.
//
// Fields are public: the Material component copies script values into them every frame.
// Colours are 0xAARRGGBB values (in memory blue, green, red, alpha).
//
// Order of use: construct (type, blend) -> set fields, setTexture, loadVertexShader ->
// apply before each draw (Primitive::draw does it).
#include <optional>
#include <string>

#include "platform/d3d8/d3d8.h"

namespace mirva {

class Material {
public:
    // Type codes: how the texture stages combine colours.
    enum Type {
        DIFFUSE = 0,
        SPECULAR = 1,
        DIFFUSEANDSPECULAR = 2,
        TEXTURE = 4,
        TEXTUREANDDIFFUSE = 8,
        TEXTUREANDDIFFUSEMODULATEALPHA = 16,
        TEXTUREANDDIFFUSEANDSPECULAR = 32,
        INVERSETEXTUREALPHA = 64,  // colour from diffuse, alpha (1 - texture alpha) + diffuse alpha
        FACTOR = 128,
        TEXTUREANDFACTOR = 256,
        TEXTUREALPHA = 512,  // texture alpha as grey
        TEXTUREDETAIL = 1024,  // stage 1: texture x current + texture alpha
    };
    enum Blend { COPY = 0, ADD = 1, MUL = 2, BLEND = 4, ZEROONE = 8, ZEROZERO = 16, ONEZERO = 32, BLENDADD = 64 };
    enum Filter { POINTSAMPLING = 0, POINTSAMPLING_MIP = 1, BILINEAR = 2, BILINEAR_MIP = 4, TRILINEAR = 8 };
    enum TextureAddress { WRAP = 0, CLAMP = 1 };
    enum Fill { GOURAUD = 0, FLAT = 1, WIREFRAME = 2 };
    enum Culling { NOCULLING = 0, CLOCKWISE_VISIBLE = 1, ANTICLOCKWISE_VISIBLE = 2 };

    Material(int type, int blend);
    // Deletes the vertex shader, if any (and if the device still exists).
    ~Material();
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    // Loads the texture through the texture table (one more reference on the name) and
    // makes the material validate again at its next apply.
    void setTexture(const std::string& name, int format, bool mipmaps);
    // The same with an empty texture made by the table.
    void createTexture(const std::string& name, int width, int height, int format, bool mipmaps);
    // Reads a compiled vs.1.1 shader (.vso) whose inputs are the engine's vertex layout.
    void loadVertexShader(const std::string& fileName);
    void deleteVertexShader();

    // Sends the material's states to the device. The device checks that it can draw them
    // (ValidateDevice, fatal when not) at the first apply and again whenever a setting
    // that decides the texture stages has changed since; the settings are plain fields,
    // so nobody needs to say that they changed.
    void apply();

    // The Direct3D texture of the material's texture name now (a render target's
    // texture changes when the device is reset), or null without a texture.
    IDirect3DTexture8* texture() const;

    int type;
    int blend;
    int filter = BILINEAR_MIP;
    int textureAddress = WRAP;
    int fill = GOURAUD;
    int culling = ANTICLOCKWISE_VISIBLE;
    float depthOffset = 0.0f;  // moves the depth of the geometry (Camera::projection)
    DWORD vertexShader = 0;  // handle; 0: none
    D3DCOLOR factor = 0;
    bool alphaTest = false;
    BYTE alphaReference = 128;
    bool fogging = false;
    D3DCOLOR fogColor = 0x80808080;
    float fogStart = 50.0f;
    float fogEnd = 100.0f;
    bool lighting = false;
    D3DCOLOR ambient = 0xFFFFFFFF;
    D3DCOLOR diffuse = 0xFFFFFFFF;
    D3DCOLOR specular = 0xFFFFFFFF;
    D3DCOLOR emissive = 0x00000000;
    float specularExponent = 8.0f;
    std::string textureName;  // empty: no texture

private:
    // What the last validation was made for.
    struct Validated {
        int type, blend, filter, textureAddress, fill, culling;
        bool alphaTest, fogging, lighting;
        DWORD vertexShader;
        const IDirect3DTexture8* texture;
        bool operator==(const Validated&) const = default;
    };

    void applyStages(IDirect3DDevice8* device, IDirect3DTexture8* map);

    std::optional<Validated> validated_;
};

// The vertex declaration of the engine's one vertex layout (40 bytes: position, normal,
// diffuse, specular, texture coordinates in v0..v4), for vertex shaders.
extern const DWORD kVertexShaderDeclaration[];

}  // namespace mirva
