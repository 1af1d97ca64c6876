#include "tools/text_object.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <utility>

#include "io/console.h"

namespace mirva {

namespace {

struct Point {
    double x = 0, y = 0;
};

// A font face opened for outlines in font units, closed with its library.
class FontFace {
public:
    explicit FontFace(const std::string& file)
    {
        if (FT_Init_FreeType(&library_) != 0)
            Console::fatal("textobject: FreeType did not start");
        if (FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
            FT_Done_FreeType(library_);
            Console::fatal("textobject: couldn't read font '" + file + "'");
        }
    }
    ~FontFace()
    {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    FT_Face face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Collects a glyph's contours as polylines: lines as they are, each Bézier curve cut
// into equal steps of its parameter, enough that no chord strays more than `tolerance`
// from the curve. A chord over a parameter step h strays at most h^2 / 8 times the
// curve's largest second derivative.
class Flattener {
public:
    Flattener(std::vector<std::vector<Point>>& contours, double tolerance) : contours_(contours), tolerance_(tolerance) {}

    void decompose(FT_Outline& outline, double penX)
    {
        penX_ = penX;
        static const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
        FT_Outline_Decompose(&outline, &funcs, this);
    }

private:
    Point at(const FT_Vector* v) const { return {penX_ + static_cast<double>(v->x), static_cast<double>(v->y)}; }
    std::vector<Point>& contour() { return contours_.back(); }

    int steps(double secondDerivative) const
    {
        return std::max(1, static_cast<int>(std::ceil(std::sqrt(secondDerivative / (8 * tolerance_)))));
    }

    static Flattener& of(void* user) { return *static_cast<Flattener*>(user); }

    static int moveTo(const FT_Vector* to, void* user)
    {
        Flattener& self = of(user);
        self.contours_.emplace_back().push_back(self.at(to));
        return 0;
    }

    static int lineTo(const FT_Vector* to, void* user)
    {
        Flattener& self = of(user);
        self.contour().push_back(self.at(to));
        return 0;
    }

    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
    {
        Flattener& self = of(user);
        const Point p0 = self.contour().back(), p1 = self.at(control), p2 = self.at(to);
        const int n = self.steps(2 * std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, s = 1 - t;
            self.contour().push_back({s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
                                      s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
        }
        return 0;
    }

    static int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
    {
        Flattener& self = of(user);
        const Point p0 = self.contour().back(), p1 = self.at(control1), p2 = self.at(control2), p3 = self.at(to);
        const double bend = std::max(std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y),
                                     std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y));
        const int n = self.steps(6 * bend);
        for (int i = 1; i <= n; ++i) {
            const double t = static_cast<double>(i) / n, s = 1 - t;
            const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
            self.contour().push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
        }
        return 0;
    }

    std::vector<std::vector<Point>>& contours_;
    double tolerance_;
    double penX_ = 0;
};

// True when b adds nothing between a and c: it lies on them (a repeated point) or on the
// straight way from a to c.
bool redundant(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c)
{
    const double abx = b.x - a.x, aby = b.y - a.y, bcx = c.x - b.x, bcy = c.y - b.y;
    if ((abx == 0 && aby == 0) || (bcx == 0 && bcy == 0))
        return true;
    const double turn = abx * bcy - aby * bcx, along = abx * bcx + aby * bcy;
    return along > 0 && std::fabs(turn) <= 1e-9 * along;
}

// The contour without repeated points and points in the middle of straight runs.
Contour simplified(const Contour& points)
{
    Contour kept;
    for (const OutlinePoint& p : points) {
        while (!kept.empty() && kept.back().x == p.x && kept.back().y == p.y)
            kept.pop_back();
        while (kept.size() >= 2 && redundant(kept[kept.size() - 2], kept.back(), p))
            kept.pop_back();
        kept.push_back(p);
    }
    // Round the join between the end and the start.
    for (bool changed = true; changed && kept.size() >= 3;) {
        changed = false;
        if (redundant(kept[kept.size() - 2], kept.back(), kept.front())) {
            kept.pop_back();
            changed = true;
        } else if (redundant(kept.back(), kept.front(), kept[1])) {
            kept.erase(kept.begin());
            changed = true;
        }
    }
    return kept.size() >= 3 ? kept : Contour{};
}

}  // namespace

std::vector<Contour> textOutline(const TextObjectDesc& desc)
{
    if (!(desc.height > 0) || !(desc.depth > 0) || !(desc.flatness > 0) || desc.flatness > 0.1f)
        Console::fatal(formatText("textobject: bad text object (height %g, depth %g, flatness %g)",
                                  static_cast<double>(desc.height), static_cast<double>(desc.depth),
                                  static_cast<double>(desc.flatness)));
    const FontFace font(desc.fontFile);
    const FT_Face face = font.face();
    std::vector<std::vector<Point>> contours;
    Flattener flattener(contours, desc.flatness * face->units_per_EM);
    double penX = 0;
    FT_UInt previous = 0;
    for (const char c : desc.text) {
        const auto code = static_cast<unsigned char>(c);
        const FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            Console::fatal(formatText("textobject: '%s' has no outline for code %d", desc.fontFile.c_str(), code));
        FT_Vector kerning{0, 0};
        if (previous != 0 && FT_HAS_KERNING(face))
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNSCALED, &kerning);
        penX += static_cast<double>(kerning.x);
        flattener.decompose(face->glyph->outline, penX);
        penX += static_cast<double>(face->glyph->advance.x);
        previous = glyph;
    }

