#include "components/painterly.h"

#include "components/placement.h"
#include "engine/camera.h"
#include "engine/material.h"
#include "engine/texture.h"

namespace mirva {

PainterlyComponentType::PainterlyComponentType()
    : ComponentTypeFor("Painterly", "Painterly shows a painted lw-object")
{
    declareConstructionParameter(PainterlyVariable::Object, ValueType::String, "Object");
    declareConstructionParameter(PainterlyVariable::BrushMap, ValueType::String, "BrushMap");
    declareConstructionParameter(PainterlyVariable::EnvMap, ValueType::String, "EnvMap");
    declareParameter(PainterlyVariable::Motion, ValueType::Transformation, "Motion");
}

// What one object file makes, shared: the strokes and the quads that draw them.
struct PainterlyObject {
    std::vector<BrushStroke> strokes;
    std::vector<std::unique_ptr<Primitive>> batches;
};

namespace {

CacheTemplate<PainterlyObject>& cache()
{
    static CacheTemplate<PainterlyObject> objects([](const std::string& fileName) {
        PainterlyObject built;
        built.strokes = brushStrokesOf(fileName);
        built.batches = makeStrokeBatches(static_cast<int>(built.strokes.size()));
        return built;
    });
    return objects;
}

}  // namespace

PainterlyComponent::PainterlyComponent(const ComponentType& type) : Component(type), held_(cache())
{
    resetMotion();
}

PainterlyComponent::~PainterlyComponent()
{
    destruct();
}

int PainterlyComponent::sharing(const std::string& fileName)
{
    return cache().count(fileName);
}

void PainterlyComponent::resetMotion()
{
    motion_.type = ValueType::Transformation;
    motion_.clearChannels();
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
}

void PainterlyComponent::construct()
{
    resetBase();
    destruct();
    // The brush and the environment belong to the instance: two instances may paint one
    // object file with different ones.
    brush_ = std::make_unique<Material>(Material::TEXTUREANDDIFFUSE, Material::BLEND);
    brush_->filter = Material::BILINEAR;
    brush_->textureAddress = Material::CLAMP;
    brush_->culling = Material::NOCULLING;
    brush_->setTexture(brushName_, 0, false);
    environment_.load(environmentName_);
    object_ = &held_.acquire(fileName_);
    resetMotion();
}

void PainterlyComponent::destruct()
{
    object_ = nullptr;
    held_.release();
    if (brush_ && Texture::exists(brush_->textureName))
        Texture::release(brush_->textureName);
    brush_.reset();
    environment_.release();
}

void PainterlyComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case PainterlyVariable::Object: fileName_ = record.readString(); break;
    case PainterlyVariable::BrushMap: brushName_ = record.readString(); break;
    case PainterlyVariable::EnvMap: environmentName_ = record.readString(); break;
    case PainterlyVariable::Motion: motion_.assign(record); break;
    default: break;
    }
}

void PainterlyComponent::update(Camera& camera, float seconds)
{
    if (!object_)
        return;
    if (!scene())
        motion_.advance(seconds);
    forEachPlacement(*this, fileName_, motion_, [&](const Transformation& world) { drawAt(camera, world); });
}

void PainterlyComponent::drawAt(Camera& camera, const Transformation& world)
{
    const StrokeView view(world, camera.placement, camera.view);
    strokesDrawn_ = painter_.sort(object_->strokes, view);
    batchesDrawn_ = 0;
    for (; batchesDrawn_ * kStrokesPerBatch < strokesDrawn_; ++batchesDrawn_) {
        Primitive& quads = *object_->batches[static_cast<std::size_t>(batchesDrawn_)];
        const int strokes = painter_.fillBatch(batchesDrawn_, object_->strokes, view, environment_, quads.vertices());
        quads.setVertexCount(4 * strokes);
        quads.setIndexCount(6 * strokes);
        quads.setMaterial(brush_.get());
        quads.transformation = Transformation::identity();
        quads.draw(camera);
    }
}

}  // namespace mirva
