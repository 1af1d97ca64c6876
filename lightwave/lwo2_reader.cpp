// The LWO2 form: a walk over the chunks of the file, of which the first layer's points
// ("PNTS"), its polygons ("POLS") with their surface tags ("TAGS", "PTAG"), the surface
// colours ("SURF") and the vertex maps ("VMAP", per-polygon "VMAD") are used.
#include <array>
#include <cstring>
#include <unordered_map>

#include "io/console.h"
#include "lightwave/lwo_readers.h"

namespace mirva {

namespace {

class Lwo2Reader {
public:
    Lwo2Reader(ChunkReader& in, LWObject& object) : in_(in), object_(object) {}

    void read(std::size_t formEnd)
    {
        in_.forEachChunk(formEnd, [this](std::uint32_t id, std::size_t) { chunk(id); });
        nameTaggedSurfaces();
    }

private:
    struct Polygon {
        std::int32_t firstTriangle = 0;
        std::int32_t triangleCount = 0;
    };
    struct Split {
        std::int32_t vertex = 0;
        std::vector<float> values;
    };

    void chunk(std::uint32_t id)
    {
        switch (id) {
        case makeId("PNTS"):
            if (++pntsCount_ == 1)
                points();
            polygonsCurrent_ = false;
            break;
        case makeId("POLS"):
            if (pntsCount_ == 0)
                Console::fatal("invalid LWO2 file: POLS chunk before PNTS");
            ++polsCount_;
            polygonsCurrent_ = pntsCount_ == 1;
            if (polygonsCurrent_)
                polygons();
            break;
        case makeId("TAGS"):
            if (++tagsCount_ == 1)
                tags();
            break;
        case makeId("PTAG"):
            if (tagsCount_ == 0 || polsCount_ == 0)
                Console::fatal("invalid LWO2 file: PTAG chunk before TAGS or POLS");
            if (tagsCount_ == 1 && polygonsCurrent_)
                polygonTags();
            break;
        case makeId("SURF"):
            surface();
            break;
        case makeId("VMAP"):
            if (pntsCount_ == 0)
                Console::fatal("invalid LWO2 file: VMAP chunk before PNTS");
            if (pntsCount_ == 1)
                vertexMap();
            break;
        case makeId("VMAD"):
            if (pntsCount_ == 0 || polsCount_ == 0)
                Console::fatal("invalid LWO2 file: VMAD chunk before PNTS or POLS");
            if (pntsCount_ == 1 && polygonsCurrent_)
                perPolygonMap();
            break;
        default:
            break;
        }
    }

    void points()
    {
        const std::size_t count = in_.remaining() / 12;
        Console::print("PNTS %d vertices\n", static_cast<int>(count));
        readPoints(in_, count, object_);
        pointCount_ = object_.vertices.size();
    }

    std::uint32_t point()
    {
        const std::uint32_t index = in_.vx();
        if (index >= pointCount_)
            in_.fail("point index " + std::to_string(index) + " out of range (the first layer has " +
                     std::to_string(pointCount_) + " points)");
        return index;
    }

    std::int32_t polygonIndex()
    {
        const std::uint32_t index = in_.vx();
        if (index >= polygons_.size())
            in_.fail("polygon index " + std::to_string(index) + " out of range (" +
                     std::to_string(polygons_.size()) + " polygons)");
        return static_cast<std::int32_t>(index);
    }

    // Each polygon: a U2 whose low 10 bits are the point count (the high 6 are flags),
    // then the point indices. Only FACE polygons make triangles; every polygon gets an
    // entry in the table the polygon tags and per-polygon maps refer to.
    void polygons()
    {
        const std::uint32_t type = in_.id4();
        const bool faces = type == makeId("FACE");
        const PolygonCount count = countPolygons();
        polygons_.clear();
        makeRoom(polygons_, count.polygons);
        if (faces)
            makeRoom(object_.triangles, count.triangles);
        std::array<std::uint32_t, kMaxPolygonPoints> points;
        while (in_.remaining() > 0) {
            const std::size_t n = in_.u2() & 0x03FFu;
            for (std::size_t i = 0; i < n; ++i)
                points[i] = point();
            Polygon polygon{static_cast<std::int32_t>(object_.triangles.size()), 0};
            if (faces)
                polygon.triangleCount = addPolygon(object_, {points.data(), n}, -1);
            polygons_.push_back(polygon);
        }
        const std::string typeText = idText(type);
        Console::print("POLS %s %d\n", typeText.c_str(), static_cast<int>(polygons_.size()));
    }

