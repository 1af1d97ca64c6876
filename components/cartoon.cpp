#include "components/cartoon.h"

#include "components/cache_template.h"
#include "components/material_component.h"
#include "components/placement.h"
#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "engine/texture.h"
#include "lightwave/lw_object.h"
#include "mesh/mesh_builder.h"
#include "mesh/topology.h"

namespace mirva {

CartoonComponentType::CartoonComponentType()
    : ComponentTypeFor("Cartoon", "Cartoon shows a cartoon shaded lw-object which can use material specified in the script")
{
    declareConstructionParameter(CartoonVariable::Object, ValueType::String, "Object");
    declareParameter(CartoonVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(CartoonVariable::Material, ValueType::Pointer, "Material", "Material");
    declareParameter(CartoonVariable::LightPosition, ValueType::Vector3, "LightPosition");
}

// The object is kept: its edges and face normals find the silhouette every frame.
struct CartoonMeshes {
    std::unique_ptr<LWObject> object;
    std::unique_ptr<Primitive> shaded;
    std::unique_ptr<Primitive> lines;
};

namespace {

constexpr const char* kShadeRamp = "maps/64shade.tga";
constexpr const char* kShader = "shaders/cartoon.vso";

CacheTemplate<CartoonMeshes>& cache()
{
    static CacheTemplate<CartoonMeshes> meshes([](const std::string& fileName) {
        auto object = std::make_unique<LWObject>(LWObject::Load(fileName));
        CalculateAdjacency(*object);
        CartoonMeshes built;
        built.lines = createEdgeLineMesh(*object);
        built.shaded = createDuplicateVerticesMesh(*object);
        built.object = std::move(object);
        return built;
    });
    return meshes;
}

}  // namespace

CartoonComponent::CartoonComponent(const ComponentType& type) : Component(type), held_(cache())
{
    resetOwnVariables();
}

CartoonComponent::~CartoonComponent()
{
    destruct();
}

int CartoonComponent::sharing(const std::string& fileName)
{
    return cache().count(fileName);
}

void CartoonComponent::resetOwnVariables()
{
    motion_.type = ValueType::Transformation;
    motion_.clearChannels();
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
    lightPosition_.type = ValueType::Vector3;
    lightPosition_.clearChannels();
    lightPosition_.setVector({0.0f, 0.0f, 0.0f});
}

void CartoonComponent::construct()
{
    resetBase();
    destruct();
    outline_ = std::make_unique<Material>(Material::FACTOR, Material::COPY);
    outline_->filter = Material::BILINEAR;
    outline_->culling = Material::NOCULLING;
    outline_->depthOffset = 0.1f;
    shade_ = std::make_unique<Material>(Material::TEXTUREANDDIFFUSE, Material::COPY);
    shade_->filter = Material::POINTSAMPLING;
    shade_->textureAddress = Material::CLAMP;
    shade_->culling = Material::ANTICLOCKWISE_VISIBLE;
    shade_->setTexture(kShadeRamp, 0, false);
    shade_->loadVertexShader(kShader);
    meshes_ = &held_.acquire(fileName_);
    resetOwnVariables();
}

void CartoonComponent::destruct()
{
    meshes_ = nullptr;
    held_.release();
    if (shade_ && Texture::exists(kShadeRamp))
        Texture::release(kShadeRamp);
    shade_.reset();
    outline_.reset();
}

void CartoonComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case CartoonVariable::Object: fileName_ = record.readString(); break;
    case CartoonVariable::Motion: motion_.assign(record); break;
    case CartoonVariable::LightPosition: lightPosition_.assign(record); break;
    case CartoonVariable::Material: pointed_ = static_cast<MaterialComponent*>(record.readPointer()); break;
    default: break;
    }
}

void CartoonComponent::update(Camera& camera, float seconds)
{
    if (!meshes_)
        return;
    meshes_->shaded->setMaterial(pointed_ ? &pointed_->material() : shade_.get());
    meshes_->lines->setMaterial(outline_.get());
    motion_.advance(seconds);
    lightPosition_.advance(seconds);
    forEachPlacement(*this, fileName_, motion_, [&](const Transformation& world) { drawAt(camera, world); });
}

void CartoonComponent::drawAt(Camera& camera, const Transformation& world)
{
    const Transformation toObject = inverse(world);
    const auto& eye = camera.placement.m[3];
    outlineEdges_ = fillSilhouetteEdges(*meshes_->object, transformPoint(toObject, {eye[0], eye[1], eye[2]}),
                                        *meshes_->lines);

    const auto [x, y, z] = lightPosition_.readVector3();
    const Vector3 light = transformPoint(toObject, {x, y, z});
    const float constant[4] = {light.x, light.y, light.z, 1.0f};
    if (HRESULT hr = dxDriver().drawingDevice()->SetVertexShaderConstant(4, constant, 1); FAILED(hr))
        DXDriver::directXError("Cartoon: Device->SetVertexShaderConstant - ", hr);

    meshes_->shaded->transformation = world;
    meshes_->shaded->draw(camera);
    meshes_->lines->transformation = world;
    meshes_->lines->draw(camera);
}

}  // namespace mirva
