#pragma once
// Sprite: one textured square, moved by its Motion or drawn at every object of a scene
// that has its Name.
//
// Map names the texture: an image file, or the MapName of a RenderTargetBegin constructed
// before it, which shows what that pass captured. The glyphs of the texture are
// multiplied by Diffuse and Specular is added; fully transparent texels are not drawn.
// Size is the half-size of the square; Size, Diffuse, Specular and Motion may be
// envelopes. Drawn without depth test unless the script sets ZBufferMode after the
// construct.
#include <cstdint>
#include <memory>
#include <string>

#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Sprite's own variables.
namespace SpriteVariable {
enum : std::int32_t {
    Motion = 0,
    Map = 1,
    Size = 2,
    Blend = 3,
    Filter = 4,
    Diffuse = 5,
    Specular = 6,
    Name = 7,
};
}

class TexturedQuad;

class SpriteComponent final : public Component {
public:
    explicit SpriteComponent(const ComponentType& type);
    ~SpriteComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    TexturedQuad* quad() const { return quad_.get(); }

private:
    void resetOwnVariables();

    std::string map_;
    std::string name_;
    std::int32_t blend_ = 4;    // BLEND
    std::int32_t filter_ = 8;   // TRILINEAR
    Variable motion_;
    Variable size_;
    Variable diffuse_;
    Variable specular_;
    std::unique_ptr<TexturedQuad> quad_;
};

class SpriteComponentType final : public ComponentTypeFor<SpriteComponent> {
public:
    SpriteComponentType();
};

}  // namespace mirva
