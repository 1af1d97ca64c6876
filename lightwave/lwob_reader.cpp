// The older LWOB form: points ("PNTS") and surface names ("SRFS") in a first pass over
// the chunks, then polygons with their surfaces ("POLS") and the surface colours
// ("SURF") in a second.
#include "io/console.h"
#include "lightwave/lwo_readers.h"

namespace mirva {

namespace {

class LwobReader {
public:
    LwobReader(ChunkReader& in, LWObject& object) : in_(in), object_(object) {}

    void read(std::size_t formEnd)
    {
        const std::size_t start = in_.position();
        in_.forEachChunk(formEnd, [this](std::uint32_t id, std::size_t) {
            if (id == makeId("PNTS"))
                readPoints(in_, in_.remaining() / 12, object_);
            else if (id == makeId("SRFS"))
                surfaceNames();
        });
        in_.seek(start);
        in_.forEachChunk(formEnd, [this](std::uint32_t id, std::size_t) {
            if (id == makeId("POLS"))
                polygons();
            else if (id == makeId("SURF"))
                surface();
        });
    }

private:
    void surfaceNames()
    {
        while (in_.remaining() > 0) {
            ObjectSurface surface;
            surface.name = in_.s0();
            object_.surfaces.push_back(surface);
        }
    }

    // Each polygon: U2 point count, the U2 point indices, I2 surface. A negative surface
    // announces detail polygons, which are read past.
    void polygons()
    {
        std::vector<std::uint32_t> points;
        int polygon = 0;
        while (in_.remaining() > 0) {
            const int n = in_.u2();
            if (n > kMaxPolygonPoints)
                in_.fail("polygon " + std::to_string(polygon) + " has " + std::to_string(n) + " points (at most " +
                         std::to_string(kMaxPolygonPoints) + ")");
            points.clear();
            for (int i = 0; i < n; ++i) {
                const std::uint32_t index = in_.u2();
                if (n >= 3 && index >= object_.vertices.size())
                    in_.fail("point index " + std::to_string(index) + " out of range (" +
                             std::to_string(object_.vertices.size()) + " points)");
                points.push_back(index);
            }
            const int s = in_.i2();
            if (n >= 3) {
                const int surface = (s < 0 ? -s : s) - 1;
                if (surface < 0 || surface >= static_cast<int>(object_.surfaces.size()))
                    in_.fail("polygon " + std::to_string(polygon) + " has surface " + std::to_string(s) + " (" +
                             std::to_string(object_.surfaces.size()) + " surfaces in SRFS)");
                addPolygon(object_, points, surface);
            }
            if (s < 0)
                skipDetailPolygons();
            ++polygon;
        }
    }

    void skipDetailPolygons()
    {
        const int count = in_.u2();
        for (int i = 0; i < count; ++i) {
            const int m = in_.u2();
            in_.skip(2 * static_cast<std::size_t>(m) + 2);
        }
    }

    void surface()
    {
        const std::string name = in_.s0();
        for (ObjectSurface& surface : object_.surfaces) {
            if (surface.name != name)
                continue;
            in_.forEachSubChunk(in_.limit(), [&](std::uint32_t id, std::size_t) {
                if (id == makeId("COLR")) {
                    const std::uint32_t r = in_.u1();
                    const std::uint32_t g = in_.u1();
                    const std::uint32_t b = in_.u1();
                    surface.colour = 0xFF000000u | r << 16 | g << 8 | b;
                }
            });
            return;
        }
    }

    ChunkReader& in_;
    LWObject& object_;
};

}  // namespace

void readLwob(ChunkReader& in, std::size_t formEnd, LWObject& object)
{
    LwobReader(in, object).read(formEnd);
}

}  // namespace mirva