    struct PolygonCount {
        std::size_t polygons = 0;
        std::size_t triangles = 0;
    };

    // Looks ahead over the polygons from the cursor to the chunk end, reading only their
    // point counts and the first byte of each index (which gives its size), so that the
    // polygon table and the triangles get their memory at once. Moves nothing and fails
    // on nothing: where the chunk is cut short the reading itself will stop.
    PolygonCount countPolygons() const
    {
        const std::uint8_t* bytes = in_.cursor();
        const std::size_t size = in_.remaining();
        PolygonCount count;
        std::size_t at = 0;
        while (size - at >= 2) {
            const std::size_t n = static_cast<std::size_t>(bytes[at] << 8 | bytes[at + 1]) & 0x03FFu;
            at += 2;
            for (std::size_t i = 0; i < n && at < size; ++i)
                at += bytes[at] < 0xFF ? 2 : 4;
            ++count.polygons;
            if (n >= 3)
                count.triangles += n - 2;
            if (at > size)
                break;
        }
        return count;
    }

    void tags()
    {
        Console::print("TAGS");
        while (in_.remaining() > 0) {
            tags_.push_back(in_.s0());
            Console::print(" %s", tags_.back().c_str());
        }
        Console::print("\n");
    }

    // Only the surface tags ("SURF") say which surface a polygon has; part, smoothing
    // group and colour tags name other things.
    void polygonTags()
    {
        const std::uint32_t type = in_.id4();
        if (type != makeId("SURF"))
            return;
        Console::print("PTAG");
        int entries = 0;
        while (in_.remaining() > 0) {
            const std::uint32_t index = in_.vx();
            if (index >= polygons_.size())
                Console::error("invalid LWO2 file: PTAG polygon index invalid (%d)", static_cast<int>(index));
            const std::uint16_t tag = in_.u2();
            if (tag >= tags_.size())
                Console::error("invalid LWO2 file: PTAG polygon tag invalid (%d)", tag);
            if (tagUses_.empty())
                tagUses_.assign(tags_.size(), 0);
            const Polygon& polygon = polygons_[index];
            for (std::int32_t t = 0; t < polygon.triangleCount; ++t) {
                Triangle& triangle = object_.triangles[static_cast<std::size_t>(polygon.firstTriangle + t)];
                if (triangle.surface != -1) {
                    Console::print(" duplicate PTAG %d", static_cast<int>(index));
                    --tagUses_[static_cast<std::size_t>(triangle.surface)];
                }
                triangle.surface = tag;
                ++tagUses_[tag];
            }
            ++entries;
        }
        Console::print(" SURF %d\n", entries);
    }

    void growSurfaces(std::size_t count)
    {
        if (object_.surfaces.size() < count)
            object_.surfaces.resize(count);
    }

    void surface()
    {
        const std::string name = in_.s0();
        Console::print("SURF %s\n", name.c_str());
        std::size_t index = 0;
        while (index < tags_.size() && tags_[index] != name)
            ++index;
        if (index == tags_.size())
            Console::error("invalid LWO2 file: surface %s not found from the TAGS list", name.c_str());
        growSurfaces(index + 1);
        ObjectSurface& surface = object_.surfaces[index];
        surface.name = name;
        in_.s0();   // the surface it was derived from
        in_.forEachSubChunk(in_.limit(), [&](std::uint32_t id, std::size_t) {
            if (id == makeId("COLR"))
                surface.colour = colourFromFloats(in_.vec12());
        });
    }

    // Applies the values of a TXUV, RGB or RGBA map to a vertex; other maps (and maps
    // of too few dimensions for their kind) are read and ignored.
    static bool applies(std::uint32_t type, std::size_t dimension)
    {
        return (type == makeId("TXUV") && dimension == 2) || (type == makeId("RGB ") && dimension >= 3) ||
               (type == makeId("RGBA") && dimension >= 4);
    }

    static void apply(std::uint32_t type, const std::vector<float>& q, Vertex& vertex)
    {
        if (type == makeId("TXUV")) {
            vertex.u = q[0];
            vertex.v = 1.0f - q[1];
        } else {
            vertex.colour[0] = q[0];
            vertex.colour[1] = q[1];
            vertex.colour[2] = q[2];
            vertex.colour[3] = type == makeId("RGBA") ? q[3] : 1.0f;
        }
    }

