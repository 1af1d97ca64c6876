#pragma once
// Object: draws the mesh of a LightWave object with a material, placed by its Motion or
// at every object of its scene that has the object's file name.
//
// The mesh is built once per object file and shared by every instance that shows that
// file (a cache entry, removed with the last instance). The instance's own material is
// plain diffuse with the surface colours and back faces culled; a Material pointer draws
// with that Material instance's engine material instead. Placed in a scene, the mesh is
// lit by the scene's lights (for materials with Lighting on).
#include <cstdint>
#include <memory>
#include <string>

#include "components/cache_template.h"
#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Object's own variables.
namespace ObjectVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    Material = 2,
};
}

class Material;
class MaterialComponent;
class Primitive;
struct ObjectMesh;

class ObjectComponent final : public Component {
public:
    explicit ObjectComponent(const ComponentType& type);
    ~ObjectComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // How many constructed instances share the mesh of this object file now.
    static int sharing(const std::string& fileName);
    // The shared mesh this instance draws; null when not constructed.
    Primitive* mesh() const { return mesh_; }

private:
    std::string fileName_;
    CacheHold<ObjectMesh> held_;
    Variable motion_;
    MaterialComponent* pointed_ = nullptr;
    std::unique_ptr<Material> material_;
    Primitive* mesh_ = nullptr;
};

class ObjectComponentType final : public ComponentTypeFor<ObjectComponent> {
public:
    ObjectComponentType();
};

}  // namespace mirva
