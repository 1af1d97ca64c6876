#include "engine/primitive.h"

#include <cmath>
#include <cstring>

#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/light.h"
#include "engine/material.h"
#include "io/console.h"
#include "platform/d3d8/d3dx8.h"

namespace mirva {

Primitive::Primitive(int kind, int indexCapacity, int vertexCapacity, bool dynamicIndices, bool dynamicVertices)
    : kind_(kind), vertexCount_(vertexCapacity), indexCount_(indexCapacity), dynamicIndices_(dynamicIndices),
      dynamicVertices_(dynamicVertices)
{
    if (kind < POINTLIST || kind > TRIANGLEFAN)
        Console::fatal(formatText("Primitive: unknown primitive kind %d", kind));
    if (indexCapacity < 0 || vertexCapacity < 0 || (indexCapacity > 0 && vertexCapacity > 65536))
        Console::fatal(formatText("Primitive: %d indices and %d vertices (16-bit indices reach 65536 vertices)",
                                  indexCapacity, vertexCapacity));
    vertices_.resize(static_cast<std::size_t>(vertexCapacity));
    indices_.resize(static_cast<std::size_t>(indexCapacity));
    createBuffers();
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0);
    device->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
}

Primitive::~Primitive()
{
    releaseVideoMemory();
}

void Primitive::createBuffers()
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    // A primitive without vertices has nothing to keep on the device and never draws.
    if (!vertices_.empty()) {
        const DWORD usage =
            D3DUSAGE_WRITEONLY | (dynamicVertices_ ? D3DUSAGE_DYNAMIC : 0u) | D3DUSAGE_SOFTWAREPROCESSING;
        const HRESULT hr = device->CreateVertexBuffer(static_cast<UINT>(vertices_.size() * sizeof(Vertex)), usage,
                                                      kVertexFormat, D3DPOOL_DEFAULT, &vertexBuffer_);
        if (FAILED(hr))
            DXDriver::directXError("Primitive: direct3d->CreateVertexBuffer ", hr);
    }
    if (!indices_.empty()) {
        const DWORD usage =
            D3DUSAGE_WRITEONLY | (dynamicIndices_ ? D3DUSAGE_DYNAMIC : 0u) | D3DUSAGE_SOFTWAREPROCESSING;
        const HRESULT hr = device->CreateIndexBuffer(static_cast<UINT>(indices_.size() * sizeof(WORD)), usage,
                                                     D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indexBuffer_);
        if (FAILED(hr))
            DXDriver::directXError("Primitive: direct3d->CreateIndexBuffer ", hr);
    }
    verticesDirty_ = indicesDirty_ = true;
}

void Primitive::releaseVideoMemory()
{
    if (vertexBuffer_)
        vertexBuffer_->Release();
    if (indexBuffer_)
        indexBuffer_->Release();
    vertexBuffer_ = nullptr;
    indexBuffer_ = nullptr;
}

void Primitive::restoreVideoMemory()
{
    createBuffers();
}

Primitive::Vertex& Primitive::at(int vertex)
{
    if (vertex < 0 || vertex >= vertexCapacity())
        Console::fatal(formatText("Primitive: vertex %d outside 0 to %d", vertex, vertexCapacity() - 1));
    verticesDirty_ = true;
    return vertices_[static_cast<std::size_t>(vertex)];
}

void Primitive::setPosition(int vertex, float x, float y, float z)
{
    Vertex& v = at(vertex);
    v.x = x;
    v.y = y;
    v.z = z;
}

void Primitive::setNormal(int vertex, float x, float y, float z)
{
    Vertex& v = at(vertex);
    v.nx = x;
    v.ny = y;
    v.nz = z;
}

void Primitive::setDiffuse(int vertex, D3DCOLOR color)
{
    at(vertex).diffuse = color;
}

void Primitive::setSpecular(int vertex, D3DCOLOR color)
{
    at(vertex).specular = color;
}

void Primitive::setTextureCoordinate(int vertex, float u, float v)
{
    Vertex& x = at(vertex);
    x.u = u;
    x.v = v;
}

void Primitive::setIndex(int index, WORD vertex)
{
    if (index < 0 || index >= indexCapacity())
        Console::fatal(formatText("Primitive: index %d outside 0 to %d", index, indexCapacity() - 1));
    indices_[static_cast<std::size_t>(index)] = vertex;
    indicesDirty_ = true;
}

std::span<Primitive::Vertex> Primitive::vertices()
{
    verticesDirty_ = true;
    return vertices_;
}

std::span<WORD> Primitive::indices()
{
    indicesDirty_ = true;
    return indices_;
}

const Primitive::Vertex& Primitive::vertex(int i) const
{
    return vertices_.at(static_cast<std::size_t>(i));
}

WORD Primitive::index(int i) const
{
    return indices_.at(static_cast<std::size_t>(i));
}

std::span<Primitive::Vertex> Primitive::lockVertexBuffer()
{
    if (!vertexBuffer_)
        return {};
    BYTE* data = nullptr;
    const HRESULT hr = vertexBuffer_->Lock(0, 0, &data, dynamicVertices_ ? D3DLOCK_DISCARD : 0u);
    if (FAILED(hr))
        DXDriver::directXError("Primitive: vertexBuffer->Lock ", hr);
    verticesDirty_ = false;
    uploadedVertices_ = vertexCapacity();  // the caller writes the buffer itself
    return {reinterpret_cast<Vertex*>(data), vertices_.size()};
}

