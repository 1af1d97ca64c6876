#include "components/object.h"

#include "components/cache_template.h"
#include "components/material_component.h"
#include "components/placement.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "lightwave/lw_object.h"
#include "mesh/mesh_builder.h"

namespace mirva {

ObjectComponentType::ObjectComponentType()
    : ComponentTypeFor("Object", "Object shows a lw-object which can use material specified in the script")
{
    declareConstructionParameter(ObjectVariable::Object, ValueType::String, "Object");
    declareParameter(ObjectVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(ObjectVariable::Material, ValueType::Pointer, "Material", "Material");
}

// The object itself is needed only to build the mesh.
struct ObjectMesh {
    std::unique_ptr<Primitive> mesh;
};

namespace {

CacheTemplate<ObjectMesh>& meshes()
{
    static CacheTemplate<ObjectMesh> cache([](const std::string& fileName) {
        const LWObject object = LWObject::Load(fileName);
        return ObjectMesh{createMesh(object)};
    });
    return cache;
}

}  // namespace

ObjectComponent::ObjectComponent(const ComponentType& type) : Component(type), held_(meshes())
{
    motion_.type = ValueType::Transformation;
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
}

ObjectComponent::~ObjectComponent()
{
    destruct();
}

int ObjectComponent::sharing(const std::string& fileName)
{
    return meshes().count(fileName);
}

void ObjectComponent::construct()
{
    resetBase();
    destruct();
    material_ = std::make_unique<Material>(Material::DIFFUSE, Material::COPY);
    material_->culling = Material::ANTICLOCKWISE_VISIBLE;
    mesh_ = held_.acquire(fileName_).mesh.get();
    motion_.clearChannels();
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
}

void ObjectComponent::destruct()
{
    mesh_ = nullptr;
    held_.release();
    material_.reset();
}

void ObjectComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case ObjectVariable::Object: fileName_ = record.readString(); break;
    case ObjectVariable::Motion: motion_.assign(record); break;
    case ObjectVariable::Material: pointed_ = static_cast<MaterialComponent*>(record.readPointer()); break;
    default: break;
    }
}

void ObjectComponent::update(Camera& camera, float seconds)
{
    if (!mesh_)
        return;
    drawAtPlacements(*this, fileName_, motion_, *mesh_, pointed_ ? &pointed_->material() : material_.get(), camera,
                     seconds);
}

}  // namespace mirva
