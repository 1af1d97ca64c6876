#include "components/flower_zoomer.h"

#include <cmath>

#include "engine/camera.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "engine/texture.h"
#include "io/console.h"
#include "io/random.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;

std::unique_ptr<Material> flowerMaterial(const std::string& map)
{
    auto material = std::make_unique<Material>(Material::TEXTUREANDDIFFUSE, Material::BLEND);
    material->filter = Material::TRILINEAR;
    material->textureAddress = Material::CLAMP;
    material->lighting = true;
    material->culling = Material::NOCULLING;
    material->fogging = true;
    material->fogStart = 15.0f;
    material->fogEnd = 20.0f;
    material->setTexture(map, 2, true);
    return material;
}

void releaseTexture(const std::unique_ptr<Material>& material)
{
    if (material && Texture::exists(material->textureName))
        Texture::release(material->textureName);
}

// The corners of a textured square from four positions, in fan order.
void setQuad(std::span<Primitive::Vertex> corners, const std::array<std::array<float, 2>, 4>& positions)
{
    const float u[4] = {0, 1, 1, 0}, v[4] = {0, 0, 1, 1};
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] = {.x = positions[i][0], .y = positions[i][1], .nz = -1, .diffuse = 0xFFFFFFFF,
                      .u = u[i], .v = v[i]};
}

}  // namespace

FlowerZoomerComponentType::FlowerZoomerComponentType()
    : ComponentTypeFor("FlowerZoomer", "FlowerZoomer shows an endless flight through a field of rotating flowers")
{
    declareConstructionParameter(FlowerZoomerVariable::MiddleMap, ValueType::String, "MiddleMap");
    declareConstructionParameter(FlowerZoomerVariable::PetalMap, ValueType::String, "PetalMap");
    declareConstructionParameter(FlowerZoomerVariable::Petals, ValueType::Int, "Petals");
    declareConstructionParameter(FlowerZoomerVariable::PetalWidth, ValueType::Float, "PetalWidth");
    declareConstructionParameter(FlowerZoomerVariable::PetalInnerRadius, ValueType::Float, "PetalInnerRadius");
    declareConstructionParameter(FlowerZoomerVariable::PetalOuterRadius, ValueType::Float, "PetalOuterRadius");
    declareParameter(FlowerZoomerVariable::BackGroundColor, ValueType::Color, "BackGroundColor");
    declareParameter(FlowerZoomerVariable::MiddleColor, ValueType::Color, "MiddleColor");
    declareParameter(FlowerZoomerVariable::PetalColor, ValueType::Color, "PetalColor");
    declareParameter(FlowerZoomerVariable::RotationSpeed, ValueType::Float, "RotationSpeed");
    declareParameter(FlowerZoomerVariable::ZoomSpeed, ValueType::Float, "ZoomSpeed");
}

FlowerZoomerComponent::FlowerZoomerComponent(const ComponentType& type) : Component(type)
{
    // Placed once, when the instance is made: a restart keeps where the flowers are.
    for (int i = 0; i < kFlowers; ++i) {
        Flower& flower = flowers_[static_cast<std::size_t>(i)];
        flower.z = kDepth - static_cast<float>(i) * kDepth / kFlowers;
        flower.x = static_cast<float>(randomNext() % 57) * 0.5263158f - 15.0f;
        flower.y = static_cast<float>(randomNext() % 57) * 0.5263158f - 15.0f;
        flower.angle = static_cast<float>(randomNext() % 57) * 0.110231325f;
    }
    for (Variable* color : {&background_, &middleColor_, &petalColor_}) {
        color->type = ValueType::Color;
        color->setColor(0xFF000000);
    }
    rotationSpeed_.type = zoomSpeed_.type = ValueType::Float;
}

FlowerZoomerComponent::~FlowerZoomerComponent()
{
    destruct();
}

void FlowerZoomerComponent::checkValues(const std::vector<Variable>& block, const std::string& where)
{
    for (const Variable& record : block)
        if (record.identifier == FlowerZoomerVariable::Petals &&
            (record.readInt() < 1 || record.readInt() > kMostPetals))
            Console::error("%s: Petals %d is outside 1 to %d", where.c_str(), record.readInt(), kMostPetals);
}

void FlowerZoomerComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case FlowerZoomerVariable::MiddleMap: middleMap_ = record.readString(); break;
    case FlowerZoomerVariable::PetalMap: petalMap_ = record.readString(); break;
    case FlowerZoomerVariable::Petals: petalCount_ = record.readInt(); break;
    case FlowerZoomerVariable::PetalWidth: petalWidth_ = record.readFloat(); break;
    case FlowerZoomerVariable::PetalInnerRadius: innerRadius_ = record.readFloat(); break;
    case FlowerZoomerVariable::PetalOuterRadius: outerRadius_ = record.readFloat(); break;
    case FlowerZoomerVariable::BackGroundColor: background_.assign(record); break;
    case FlowerZoomerVariable::MiddleColor: middleColor_.assign(record); break;
    case FlowerZoomerVariable::PetalColor: petalColor_.assign(record); break;
    case FlowerZoomerVariable::RotationSpeed: rotationSpeed_.assign(record); break;
    case FlowerZoomerVariable::ZoomSpeed: zoomSpeed_.assign(record); break;
    default: break;
    }
}

