#include "tools/outline_extrusion.h"

#include <GL/glu.h>

#include <array>
#include <cstdint>
#include <map>

#include "io/console.h"

namespace mirva {

namespace {

using Indices = std::vector<std::uint32_t>;

// The tessellator hands back, for each vertex, the pointer it was given: here the
// point's index plus one (so that no point is a null pointer).
void* tag(std::size_t index)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index + 1));
}

std::uint32_t untag(void* data)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data) - 1);
}

// What a pass collects. The callbacks never leave the tessellator by a fatal error (it is
// C code in the middle of its work); they note the first problem, and the pass reports
// it once the tessellator is done.
struct PassData {
    std::vector<OutlinePoint>* points = nullptr;
    std::vector<Indices> runs;   // contours (boundary pass) or one list of corners
    std::string problem;
};

PassData& passOf(void* polygonData)
{
    return *static_cast<PassData*>(polygonData);
}

void GLAPIENTRY beginRun(GLenum, void* polygonData)
{
    passOf(polygonData).runs.emplace_back();
}

void GLAPIENTRY addVertex(void* vertexData, void* polygonData)
{
    passOf(polygonData).runs.back().push_back(untag(vertexData));
}

void GLAPIENTRY noEdgeFlag(GLboolean, void*)
{
    // Asking for edge flags makes the tessellator give separate triangles only.
}

void GLAPIENTRY noteError(GLenum code, void* polygonData)
{
    PassData& pass = passOf(polygonData);
    if (pass.problem.empty())
        pass.problem = reinterpret_cast<const char*>(gluErrorString(code));
}

