#pragma once
// IffBytes and ObjectWriter: LightWave object files written in code, for tests and
// benchmarks whose geometry must be known exactly.
//
// ObjectWriter makes a whole one-layer object: points, polygons with surfaces (a tag and
// a SURF chunk with a colour each), vertex maps and per-polygon maps, as LWO2 or as the
// older LWOB. It also makes the test shapes: a box, a tetrahedron, a geodesic sphere, an
// open cylinder, a torus and a flat grid, every polygon wound so that
// (P1 - P0) x (Pn-1 - P0) points outwards.
//
// IffBytes writes the big-endian pieces of an IFF file one by one, for files that are
// broken on purpose.
//
// Does not: read objects, or write layers, envelopes, images or anything else.
#include <cstdint>
#include <string>
#include <vector>

namespace mirva {

class IffBytes {
public:
    IffBytes& id(const std::string& four);   // exactly four characters
    IffBytes& u1(std::uint32_t value);
    IffBytes& u2(std::uint32_t value);
    IffBytes& u4(std::uint32_t value);
    IffBytes& f4(float value);
    IffBytes& vec12(float x, float y, float z);
    IffBytes& s0(const std::string& text);   // zero-terminated, padded to an even length
    IffBytes& vx(std::uint32_t index);       // 2 bytes below 0xFF00, else 4
    IffBytes& raw(const std::vector<std::uint8_t>& bytes);
    // ID4, U4 size, the data and a pad byte when the size is odd.
    IffBytes& chunk(const std::string& id, const IffBytes& data);
    // ID4, U2 size, the data, padded.
    IffBytes& subChunk(const std::string& id, const IffBytes& data);

    // "FORM", size, type and the chunks.
    static std::vector<std::uint8_t> form(const std::string& type, const IffBytes& chunks);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

class ObjectWriter {
public:
    struct MapEntry {
        std::uint32_t point = 0;
        std::int32_t polygon = -1;   // per-polygon maps only
        std::vector<float> values;
    };

    // Returns the point's index (first = 0).
    int addPoint(float x, float y, float z);
    // Returns the surface's index (first = 0); colour components 0..1.
    int addSurface(const std::string& name, float red, float green, float blue);
    // Returns the polygon's index (first = 0).
    int addPolygon(const std::vector<std::uint32_t>& points, int surface = 0);
    // Gives a polygon written before another surface (e.g. the faces of a box).
    void setPolygonSurface(int polygon, int surface);
    // A map ("TXUV", "RGB ", "RGBA", ...) of one value set per point.
    void addVertexMap(const std::string& type, const std::string& name, int dimension,
                      const std::vector<MapEntry>& entries);
    // A per-polygon map of the same name and type as a vertex map written before it.
    void addPerPolygonMap(const std::string& type, const std::string& name, int dimension,
                          const std::vector<MapEntry>& entries);

    int pointCount() const { return static_cast<int>(points_.size() / 3); }
    int polygonCount() const { return static_cast<int>(polygons_.size()); }

    // TAGS, LAYR, PNTS, VMAP..., POLS FACE, PTAG SURF, VMAD..., SURF... in one FORM.
    std::vector<std::uint8_t> lwo2() const;
    // SRFS, PNTS, POLS (surfaces counted from 1), SURF with byte colours.
    std::vector<std::uint8_t> lwob() const;
    void write(const std::string& path, bool oldForm = false) const;

    // An axis-aligned box from (x0, y0, z0) to (x1, y1, z1) of six quads.
    static ObjectWriter box(float x0, float y0, float z0, float x1, float y1, float z1);
    // The regular tetrahedron with corners (1, 1, 1), (1, -1, -1), (-1, 1, -1), (-1, -1, 1).
    static ObjectWriter tetrahedron();
    // An icosahedron whose triangles are cut `steps` times into four, every point pushed
    // out onto the sphere of `radius` around the origin.
    static ObjectWriter geodesicSphere(float radius, int steps);
    // An open tube of `around` points per ring and `rings` rings along y from 0 to
    // `height`; every second ring is turned by half a step, so the triangles are nearly
    // equilateral when height / (rings - 1) is about radius * 2pi / around * 0.87.
    static ObjectWriter cylinder(float radius, float height, int around, int rings);
    // A torus around the y axis: ring radius `major`, tube radius `minor`, `around` x
    // `tube` quads.
    static ObjectWriter torus(float major, float minor, int around, int tube);
    // A flat grid in the plane y = 0 of `columns` x `rows` square quads of side `cell`,
    // from the origin along +x and +z, every quad facing +y: (columns + 1) x (rows + 1)
    // points, points and quads numbered row by row.
    static ObjectWriter grid(int columns, int rows, float cell = 1.0f);

private:
    struct Polygon {
        std::vector<std::uint32_t> points;
        int surface = 0;
    };
    struct Map {
        std::string type;
        std::string name;
        int dimension = 0;
        std::vector<MapEntry> entries;
        bool perPolygon = false;
    };
    struct SurfaceSpec {
        std::string name;
        float colour[3] = {0, 0, 0};
    };

    void ensureSurface();

    std::vector<float> points_;
    std::vector<Polygon> polygons_;
    std::vector<SurfaceSpec> surfaces_;
    std::vector<Map> maps_;
};

}  // namespace mirva
