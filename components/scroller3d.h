#pragma once
// Scroller3D: bends a LightWave object (typically a line of modelled text) into a ribbon
// that runs along two animated paths.
//
// Each vertex's x picks a time on the paths: the paths' phase less x times Stretch
// (seconds of path time per unit of x), and its height between the object's lowest and
// highest point picks a place between LowerMotion and UpperMotion at that time. As the
// paths play, the object scrolls along them; the z of a vertex is not used. The bent
// positions are written into the mesh every frame; normals, colours (the surfaces') and
// texture coordinates stay the object's. An object without height lies on the lower path.
//
// Defaults: UpperMotion (0, 1, 0), LowerMotion (0, 0, 0), Stretch 1. The mesh is drawn
// as an Object draws: in its surface colours with a plain material, or with the engine
// material of the Material instance it points to; at its Motion or at every scene object
// named by its object file.
#include <cstdint>
#include <memory>
#include <string>

#include "components/cache_template.h"
#include "components/component.h"
#include "components/component_type.h"
#include "script/enums.h"

namespace mirva {

// Identifiers of the Scroller3D's own variables.
namespace Scroller3DVariable {
enum : std::int32_t {
    Motion = 0,
    Object = 1,
    UpperMotion = 2,
    LowerMotion = 3,
    Material = 4,
    Stretch = 5,
};
}

class Material;
class MaterialComponent;
class Primitive;
struct ScrollerMesh;

class Scroller3DComponent final : public Component {
public:
    explicit Scroller3DComponent(const ComponentType& type);
    ~Scroller3DComponent() override;
    void construct() override;
    void destruct() override;
    void update(Camera& camera, float seconds) override;
    void variableHook(const Variable& record) override;

    // The mesh this instance bends and draws; null when not constructed.
    Primitive* mesh() const;

private:
    void resetOwnVariables();
    // Writes the bent positions of every vertex into the mesh.
    void bend();

    std::string fileName_;
    CacheHold<ScrollerMesh> held_;
    const ScrollerMesh* shared_ = nullptr;
    Variable motion_, upper_, lower_, stretch_;
    MaterialComponent* pointed_ = nullptr;
    std::unique_ptr<Material> material_;
};

class Scroller3DComponentType final : public ComponentTypeFor<Scroller3DComponent> {
public:
    explicit Scroller3DComponentType(Enums& enums);
};

}  // namespace mirva
