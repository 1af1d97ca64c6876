#pragma once
// Primitive: an indexed mesh in the engine's one vertex layout, kept in memory and in
// default-pool vertex and index buffers, drawn with one material, one transformation and
// a list of lights through a camera.
//
// Filling one (what mesh builders do):
//
//   Primitive mesh(Primitive::TRIANGLELIST, 3 * triangles, vertexCount);
//   std::span<Primitive::Vertex> v = mesh.vertices();    // every vertex, to write in place
//   v[0] = {.x = 0, .y = 1, .z = 0, .nz = -1, .diffuse = 0xFFFFFFFF, .u = 0, .v = 0};
//   std::span<WORD> i = mesh.indices();       // 16-bit indices into the vertices
//   i[0] = 0; ...
//   mesh.setMaterial(&material);
//   mesh.transformation = placement;
//   mesh.draw(camera);
//
// Writing through `vertices()`, `indices()` or the per-vertex setters marks the arrays
// for upload, which happens at the start of the next draw. Counts to draw start at the
// capacities and may be lowered per draw. Lights are switched on for the draw only, in
// device slots 0, 1, ... by their place in the list.
//
// A primitive is a VideoMemoryResource: after a device reset it draws its arrays again
// without any caller action. Text (BitmapFont) writes vertices straight into the locked
// vertex buffer instead (lockVertexBuffer), rewriting them before every draw.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/video_memory_resource.h"
#include "io/transformation.h"
#include "platform/d3d8/d3d8.h"

namespace mirva {

class Camera;
class Light;
class Material;

constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

class Primitive : public VideoMemoryResource {
public:
    enum Kind { POINTLIST = 0, LINELIST = 1, LINESTRIP = 2, TRIANGLELIST = 3, TRIANGLESTRIP = 4, TRIANGLEFAN = 5 };

    // The engine's vertex: position, normal, diffuse and specular colours (0xAARRGGBB),
    // one pair of texture coordinates; 40 bytes, flexible vertex format 0x1D2. A new
    // vertex is all zero with both colours opaque black. (Kept inside Primitive: the
    // LightWave object has a Vertex of its own, and mesh building uses both.)
    struct Vertex {
        float x = 0, y = 0, z = 0;
        float nx = 0, ny = 0, nz = 0;
        D3DCOLOR diffuse = 0xFF000000;
        D3DCOLOR specular = 0xFF000000;
        float u = 0, v = 0;
    };
    static_assert(sizeof(Vertex) == 40);

    // An index capacity of 0 makes a primitive without indices (drawn in vertex order).
    Primitive(int kind, int indexCapacity, int vertexCapacity, bool dynamicIndices = false,
              bool dynamicVertices = false);
    ~Primitive() override;

    void setPosition(int vertex, float x, float y, float z);
    void setNormal(int vertex, float x, float y, float z);
    void setDiffuse(int vertex, D3DCOLOR color);
    void setSpecular(int vertex, D3DCOLOR color);
    void setTextureCoordinate(int vertex, float u, float v);
    void setIndex(int index, WORD vertex);

    // The whole arrays, to write in place; both mark their array for upload.
    std::span<Vertex> vertices();
    std::span<WORD> indices();
    const Vertex& vertex(int i) const;
    WORD index(int i) const;

    // Direct writing: the locked vertex buffer itself (capacity vertices). What is written
    // there is drawn as it is; the in-memory array is not uploaded over it.
    std::span<Vertex> lockVertexBuffer();
    void unlockVertexBuffer();

    void setVertexCount(int count);
    void setIndexCount(int count);
    void setMaterial(Material* material) { material_ = material; }
    void setLights(std::vector<const Light*> lights) { lights_ = std::move(lights); }

    void draw(Camera& camera);

    int kind() const { return kind_; }
    int vertexCapacity() const { return static_cast<int>(vertices_.size()); }
    int indexCapacity() const { return static_cast<int>(indices_.size()); }
    int vertexCount() const { return vertexCount_; }
    int indexCount() const { return indexCount_; }
    Material* material() const { return material_; }
    const std::vector<const Light*>& lights() const { return lights_; }

    void releaseVideoMemory() override;
    void restoreVideoMemory() override;

    Transformation transformation;

private:
    void createBuffers();
    void upload();
    Vertex& at(int vertex);
    // The primitive count that `n` vertices or indices make; 0 or less draws nothing.
    int primitiveCount(int n) const;

    int kind_;
    int vertexCount_, indexCount_;
    bool dynamicIndices_, dynamicVertices_;
    std::vector<Vertex> vertices_;
    std::vector<WORD> indices_;
    IDirect3DVertexBuffer8* vertexBuffer_ = nullptr;
    IDirect3DIndexBuffer8* indexBuffer_ = nullptr;
    bool verticesDirty_ = true;
    int uploadedVertices_ = 0;  // how many vertices the buffer holds from the last upload
    bool indicesDirty_ = true;
    Material* material_ = nullptr;
    std::vector<const Light*> lights_;
};

}  // namespace mirva
