#pragma once
// Cartoon: draws a LightWave object toon-shaded and outlines its silhouette, placed by its
// Motion or at every object of its scene that has the object's file name.
//
// The shade material runs the vertex shader "shaders/cartoon.vso", which turns the light
// (LightPosition, handed over in object space in constant register 4) and the vertex
// normal into a place on the banded ramp "maps/64shade.tga", multiplied by the surface
// colours. For every placement the silhouette is found again for the current view and
// drawn as black lines pulled a little towards the camera. A Material pointer replaces
// the shade material (not the outline).
//
// The object, its shaded mesh and its edge lines are built once per file and shared by
// every instance showing that file.
#include <cstdint>
#include <memory>
#include <string>

#include "components/cache_template.h"
#include "components/component.h"
#include "components/component_type.h"

namespace mirva {

// Identifiers of the Cartoon's own variables.
namespace CartoonVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    Material = 2,
    LightPosition = 3,
};
}

class Material;
class MaterialComponent;
struct CartoonMeshes;

class CartoonComponent final : public Component {
public:
    explicit CartoonComponent(const ComponentType& type);
    ~CartoonComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // How many constructed instances share the meshes of this object file now.
    static int sharing(const std::string& fileName);
    // The number of silhouette edges drawn for the last placement.
    int outlineEdges() const { return outlineEdges_; }

private:
    void resetOwnVariables();
    void drawAt(Camera& camera, const Transformation& world);

    std::string fileName_;
    CacheHold<CartoonMeshes> held_;
    CartoonMeshes* meshes_ = nullptr;
    Variable motion_;
    Variable lightPosition_;
    MaterialComponent* pointed_ = nullptr;
    std::unique_ptr<Material> outline_;
    std::unique_ptr<Material> shade_;
    int outlineEdges_ = 0;
};

class CartoonComponentType final : public ComponentTypeFor<CartoonComponent> {
public:
    CartoonComponentType();
};

}  // namespace mirva
