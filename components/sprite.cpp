#include "components/sprite.h"

#include "components/placement.h"
#include "components/textured_quad.h"
#include "engine/material.h"

namespace mirva {

SpriteComponentType::SpriteComponentType()
    : ComponentTypeFor("Sprite", "Sprite shows a textured bitmap which moves on lightwave path")
{
    declareConstructionParameter(SpriteVariable::Map, ValueType::String, "Map");
    declareParameter(SpriteVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(SpriteVariable::Size, ValueType::Vector2, "Size");
    declareParameter(SpriteVariable::Blend, ValueType::Enum, "Blend", "Blend");
    declareParameter(SpriteVariable::Filter, ValueType::Enum, "Filter", "Filter");
    declareParameter(SpriteVariable::Diffuse, ValueType::Color, "Diffuse");
    declareParameter(SpriteVariable::Specular, ValueType::Color, "Specular");
    declareParameter(SpriteVariable::Name, ValueType::String, "Name");
}

}  // namespace mirva

namespace mirva {

SpriteComponent::SpriteComponent(const ComponentType& type) : Component(type)
{
    resetOwnVariables();
}

SpriteComponent::~SpriteComponent() = default;

void SpriteComponent::resetOwnVariables()
{
    motion_.type = ValueType::Transformation;
    motion_.clearChannels();
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
    size_.type = ValueType::Vector2;
    size_.clearChannels();
    size_.setVector({1.0f, 1.0f});
    diffuse_.type = ValueType::Color;
    diffuse_.clearChannels();
    diffuse_.setColor(0xFFFFFFFF);
    specular_.type = ValueType::Color;
    specular_.clearChannels();
    specular_.setColor(0xFF000000);
    blend_ = Material::BLEND;
    filter_ = Material::TRILINEAR;
    name_.clear();
}

void SpriteComponent::construct()
{
    resetBase();
    quad_ = std::make_unique<TexturedQuad>(map_, 0);
    Material& material = quad_->material();
    material.type = Material::TEXTUREANDDIFFUSEANDSPECULAR;
    material.textureAddress = Material::CLAMP;
    material.alphaTest = true;
    material.alphaReference = 1;
    resetOwnVariables();
    setZBufferMode(0);  // OFF
}

void SpriteComponent::destruct()
{
    quad_.reset();
}

void SpriteComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case SpriteVariable::Map: map_ = record.readString(); break;
    case SpriteVariable::Motion: motion_.assign(record); break;
    case SpriteVariable::Size: size_.assign(record); break;
    case SpriteVariable::Blend: blend_ = record.readInt(); break;
    case SpriteVariable::Filter: filter_ = record.readInt(); break;
    case SpriteVariable::Diffuse: diffuse_.assign(record); break;
    case SpriteVariable::Specular: specular_.assign(record); break;
    case SpriteVariable::Name: name_ = record.readString(); break;
    default: break;
    }
}

void SpriteComponent::update(Camera& camera, float seconds)
{
    size_.advance(seconds);
    diffuse_.advance(seconds);
    specular_.advance(seconds);
    Material& material = quad_->material();
    material.blend = blend_;
    material.filter = filter_;
    quad_->setDiffuse(diffuse_.readColor());
    quad_->setSpecular(specular_.readColor());
    const auto [halfWidth, halfHeight] = size_.readVector2();
    quad_->setHalfSize(halfWidth, halfHeight);
    if (!scene())
        motion_.advance(seconds);
    forEachPlacement(*this, name_, motion_, [&](const Transformation& world) {
        quad_->setTransformation(world);
        quad_->draw(camera);
    });
}

}  // namespace mirva