    void readValues(std::vector<float>& values)
    {
        for (float& value : values)
            value = in_.f4();
    }

    void vertexMap()
    {
        VertexMapInfo info;
        const std::uint32_t type = in_.id4();
        info.type = idText(type);
        info.dimension = in_.u2();
        info.name = in_.s0();
        vertexMapNames_.push_back(info.name);
        std::vector<float> values(static_cast<std::size_t>(info.dimension));
        const bool used = applies(type, values.size());
        while (in_.remaining() > 0) {
            const std::uint32_t vertex = point();
            readValues(values);
            if (used)
                apply(type, values, object_.vertices[vertex]);
            ++info.entries;
        }
        Console::print("VMAP %s %s %d\n", info.type.c_str(), info.name.c_str(), info.entries);
        object_.vertexMaps.push_back(info);
    }

    // A per-polygon map gives a point other values in some polygons: those polygons get a
    // copy of the point with the values applied. Equal values share one copy.
    void perPolygonMap()
    {
        VertexMapInfo info;
        info.perPolygon = true;
        const std::uint32_t type = in_.id4();
        info.type = idText(type);
        info.dimension = in_.u2();
        info.name = in_.s0();
        bool known = false;
        for (const std::string& name : vertexMapNames_)
            known = known || name == info.name;
        if (!known)
            return;
        std::vector<float> values(static_cast<std::size_t>(info.dimension));
        const bool used = applies(type, values.size());
        // Each entry can add one vertex and takes two indices and the values at least.
        if (used)
            reserveMore(object_.vertices, in_.remaining() / (4 + 4 * values.size()));
        while (in_.remaining() > 0) {
            const std::uint32_t source = point();
            const std::int32_t polygon = polygonIndex();
            readValues(values);
            ++info.entries;
            if (used)
                split(type, source, polygons_[static_cast<std::size_t>(polygon)], values);
        }
        Console::print("VMAD %s %s %d\n", info.type.c_str(), info.name.c_str(), info.entries);
        object_.vertexMaps.push_back(info);
    }

    void split(std::uint32_t type, std::uint32_t source, const Polygon& polygon, const std::vector<float>& values)
    {
        std::vector<Split>& made = splits_[source];
        std::int32_t copy = -1;
        for (const Split& earlier : made)
            if (earlier.values == values)
                copy = earlier.vertex;
        if (copy < 0) {
            Vertex vertex = object_.vertices[source];
            vertex.corner = -1;
            apply(type, values, vertex);
            copy = static_cast<std::int32_t>(object_.vertices.size());
            object_.vertices.push_back(vertex);
            made.push_back({copy, values});
            ++object_.splitVertices;
        }
        for (std::int32_t t = 0; t < polygon.triangleCount; ++t) {
            Triangle& triangle = object_.triangles[static_cast<std::size_t>(polygon.firstTriangle + t)];
            for (std::int32_t& corner : triangle.v)
                if (corner == static_cast<std::int32_t>(source))
                    corner = copy;
        }
    }

    // A polygon may name a tag that has no SURF chunk: it still gets a surface of that
    // name (black), so every triangle's surface exists.
    void nameTaggedSurfaces()
    {
        for (std::size_t tag = 0; tag < tagUses_.size(); ++tag) {
            if (tagUses_[tag] == 0)
                continue;
            growSurfaces(tag + 1);
            if (object_.surfaces[tag].name.empty())
                object_.surfaces[tag].name = tags_[tag];
        }
    }

    ChunkReader& in_;
    LWObject& object_;
    int pntsCount_ = 0;
    int polsCount_ = 0;
    int tagsCount_ = 0;
    // The polygons of the latest POLS chunk; current while that chunk belongs to the
    // first layer (its PTAG and VMAD chunks follow it).
    std::vector<Polygon> polygons_;
    bool polygonsCurrent_ = false;
    std::size_t pointCount_ = 0;
    std::vector<std::string> tags_;
    // For each tag, the triangles that have it as their surface now.
    std::vector<std::int32_t> tagUses_;
    std::vector<std::string> vertexMapNames_;
    std::unordered_map<std::uint32_t, std::vector<Split>> splits_;
};

}  // namespace

void readLwo2(ChunkReader& in, std::size_t formEnd, LWObject& object)
{
    Lwo2Reader(in, object).read(formEnd);
}

}  // namespace mirva
