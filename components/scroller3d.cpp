#include "components/scroller3d.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "components/material_component.h"
#include "components/placement.h"
#include "engine/material.h"
#include "engine/primitive.h"
#include "lightwave/lw_object.h"
#include "mesh/mesh_builder.h"

namespace mirva {

Scroller3DComponentType::Scroller3DComponentType(Enums& enums)
    : ComponentTypeFor("Scroller3D", "Scroller3D shows a CScroller3D shaded lw-object which can use material specified in the script")
{
    enums.declareBuiltIn("EndBehaviour", {{"LOOP", 0}, {"RESET", 1}});
    declareConstructionParameter(Scroller3DVariable::Object, ValueType::String, "Object");
    declareParameter(Scroller3DVariable::UpperMotion, ValueType::Vector3, "UpperMotion");
    declareParameter(Scroller3DVariable::LowerMotion, ValueType::Vector3, "LowerMotion");
    declareParameter(Scroller3DVariable::Motion, ValueType::Transformation, "Motion");
    declareParameter(Scroller3DVariable::Material, ValueType::Pointer, "Material", "Material");
    declareParameter(Scroller3DVariable::Stretch, ValueType::Float, "Stretch");
}

// The object (its vertices are read every frame) and the mesh bent from it, shared by the
// instances that show one file; each instance bends it just before it draws it.
struct ScrollerMesh {
    LWObject object;
    std::unique_ptr<Primitive> mesh;
    // Vertex indices in the order of their x: vertices at one x (the front and the back of
    // a letter) share one evaluation of the paths.
    std::vector<std::uint32_t> byX;
};

namespace {

CacheTemplate<ScrollerMesh>& meshes()
{
    static CacheTemplate<ScrollerMesh> cache([](const std::string& fileName) {
        ScrollerMesh entry{LWObject::Load(fileName), nullptr, {}};
        entry.mesh = createMesh(entry.object, true);
        entry.byX.resize(entry.object.vertices.size());
        std::iota(entry.byX.begin(), entry.byX.end(), 0u);
        const std::vector<Vertex>& vertices = entry.object.vertices;
        std::stable_sort(entry.byX.begin(), entry.byX.end(), [&](std::uint32_t a, std::uint32_t b) {
            return vertices[a].position.x < vertices[b].position.x;
        });
        return entry;
    });
    return cache;
}

}  // namespace

Scroller3DComponent::Scroller3DComponent(const ComponentType& type) : Component(type), held_(meshes())
{
    motion_.type = ValueType::Transformation;
    upper_.type = lower_.type = ValueType::Vector3;
    stretch_.type = ValueType::Float;
    resetOwnVariables();
}

Scroller3DComponent::~Scroller3DComponent()
{
    destruct();
}

void Scroller3DComponent::resetOwnVariables()
{
    for (Variable* record : {&motion_, &upper_, &lower_, &stretch_})
        record->clearChannels();
    motion_.setTransformation({0, 0, 0, 0, 0, 0, 1, 1, 1});
    upper_.setVector({0, 1, 0});
    lower_.setVector({0, 0, 0});
    stretch_.setFloat(1.0f);
}

Primitive* Scroller3DComponent::mesh() const
{
    return shared_ ? shared_->mesh.get() : nullptr;
}

void Scroller3DComponent::construct()
{
    resetBase();
    destruct();
    material_ = std::make_unique<Material>(Material::DIFFUSE, Material::COPY);
    material_->culling = Material::NOCULLING;
    shared_ = &held_.acquire(fileName_);
    resetOwnVariables();
}

void Scroller3DComponent::destruct()
{
    shared_ = nullptr;
    held_.release();
    material_.reset();
}

void Scroller3DComponent::variableHook(const Variable& record)
{
    switch (record.identifier) {
    case Scroller3DVariable::Object: fileName_ = record.readString(); break;
    case Scroller3DVariable::Motion: motion_.assign(record); break;
    case Scroller3DVariable::UpperMotion: upper_.assign(record); break;
    case Scroller3DVariable::LowerMotion: lower_.assign(record); break;
    case Scroller3DVariable::Stretch: stretch_.assign(record); break;
    case Scroller3DVariable::Material: pointed_ = static_cast<MaterialComponent*>(record.readPointer()); break;
    default: break;
    }
}

void Scroller3DComponent::bend()
{
    const LWObject& object = shared_->object;
    std::span<Primitive::Vertex> out = shared_->mesh->vertices();
    const float upperPhase = upper_.envelopePhase, lowerPhase = lower_.envelopePhase;
    const float stretch = stretch_.readFloat();
    const float height = object.boundsMax.y - object.boundsMin.y;
    const float scale = height > 0.0f ? 1.0f / height : 0.0f;
    std::array<float, 3> u{}, l{};
    bool evaluated = false;
    float evaluatedX = 0.0f;
    for (std::uint32_t i : shared_->byX) {
        const Vector3& p = object.vertices[i].position;
        if (!evaluated || p.x != evaluatedX) {
            upper_.envelopePhase = upperPhase - p.x * stretch;
            lower_.envelopePhase = lowerPhase - p.x * stretch;
            u = upper_.readVector3();
            l = lower_.readVector3();
            evaluated = true;
            evaluatedX = p.x;
        }
        const float f = (p.y - object.boundsMin.y) * scale;
        Primitive::Vertex& v = out[i];
        v.x = (1 - f) * l[0] + f * u[0];
        v.y = (1 - f) * l[1] + f * u[1];
        v.z = (1 - f) * l[2] + f * u[2];
    }
    upper_.envelopePhase = upperPhase;
    lower_.envelopePhase = lowerPhase;
}

void Scroller3DComponent::update(Camera& camera, float seconds)
{
    if (!shared_)
        return;
    for (Variable* record : {&upper_, &lower_, &stretch_})
        record->advance(seconds);
    bend();
    drawAtPlacements(*this, fileName_, motion_, *shared_->mesh, pointed_ ? &pointed_->material() : material_.get(),
                     camera, seconds);
}

}  // namespace mirva