void Primitive::unlockVertexBuffer()
{
    if (vertexBuffer_)
        vertexBuffer_->Unlock();
}

void Primitive::setVertexCount(int count)
{
    if (count < 0 || count > vertexCapacity())
        Console::fatal(formatText("Primitive: %d vertices to draw, room for %d", count, vertexCapacity()));
    vertexCount_ = count;
    // A dynamic buffer holds only what was drawn last: more vertices must be sent again.
    if (dynamicVertices_ && count > uploadedVertices_)
        verticesDirty_ = true;
}

void Primitive::setIndexCount(int count)
{
    if (count < 0 || count > indexCapacity())
        Console::fatal(formatText("Primitive: %d indices to draw, room for %d", count, indexCapacity()));
    indexCount_ = count;
}

void Primitive::upload()
{
    if (verticesDirty_ && vertexBuffer_) {
        // Dynamic vertices are rewritten for every draw (outlines refill theirs for each
        // view): only those to be drawn are sent.
        const std::size_t count = dynamicVertices_ ? static_cast<std::size_t>(vertexCount_) : vertices_.size();
        const auto bytes = static_cast<UINT>(count * sizeof(Vertex));
        BYTE* data = nullptr;
        const HRESULT hr = vertexBuffer_->Lock(0, bytes, &data, dynamicVertices_ ? D3DLOCK_DISCARD : 0u);
        if (FAILED(hr))
            DXDriver::directXError("Primitive: vertexBuffer->Lock ", hr);
        std::memcpy(data, vertices_.data(), bytes);
        vertexBuffer_->Unlock();
        uploadedVertices_ = static_cast<int>(count);
    }
    verticesDirty_ = false;
    if (indicesDirty_ && indexBuffer_) {
        // An index past the vertices would make the device read beyond its buffer.
        for (std::size_t i = 0; i < indices_.size(); ++i)
            if (indices_[i] >= vertices_.size())
                Console::fatal(formatText("Primitive: index %zu names vertex %d, beyond the %zu vertices", i,
                                          indices_[i], vertices_.size()));
        BYTE* data = nullptr;
        const HRESULT hr = indexBuffer_->Lock(0, 0, &data, dynamicIndices_ ? D3DLOCK_DISCARD : 0u);
        if (FAILED(hr))
            DXDriver::directXError("Primitive: indexBuffer->Lock ", hr);
        std::memcpy(data, indices_.data(), indices_.size() * sizeof(WORD));
        indexBuffer_->Unlock();
    }
    indicesDirty_ = false;
}

int Primitive::primitiveCount(int n) const
{
    switch (kind_) {
    case POINTLIST: return n;
    case LINELIST: return n / 2;
    case LINESTRIP: return n - 1;
    case TRIANGLELIST: return n / 3;
    default: return n - 2;  // strips and fans
    }
}

void Primitive::draw(Camera& camera)
{
    if (vertexCount_ == 0 || !vertexBuffer_ || (indexBuffer_ && indexCount_ == 0))
        return;
    if (!material_)
        Console::fatal("Primitive: drawn without a material");
    // Too few vertices or indices for one line or triangle draw nothing.
    const int primitives = primitiveCount(indexBuffer_ ? indexCount_ : vertexCount_);
    if (primitives <= 0 || !camera.coversPixels())
        return;
    upload();
    camera.setViewport();
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    for (std::size_t slot = 0; slot < lights_.size(); ++slot)
        lights_[slot]->set(static_cast<DWORD>(slot));

    const D3DMATRIX world = matrixOf(transformation);
    const D3DMATRIX view = matrixOf(camera.view);
    const float* t = transformation.m[3];
    const D3DMATRIX projection =
        camera.projection(material_->depthOffset, std::sqrt(t[0] * t[0] + t[1] * t[1] + t[2] * t[2]));
    if (material_->vertexShader) {
        D3DMATRIX constants;
        D3DXMatrixMultiply(&constants, &world, &view);
        D3DXMatrixMultiply(&constants, &constants, &projection);
        D3DXMatrixTranspose(&constants, &constants);
        if (HRESULT hr = device->SetVertexShaderConstant(0, &constants, 4); FAILED(hr))
            DXDriver::directXError("Primitive: Device->SetVertexShaderConstant - ", hr);
    } else {
        for (const auto& [state, matrix] : {std::pair{D3DTS_WORLD, &world}, std::pair{D3DTS_VIEW, &view},
                                            std::pair{D3DTS_PROJECTION, &projection}})
            if (HRESULT hr = device->SetTransform(state, matrix); FAILED(hr))
                DXDriver::directXError("Primitive: device->SetTransform ", hr);
    }
    material_->apply();
    device->SetStreamSource(0, vertexBuffer_, sizeof(Vertex));
    device->SetVertexShader(material_->vertexShader ? material_->vertexShader : kVertexFormat);
    const auto type = static_cast<D3DPRIMITIVETYPE>(kind_ + 1);
    HRESULT hr;
    if (indexBuffer_) {
        device->SetIndices(indexBuffer_, 0);
        hr = device->DrawIndexedPrimitive(type, 0, static_cast<UINT>(vertexCount_), 0, static_cast<UINT>(primitives));
    } else {
        hr = device->DrawPrimitive(type, 0, static_cast<UINT>(primitives));
    }
    if (FAILED(hr))
        DXDriver::directXError("Primitive: device->DrawIndexedPrimitive ", hr);
    for (std::size_t slot = 0; slot < lights_.size(); ++slot)
        Light::disable(static_cast<DWORD>(slot));
}

}  // namespace mirva
