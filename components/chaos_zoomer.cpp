#include "components/chaos_zoomer.h"

#include <cmath>

#include "components/textured_quad.h"
#include "engine/camera.h"
#include "engine/material.h"
#include "engine/render_target.h"
#include "engine/texture.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr std::array<float, 5> kDefaultRates = {2.0e-5f, 0.0062831859f, 0.066f, 0.106f, -1.5707964f};

// Each instance reads its previous frame through an entry of its own.
int instanceSerial = 0;

void releaseIfShowing(const std::string& name, const std::array<std::unique_ptr<RenderTarget>, 2>& targets)
{
    if (!Texture::exists(name))
        return;
    const IDirect3DTexture8* shown = Texture::getD3DSurface(name).texture();
    for (const auto& target : targets)
        if (target && target->texture() == shown) {
            Texture::release(name);
            return;
        }
}

}  // namespace

ChaosZoomerComponentType::ChaosZoomerComponentType()
    : ComponentTypeFor("ChaosZoomer", "ChaosZoomer renders a video feedback zoomer to texture called 'chaoszoomertexture'")
{
    declareParameter(ChaosZoomerVariable::Param1, ValueType::Float, "Param1");
    declareParameter(ChaosZoomerVariable::Param2, ValueType::Float, "Param2");
    declareParameter(ChaosZoomerVariable::Param3, ValueType::Float, "Param3");
    declareParameter(ChaosZoomerVariable::Param4, ValueType::Float, "Param4");
    declareParameter(ChaosZoomerVariable::Param5, ValueType::Float, "Param5");
}

ChaosZoomerComponent::ChaosZoomerComponent(const ComponentType& type)
    : Component(type), sourceName_("chaoszoomer previous frame " + std::to_string(++instanceSerial))
{
    resetRates();
}

ChaosZoomerComponent::~ChaosZoomerComponent()
{
    destruct();
}

void ChaosZoomerComponent::resetRates()
{
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        rates_[i].type = ValueType::Float;
        rates_[i].clearChannels();
        rates_[i].setFloat(kDefaultRates[i]);
    }
}

void ChaosZoomerComponent::variableHook(const Variable& record)
{
    if (record.identifier >= ChaosZoomerVariable::Param1 && record.identifier <= ChaosZoomerVariable::Param5)
        rates_[static_cast<std::size_t>(record.identifier)].assign(record);
}

void ChaosZoomerComponent::construct()
{
    resetBase();
    destruct();   // a construct again without a destruct (a restart) starts afresh
    phases_ = {};
    resetRates();

    camera_ = std::make_unique<Camera>();
    camera_->nearPlane = 0.01f;
    camera_->farPlane = 1000.0f;
    camera_->depthMode = Camera::NO_DEPTH;
    for (auto& target : targets_) {
        target = std::make_unique<RenderTarget>(kSide, kSide, false, false);
        target->begin(*camera_);
        camera_->clear(0xFF000000, true, false, 1.0f);
        target->end(*camera_);
    }
    source_ = 0;
    Texture::registerRenderTarget(kTextureName, *targets_[1]);
    Texture::registerRenderTarget(sourceName_, *targets_[0]);

    feedbackMaterial_ = std::make_unique<Material>(Material::TEXTURE, Material::MUL);
    feedbackMaterial_->filter = Material::BILINEAR;
    feedbackMaterial_->textureAddress = Material::CLAMP;
    feedbackMaterial_->culling = Material::NOCULLING;
    feedbackMaterial_->textureName = sourceName_;
    feedback_ = std::make_unique<TexturedQuad>(*feedbackMaterial_);
    feedback_->setHalfSize(1.2f, 1.2f);

    flare_ = std::make_unique<TexturedQuad>("maps/flare4.tga", 0);
    inner_ = std::make_unique<TexturedQuad>("maps/inner3.tga", 0);
    flare_->setHalfSize(1.2f, 1.2f);
    inner_->setHalfSize(2.0f, 2.0f);
    for (TexturedQuad* quad : {flare_.get(), inner_.get()}) {
        quad->material().blend = Material::ADD;
        quad->material().filter = Material::TRILINEAR;
    }
}

void ChaosZoomerComponent::destruct()
{
    releaseIfShowing(kTextureName, targets_);
    releaseIfShowing(sourceName_, targets_);
    feedback_.reset();
    flare_.reset();
    inner_.reset();
    feedbackMaterial_.reset();
    for (auto& target : targets_)
        target.reset();
    camera_.reset();
}

float ChaosZoomerComponent::zoom() const
{
    return 1.5f + 0.25f * std::sin(phases_[2]) + 0.15f * std::sin(phases_[3]);
}

void ChaosZoomerComponent::update(Camera& camera, float seconds)
{
    if (!camera_)
        return;
    for (std::size_t i = 0; i < phases_.size(); ++i) {
        rates_[i].advance(seconds);
        phases_[i] += seconds * rates_[i].readFloat();
    }
    const float s = zoom();
    std::array<float, 4> u{}, v{};
    for (std::size_t k = 0; k < 4; ++k) {
        const float a = phases_[1] + static_cast<float>(k) * kPi / 2;
        u[k] = (std::cos(a) * s + 1) * 0.5f;
        v[k] = (std::sin(a) * s + 1) * 0.5f;
    }
    feedback_->setTextureCoordinates(u, v);
    inner_->setTextureCoordinates(u, v);

    RenderTarget& target = *targets_[1 - source_];
    camera.endScene();
    target.begin(*camera_);
    drawStep(s);
    target.end(*camera_);
    Texture::showRenderTarget(kTextureName, target);
    source_ = 1 - source_;
    Texture::showRenderTarget(sourceName_, *targets_[source_]);
    camera.beginScene();
}

void ChaosZoomerComponent::drawStep(float s)
{
    // The feedback and inner quads one unit in front of the camera, turned with it.
    const Transformation front = camera_->placement.withTranslationAt(0.0f, 0.0f, 1.0f);
    feedback_->setTransformation(front);
    inner_->setTransformation(front);

    feedbackMaterial_->type = Material::TEXTURE;
    feedbackMaterial_->blend = Material::COPY;
    feedback_->draw(*camera_);
    inner_->draw(*camera_);
    feedbackMaterial_->blend = Material::MUL;
    feedback_->draw(*camera_);

    float b = phases_[4];
    const float depth = 8 * std::sin(phases_[0]) + (10 - 5 * s) + 16;
    for (int flare = 0; flare < 5; ++flare) {
        Transformation at;
        at.m[3][0] = std::cos(b) * s;
        at.m[3][1] = std::sin(b) * s;
        at.m[3][2] = depth;
        flare_->setTransformation(at);
        flare_->draw(*camera_);
        b += 1.2566371f;
    }
}

}  // namespace mirva