void FlowerZoomerComponent::resetOwnVariables()
{
    const std::pair<Variable*, std::uint32_t> colors[] = {
        {&background_, 0xFF9F5000}, {&middleColor_, 0xFFFFFE00}, {&petalColor_, 0xFFF2A500}};
    for (const auto& [color, value] : colors) {
        color->clearChannels();
        color->setColor(value);
    }
    rotationSpeed_.clearChannels();
    rotationSpeed_.setFloat(0.4f);
    zoomSpeed_.clearChannels();
    zoomSpeed_.setFloat(-2.5f);
}

void FlowerZoomerComponent::construct()
{
    resetBase();
    destruct();
    buildModel();
    resetOwnVariables();
    setZBufferMode(0);  // OFF
}

void FlowerZoomerComponent::buildModel()
{
    // Petals were checked when the script loaded; a count outside that makes no petals.
    const int count = petalCount_ >= 1 && petalCount_ <= kMostPetals ? petalCount_ : 0;
    middleMaterial_ = flowerMaterial(middleMap_);
    petalMaterial_ = flowerMaterial(petalMap_);

    middle_ = std::make_unique<Primitive>(Primitive::TRIANGLEFAN, 0, 4);
    setQuad(middle_->vertices(), {{{-1, 1}, {1, 1}, {1, -1}, {-1, -1}}});
    middle_->setMaterial(middleMaterial_.get());

    petals_ = std::make_unique<Primitive>(Primitive::TRIANGLELIST, count * 6, count * 4);
    std::span<Primitive::Vertex> vertices = petals_->vertices();
    std::span<WORD> indices = petals_->indices();
    const float w = petalWidth_, ri = innerRadius_, ro = outerRadius_;
    for (int k = 0; k < count; ++k) {
        const float theta = static_cast<float>(k) * 2 * kPi / static_cast<float>(count);
        const float c = std::cos(theta), s = std::sin(theta);
        std::array<std::array<float, 2>, 4> corners = {{{-w, ro}, {w, ro}, {w, ri}, {-w, ri}}};
        for (auto& [x, y] : corners)
            std::tie(x, y) = std::pair(x * c - y * s, x * s + y * c);
        const auto first = static_cast<std::size_t>(4 * k);
        setQuad(vertices.subspan(first, 4), corners);
        const WORD base = static_cast<WORD>(first);
        const WORD order[6] = {0, 1, 2, 0, 2, 3};
        for (std::size_t i = 0; i < 6; ++i)
            indices[static_cast<std::size_t>(6 * k) + i] = static_cast<WORD>(base + order[i]);
    }
    petals_->setMaterial(petalMaterial_.get());
}

void FlowerZoomerComponent::destruct()
{
    petals_.reset();
    middle_.reset();
    releaseTexture(petalMaterial_);
    releaseTexture(middleMaterial_);
    petalMaterial_.reset();
    middleMaterial_.reset();
}

void FlowerZoomerComponent::update(Camera& camera, float seconds)
{
    if (!petals_)
        return;
    for (Variable* record : {&background_, &middleColor_, &petalColor_, &rotationSpeed_, &zoomSpeed_})
        record->advance(seconds);
    petalMaterial_->fogColor = middleMaterial_->fogColor = background_.readColor();
    petalMaterial_->emissive = petalColor_.readColor();
    middleMaterial_->emissive = middleColor_.readColor();
    for (int n = 0; n < kFlowers; ++n) {
        const Flower& flower = flowers_[static_cast<std::size_t>((startIndex_ + n) % kFlowers)];
        Transformation placement;
        const float c = std::cos(flower.angle), s = std::sin(flower.angle);
        placement.m[0][0] = c;
        placement.m[0][1] = s;
        placement.m[1][0] = -s;
        placement.m[1][1] = c;
        placement.m[3][0] = flower.x;
        placement.m[3][1] = flower.y;
        placement.m[3][2] = flower.z;
        petals_->transformation = middle_->transformation = placement;
        petals_->draw(camera);
        middle_->draw(camera);
    }
    move(seconds);
}

void FlowerZoomerComponent::move(float seconds)
{
    const float turn = seconds * rotationSpeed_.readFloat(), travel = seconds * zoomSpeed_.readFloat();
    int wrapped = 0;
    for (Flower& flower : flowers_) {
        flower.angle += turn;
        flower.z += travel;
        // Back into 0..20, also after a frame that flew more than the whole depth: each
        // pass through the far end moves the start one flower on, each pass through the
        // near end one back.
        const float passes = std::floor(flower.z / kDepth);
        if (passes != 0.0f && std::isfinite(passes)) {
            flower.z -= passes * kDepth;
            wrapped += static_cast<int>(std::fmod(passes, static_cast<float>(kFlowers)));
        }
    }
    startIndex_ = ((startIndex_ + wrapped) % kFlowers + kFlowers) % kFlowers;
}

}  // namespace mirva