// Where contours cross, the boundary gets a new point.
void GLAPIENTRY addCrossing(GLdouble coords[3], void*[4], GLfloat[4], void** outData, void* polygonData)
{
    std::vector<OutlinePoint>& points = *passOf(polygonData).points;
    points.push_back({static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *outData = tag(points.size() - 1);
}

// The clean boundary only touches itself at shared points; anything else would need a
// point that the walls don't have.
void GLAPIENTRY mergeTouching(GLdouble coords[3], void* vertexData[4], GLfloat weight[4], void** outData,
                              void* polygonData)
{
    PassData& pass = passOf(polygonData);
    for (int k = 0; k < 4; ++k) {
        if (!vertexData[k] || weight[k] == 0.0f)
            continue;
        const OutlinePoint p = (*pass.points)[untag(vertexData[k])];
        if ((p.x != coords[0] || p.y != coords[1]) && pass.problem.empty())
            pass.problem = "the cleaned outline still crosses itself";
    }
    *outData = vertexData[0];
}

class Tessellator {
public:
    Tessellator(const std::string& tool, bool boundaryOnly) : tool_(tool), tess_(gluNewTess())
    {
        if (!tess_)
            Console::fatal(tool + ": no memory for the outline tessellator");
        gluTessNormal(tess_, 0, 0, 1);
        gluTessProperty(tess_, GLU_TESS_BOUNDARY_ONLY, boundaryOnly ? GL_TRUE : GL_FALSE);
        gluTessProperty(tess_, GLU_TESS_WINDING_RULE, boundaryOnly ? GLU_TESS_WINDING_NONZERO : GLU_TESS_WINDING_ODD);
        callback(GLU_TESS_BEGIN_DATA, beginRun);
        callback(GLU_TESS_VERTEX_DATA, addVertex);
        callback(GLU_TESS_ERROR_DATA, noteError);
        if (boundaryOnly) {
            callback(GLU_TESS_COMBINE_DATA, addCrossing);
        } else {
            callback(GLU_TESS_COMBINE_DATA, mergeTouching);
            callback(GLU_TESS_EDGE_FLAG_DATA, noEdgeFlag);
        }
    }
    ~Tessellator() { gluDeleteTess(tess_); }
    Tessellator(const Tessellator&) = delete;
    Tessellator& operator=(const Tessellator&) = delete;

    // The tessellator's runs over `contours` of `points`, which may grow by the points
    // it makes.
    std::vector<Indices> run(std::vector<OutlinePoint>& points, const std::vector<Indices>& contours)
    {
        // The coordinates must stay put until the polygon ends.
        std::vector<std::array<GLdouble, 3>> at(points.size());
        for (std::size_t i = 0; i < points.size(); ++i)
            at[i] = {points[i].x, points[i].y, 0.0};
        PassData pass;
        pass.points = &points;
        gluTessBeginPolygon(tess_, &pass);
        for (const Indices& contour : contours) {
            gluTessBeginContour(tess_);
            for (std::uint32_t i : contour)
                gluTessVertex(tess_, at[i].data(), tag(i));
            gluTessEndContour(tess_);
        }
        gluTessEndPolygon(tess_);
        if (!pass.problem.empty())
            Console::fatal(tool_ + ": tessellating the outline failed: " + pass.problem);
        return pass.runs;
    }

private:
    template <typename Function>
    void callback(GLenum which, Function* function)
    {
        gluTessCallback(tess_, which, reinterpret_cast<_GLUfuncptr>(function));
    }

    std::string tool_;
    GLUtesselator* tess_;
};

// The boundary's points renumbered in the order the contours first use them (points the
// merge left out are dropped); contours are renumbered in place.
std::vector<OutlinePoint> keepUsed(const std::vector<OutlinePoint>& points, std::vector<Indices>& contours)
{
    std::map<std::uint32_t, std::uint32_t> renumbered;
    std::vector<OutlinePoint> used;
    for (Indices& contour : contours)
        for (std::uint32_t& i : contour) {
            const auto [found, added] = renumbered.try_emplace(i, static_cast<std::uint32_t>(used.size()));
            if (added)
                used.push_back(points[i]);
            i = found->second;
        }
    return used;
}

}  // namespace

ObjectWriter extrudeOutline(const std::vector<Contour>& outline, const ExtrusionDesc& desc, const std::string& tool)
{
    std::vector<OutlinePoint> points;
    std::vector<Indices> contours;
    for (const Contour& contour : outline) {
        Indices& indices = contours.emplace_back();
        for (const OutlinePoint& p : contour) {
            indices.push_back(static_cast<std::uint32_t>(points.size()));
            points.push_back(p);
        }
    }
    contours = Tessellator(tool, true).run(points, contours);
    points = keepUsed(points, contours);
    const std::vector<Indices> corners = Tessellator(tool, false).run(points, contours);
    if (corners.empty() || corners.front().empty())
        Console::fatal(tool + ": the outline encloses nothing");

    ObjectWriter writer;
    const int front = writer.addSurface(desc.front.name, desc.front.red, desc.front.green, desc.front.blue);
    const int back = writer.addSurface(desc.back.name, desc.back.red, desc.back.green, desc.back.blue);
    const int side = writer.addSurface(desc.side.name, desc.side.red, desc.side.green, desc.side.blue);
    for (const float z : {0.0f, desc.depth})
        for (const OutlinePoint& p : points)
            writer.addPoint(p.x, p.y, z);
    const auto n = static_cast<std::uint32_t>(points.size());
    // The solid lies left of a boundary edge a -> b, so the wall's outward normal is
    // (b - a) x (0, 0, 1): the wall a, b, b', a' has it.
    for (const Indices& contour : contours)
        for (std::size_t k = 0; k < contour.size(); ++k) {
            const std::uint32_t a = contour[k], b = contour[(k + 1) % contour.size()];
            writer.addPolygon({a, b, b + n, a + n}, side);
        }
    // The tessellator's triangles run counter-clockwise about +z, the way the back faces.
    for (const Indices& list : corners)
        for (std::size_t k = 0; k + 2 < list.size(); k += 3)
            writer.addPolygon({list[k], list[k + 2], list[k + 1]}, front);
    for (const Indices& list : corners)
        for (std::size_t k = 0; k + 2 < list.size(); k += 3)
            writer.addPolygon({list[k] + n, list[k + 1] + n, list[k + 2] + n}, back);

    std::vector<ObjectWriter::MapEntry> uv;
    for (std::uint32_t i = 0; i < 2 * n; ++i) {
        const OutlinePoint& p = points[i % n];
        uv.push_back({i, -1, {p.x / desc.uvUnit, p.y / desc.uvUnit}});
    }
    writer.addVertexMap("TXUV", "Planar", 2, uv);
    return writer;
}

}  // namespace mirva
