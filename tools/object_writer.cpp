#include "tools/object_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "io/console.h"

namespace mirva {

IffBytes& IffBytes::id(const std::string& four)
{
    if (four.size() != 4)
        Console::fatal("IffBytes: identifier '" + four + "' is not four characters");
    bytes_.insert(bytes_.end(), four.begin(), four.end());
    return *this;
}

IffBytes& IffBytes::u1(std::uint32_t value)
{
    bytes_.push_back(static_cast<std::uint8_t>(value));
    return *this;
}

IffBytes& IffBytes::u2(std::uint32_t value)
{
    return u1(value >> 8).u1(value);
}

IffBytes& IffBytes::u4(std::uint32_t value)
{
    return u2(value >> 16).u2(value);
}

IffBytes& IffBytes::f4(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u4(bits);
}

IffBytes& IffBytes::vec12(float x, float y, float z)
{
    return f4(x).f4(y).f4(z);
}

IffBytes& IffBytes::s0(const std::string& text)
{
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    if ((text.size() + 1) % 2 != 0)
        bytes_.push_back(0);
    return *this;
}

IffBytes& IffBytes::vx(std::uint32_t index)
{
    return index < 0xFF00 ? u2(index) : u4(0xFF000000u | index);
}

IffBytes& IffBytes::raw(const std::vector<std::uint8_t>& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

IffBytes& IffBytes::chunk(const std::string& chunkId, const IffBytes& data)
{
    id(chunkId).u4(static_cast<std::uint32_t>(data.bytes_.size())).raw(data.bytes_);
    if (data.bytes_.size() % 2 != 0)
        u1(0);
    return *this;
}

IffBytes& IffBytes::subChunk(const std::string& chunkId, const IffBytes& data)
{
    id(chunkId).u2(static_cast<std::uint32_t>(data.bytes_.size())).raw(data.bytes_);
    if (data.bytes_.size() % 2 != 0)
        u1(0);
    return *this;
}

std::vector<std::uint8_t> IffBytes::form(const std::string& type, const IffBytes& chunks)
{
    IffBytes file;
    file.id("FORM").u4(static_cast<std::uint32_t>(4 + chunks.bytes_.size())).id(type).raw(chunks.bytes_);
    return file.bytes_;
}

// ---- ObjectWriter

int ObjectWriter::addPoint(float x, float y, float z)
{
    points_.insert(points_.end(), {x, y, z});
    return pointCount() - 1;
}

int ObjectWriter::addSurface(const std::string& name, float red, float green, float blue)
{
    surfaces_.push_back({name, {red, green, blue}});
    return static_cast<int>(surfaces_.size()) - 1;
}

void ObjectWriter::ensureSurface()
{
    if (surfaces_.empty())
        addSurface("Default", 0.78431374f, 0.78431374f, 0.78431374f);
}

int ObjectWriter::addPolygon(const std::vector<std::uint32_t>& points, int surface)
{
    polygons_.push_back({points, surface});
    return polygonCount() - 1;
}

void ObjectWriter::setPolygonSurface(int polygon, int surface)
{
    polygons_.at(static_cast<std::size_t>(polygon)).surface = surface;
}

void ObjectWriter::addVertexMap(const std::string& type, const std::string& name, int dimension,
                                const std::vector<MapEntry>& entries)
{
    maps_.push_back({type, name, dimension, entries, false});
}

void ObjectWriter::addPerPolygonMap(const std::string& type, const std::string& name, int dimension,
                                    const std::vector<MapEntry>& entries)
{
    maps_.push_back({type, name, dimension, entries, true});
}

std::vector<std::uint8_t> ObjectWriter::lwo2() const
{
    ObjectWriter self = *this;
    self.ensureSurface();
    IffBytes chunks;
    IffBytes tags;
    for (const SurfaceSpec& surface : self.surfaces_)
        tags.s0(surface.name);
    chunks.chunk("TAGS", tags);
    chunks.chunk("LAYR", IffBytes().u2(0).u2(0).vec12(0, 0, 0).s0(""));
    IffBytes points;
    for (std::size_t i = 0; i < points_.size(); i += 3)
        points.vec12(points_[i], points_[i + 1], points_[i + 2]);
    chunks.chunk("PNTS", points);
    auto writeMaps = [&](bool perPolygon) {
        for (const Map& map : maps_) {
            if (map.perPolygon != perPolygon)
                continue;
            IffBytes data;
            data.id(map.type).u2(static_cast<std::uint32_t>(map.dimension)).s0(map.name);
            for (const MapEntry& entry : map.entries) {
                data.vx(entry.point);
                if (perPolygon)
                    data.vx(static_cast<std::uint32_t>(entry.polygon));
                for (float value : entry.values)
                    data.f4(value);
            }
            chunks.chunk(perPolygon ? "VMAD" : "VMAP", data);
        }
    };
    writeMaps(false);
    IffBytes polygons;
    polygons.id("FACE");
    IffBytes polygonTags;
    polygonTags.id("SURF");
    for (std::size_t p = 0; p < polygons_.size(); ++p) {
        polygons.u2(static_cast<std::uint32_t>(polygons_[p].points.size()));
        for (std::uint32_t index : polygons_[p].points)
            polygons.vx(index);
        polygonTags.vx(static_cast<std::uint32_t>(p)).u2(static_cast<std::uint32_t>(polygons_[p].surface));
    }
    chunks.chunk("POLS", polygons);
    chunks.chunk("PTAG", polygonTags);
    writeMaps(true);
    for (const SurfaceSpec& surface : self.surfaces_) {
        IffBytes data;
        data.s0(surface.name).s0("");
        data.subChunk("COLR", IffBytes().vec12(surface.colour[0], surface.colour[1], surface.colour[2]).vx(0));
        chunks.chunk("SURF", data);
    }
    return IffBytes::form("LWO2", chunks);
}

std::vector<std::uint8_t> ObjectWriter::lwob() const
{
    ObjectWriter self = *this;
    self.ensureSurface();
    IffBytes chunks;
    IffBytes names;
    for (const SurfaceSpec& surface : self.surfaces_)
        names.s0(surface.name);
    chunks.chunk("SRFS", names);
    IffBytes points;
    for (std::size_t i = 0; i < points_.size(); i += 3)
        points.vec12(points_[i], points_[i + 1], points_[i + 2]);
    chunks.chunk("PNTS", points);
    IffBytes polygons;
    for (const Polygon& polygon : polygons_) {
        polygons.u2(static_cast<std::uint32_t>(polygon.points.size()));
        for (std::uint32_t index : polygon.points)
            polygons.u2(index);
        polygons.u2(static_cast<std::uint32_t>(polygon.surface + 1));
    }
    chunks.chunk("POLS", polygons);
    for (const SurfaceSpec& surface : self.surfaces_) {
        IffBytes colour;
        for (float c : surface.colour)
            colour.u1(static_cast<std::uint32_t>(std::lround(c * 255.0f)));
        colour.u1(0);
        chunks.chunk("SURF", IffBytes().s0(surface.name).subChunk("COLR", colour));
    }
    return IffBytes::form("LWOB", chunks);
}

void ObjectWriter::write(const std::string& path, bool oldForm) const
{
    const std::vector<std::uint8_t> bytes = oldForm ? lwob() : lwo2();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        std::fclose(file);
    if (!ok)
        Console::fatal("ObjectWriter: couldn't write '" + path + "'");
}

// ---- shapes

namespace {

struct P3 {
    float x, y, z;
};

P3 sub(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 crossOf(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float dotOf(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Adds the polygon wound so that (P1 - P0) x (Pn-1 - P0) points along `outward`.
void addOriented(ObjectWriter& writer, const std::vector<P3>& at, std::vector<std::uint32_t> points, P3 outward)
{
    const P3 normal = crossOf(sub(at[points[1]], at[points[0]]), sub(at[points.back()], at[points[0]]));
    if (dotOf(normal, outward) < 0)
        std::reverse(points.begin() + 1, points.end());
    writer.addPolygon(points);
}

ObjectWriter fromPoints(const std::vector<P3>& at)
{
    ObjectWriter writer;
    for (const P3& p : at)
        writer.addPoint(p.x, p.y, p.z);
    return writer;
}

}  // namespace

ObjectWriter ObjectWriter::box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    std::vector<P3> at;
    for (int i = 0; i < 8; ++i)
        at.push_back({i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
    ObjectWriter writer = fromPoints(at);
    const std::uint32_t faces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    const P3 outward[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    for (int f = 0; f < 6; ++f)
        addOriented(writer, at, {faces[f][0], faces[f][1], faces[f][2], faces[f][3]}, outward[f]);
    return writer;
}

ObjectWriter ObjectWriter::tetrahedron()
{
    const std::vector<P3> at = {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
    ObjectWriter writer = fromPoints(at);
    const std::uint32_t faces[4][3] = {{0, 1, 2}, {0, 1, 3}, {0, 2, 3}, {1, 2, 3}};
    for (const auto& face : faces) {
        const P3 centre = {(at[face[0]].x + at[face[1]].x + at[face[2]].x) / 3,
                           (at[face[0]].y + at[face[1]].y + at[face[2]].y) / 3,
                           (at[face[0]].z + at[face[1]].z + at[face[2]].z) / 3};
        addOriented(writer, at, {face[0], face[1], face[2]}, centre);
    }
    return writer;
}

ObjectWriter ObjectWriter::geodesicSphere(float radius, int steps)
{
    const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
    std::vector<P3> at = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                          {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    std::vector<std::array<std::uint32_t, 3>> faces = {
        {0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
        {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8}, {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
    for (int s = 0; s < steps; ++s) {
        std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> middles;
        auto middle = [&](std::uint32_t a, std::uint32_t b) {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            const auto found = middles.find(key);
            if (found != middles.end())
                return found->second;
            at.push_back({(at[a].x + at[b].x) / 2, (at[a].y + at[b].y) / 2, (at[a].z + at[b].z) / 2});
            return middles[key] = static_cast<std::uint32_t>(at.size() - 1);
        };
        std::vector<std::array<std::uint32_t, 3>> finer;
        for (const auto& f : faces) {
            const std::uint32_t ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({ab, f[1], bc});
            finer.push_back({ca, bc, f[2]});
            finer.push_back({ab, bc, ca});
        }
        faces.swap(finer);
    }
    for (P3& p : at) {
        const float scale = radius / std::sqrt(dotOf(p, p));
        p = {p.x * scale, p.y * scale, p.z * scale};
    }
    ObjectWriter writer = fromPoints(at);
    for (const auto& f : faces)
        addOriented(writer, at, {f[0], f[1], f[2]}, at[f[0]]);
    return writer;
}

ObjectWriter ObjectWriter::cylinder(float radius, float height, int around, int rings)
{
    const float pi = 3.14159265358979f;
    std::vector<P3> at;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < around; ++i) {
            const float angle = 2 * pi * (static_cast<float>(i) + 0.5f * static_cast<float>(j % 2)) / static_cast<float>(around);
            at.push_back({radius * std::cos(angle), height * static_cast<float>(j) / static_cast<float>(rings - 1),
                          radius * std::sin(angle)});
        }
    ObjectWriter writer = fromPoints(at);
    auto index = [&](int i, int j) { return static_cast<std::uint32_t>(j * around + (i % around)); };
    auto add = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const P3 outward = {at[a].x + at[b].x + at[c].x, 0, at[a].z + at[b].z + at[c].z};
        addOriented(writer, at, {a, b, c}, outward);
    };
    for (int j = 0; j + 1 < rings; ++j)
        for (int i = 0; i < around; ++i) {
            if (j % 2 == 0) {   // the upper ring is turned by half a step forward
                add(index(i, j), index(i + 1, j), index(i, j + 1));
                add(index(i + 1, j), index(i + 1, j + 1), index(i, j + 1));
            } else {            // the lower ring is the turned one
                add(index(i, j), index(i + 1, j + 1), index(i, j + 1));
                add(index(i, j), index(i + 1, j), index(i + 1, j + 1));
            }
        }
    return writer;
}

ObjectWriter ObjectWriter::torus(float major, float minor, int around, int tube)
{
    const float pi = 3.14159265358979f;
    std::vector<P3> at;
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const float theta = 2 * pi * static_cast<float>(i) / static_cast<float>(around);
            const float phi = 2 * pi * static_cast<float>(j) / static_cast<float>(tube);
            const float ring = major + minor * std::cos(phi);
            at.push_back({ring * std::cos(theta), minor * std::sin(phi), ring * std::sin(theta)});
        }
    ObjectWriter writer = fromPoints(at);
    auto index = [&](int i, int j) { return static_cast<std::uint32_t>((i % around) * tube + (j % tube)); };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const float theta = 2 * pi * (static_cast<float>(i) + 0.5f) / static_cast<float>(around);
            const float phi = 2 * pi * (static_cast<float>(j) + 0.5f) / static_cast<float>(tube);
            const P3 outward = {std::cos(phi) * std::cos(theta), std::sin(phi), std::cos(phi) * std::sin(theta)};
            addOriented(writer, at, {index(i, j), index(i + 1, j), index(i + 1, j + 1), index(i, j + 1)}, outward);
        }
    return writer;
}

ObjectWriter ObjectWriter::grid(int columns, int rows, float cell)
{
    ObjectWriter writer;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i)
            writer.addPoint(cell * static_cast<float>(i), 0.0f, cell * static_cast<float>(j));
    auto index = [&](int i, int j) { return static_cast<std::uint32_t>(j * (columns + 1) + i); };
    // (P1 - P0) x (P3 - P0) = (0, 0, cell) x (cell, 0, 0) points along +y.
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            writer.addPolygon({index(i, j), index(i, j + 1), index(i + 1, j + 1), index(i + 1, j)});
    return writer;
}

}  // namespace mirva