    Point low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
    for (const auto& contour : contours)
        for (const Point& p : contour) {
            low = {std::min(low.x, p.x), std::min(low.y, p.y)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y)};
        }
    if (!(high.y > low.y))
        Console::fatal("textobject: '" + desc.text + "' has no outline to extrude");
    const double scale = desc.height / (high.y - low.y);
    std::vector<Contour> outline;
    for (const auto& contour : contours) {
        Contour placed;
        for (const Point& p : contour)
            placed.push_back({static_cast<float>((p.x - low.x) * scale), static_cast<float>((p.y - low.y) * scale)});
        if (Contour kept = simplified(placed); !kept.empty())
            outline.push_back(std::move(kept));
    }
    return outline;
}

ObjectWriter makeTextObject(const TextObjectDesc& desc)
{
    ExtrusionDesc extrusion;
    extrusion.depth = desc.depth;
    extrusion.front = {"Front", 1.0f, 0.8f, 0.25f};
    extrusion.back = {"Back", 0.45f, 0.25f, 0.75f};
    extrusion.side = {"Side", 0.95f, 0.4f, 0.2f};
    extrusion.uvUnit = desc.height;
    ObjectWriter object = extrudeOutline(textOutline(desc), extrusion, "textobject");
    if (object.pointCount() > 65535)
        Console::fatal(formatText("textobject: '%s' needs %d points, more than 16-bit indices reach",
                                  desc.text.c_str(), object.pointCount()));
    return object;
}

std::vector<std::pair<std::string, TextObjectDesc>> showTextObjects(const std::string& fontDir)
{
    const std::string bold = (std::filesystem::path(fontDir) / "DejaVuSans-Bold.ttf").string();
    return {{kScrollTextFile, {.fontFile = bold, .text = "MIRVA  DEMO ENGINE  SCROLLS IN 3D"}}};
}

std::vector<std::string> writeTextObjectData(const std::string& dataDir, const std::string& fontDir)
{
    std::vector<std::string> written;
    for (const auto& [file, desc] : showTextObjects(fontDir)) {
        const std::filesystem::path path = std::filesystem::path(dataDir) / file;
        std::filesystem::create_directories(path.parent_path());
        makeTextObject(desc).write(path.string());
        written.push_back(file);
    }
    return written;
}

}  // namespace mirva
