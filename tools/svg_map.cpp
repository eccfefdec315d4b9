#include "svg_map.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <vector>

#include "polygonize_pieces.h"
#include "tool_error.h"

namespace lwtool {

namespace {

constexpr double kDrawingWidth = 900;  // the larger side of the drawing fits 900 x 700 pixels
constexpr double kDrawingHeight = 700;
constexpr double kPad = 12;
constexpr double kTitleHeight = 24;
constexpr double kScaleBarHeight = 30;
constexpr double kLegendWidth = 250;
constexpr double kLegendHeight = 179;

// Error point colours by flag: 0 open chain, 1 crossing, 2 turning point,
// 3 collapsed face.
constexpr int kFlags = 4;
const char* const kFlagColour[kFlags] = {"#d7191c", "#7b3294", "#fd8d3c", "#2b83ba"};
const char* const kFlagName[kFlags] = {"chain ends (flag 0)", "crossings (flag 1)", "turning points (flag 2)",
                                       "collapsed faces (flag 3)"};
constexpr const char* kDangleColour = "#fd8d3c";

std::string Format(const char* format, double a, double b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

struct Pixel {
    long x, y;
    bool operator==(const Pixel& other) const { return x == other.x && y == other.y; }
};

// From the library's coordinates to the picture's: scaled, y turned to grow
// upwards, below the title.
class Projection {
public:
    explicit Projection(const Extent& extent) : extent_(extent) {
        const double width = extent.maxX - extent.minX, height = extent.maxY - extent.minY;
        scale_ = width > 0 || height > 0 ? std::min(width > 0 ? kDrawingWidth / width : HUGE_VAL,
                                                    height > 0 ? kDrawingHeight / height : HUGE_VAL)
                                         : 1;
    }
    double Width() const { return 2 * kPad + (extent_.maxX - extent_.minX) * scale_; }
    double Height() const { return 2 * kPad + (extent_.maxY - extent_.minY) * scale_; }
    double PixelsPerUnit() const { return scale_; }
    // The pixel a point falls in.
    Pixel PixelOf(double x, double y) const {
        return {std::lround(kPad + (x - extent_.minX) * scale_),
                std::lround(kTitleHeight + kPad + (extent_.maxY - y) * scale_)};
    }

private:
    Extent extent_;
    double scale_;
};

// Subpaths in whole pixels, the precision the picture shows, each step
// relative to the last: a point that falls on the one before it is left out,
// and a line shorter than a pixel or a ring of less than two square pixels,
// which the strokes around it cover anyway, goes altogether. So a drawing of
// a million faces, most smaller than a pixel, stays a few megabytes.
class PathData {
public:
    explicit PathData(const Projection& projection) : projection_(projection) {}

    void Ring(const Path& path) { Add(path, true); }
    void Line(const Path& path) { Add(path, false); }
    bool Empty() const { return d_.empty(); }
    const std::string& Text() const { return d_; }

private:
    void Add(const Path& path, bool closed) {
        if (path.empty()) return;
        std::vector<Pixel> pixels{projection_.PixelOf(path.front().sx, path.front().sy)};
        for (const ElementCopy& e : path) {
            const Pixel pixel = projection_.PixelOf(e.ex, e.ey);
            if (!(pixel == pixels.back())) pixels.push_back(pixel);
        }
        if (closed ? TwiceArea(pixels) < 4 : pixels.size() < 2) return;
        if (!d_.empty()) d_ += ' ';
        d_ += "M" + std::to_string(pixels.front().x) + " " + std::to_string(pixels.front().y);
        for (std::size_t i = 1; i < pixels.size(); ++i) {
            d_ += (i == 1 ? "l" : " ") + std::to_string(pixels[i].x - pixels[i - 1].x) + " " +
                  std::to_string(pixels[i].y - pixels[i - 1].y);
        }
        if (closed) d_ += "z";
    }

    static long TwiceArea(const std::vector<Pixel>& ring) {
        long twice = 0;
        for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            twice += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
        }
        return twice < 0 ? -twice : twice;
    }

    const Projection& projection_;
    std::string d_;
};

struct Counts {
    int faces = 0, boundaries = 0, dangles = 0;
    int flags[kFlags] = {};
};

bool AlongFrame(const Path& path, int frameKey1) {
    return std::any_of(path.begin(), path.end(), [&](const ElementCopy& e) { return e.key1 == frameKey1; });
}

// The faces go into one path per colour, with the even-odd rule cutting out
// their holes (an island's own face, inside its hole, is filled again): a
// path element per face would cost more than its coordinates.
class SvgWriter {
public:
    SvgWriter(std::ostream& out, const Projection& projection)
        : out_(out), projection_(projection), boundaries_(projection), dangles_(projection) {}

    void Area(const AreaFeature& area, int frameKey1, Counts& counts) {
        const Path outer = PathOf(*area.outer.polygon);
        if (!IsEnclosedFace(*area.outer.polygon)) {
            ++counts.boundaries;
            boundaries_.Ring(outer);
            return;
        }
        ++counts.faces;
        // Successive golden-angle steps around the colour wheel keep
        // neighbours apart; twelve hues keep the paths few.
        const double hue = 30 * std::floor(std::fmod(area.outer.index * 137.508, 360.0) / 30);
        const std::string fill = AlongFrame(outer, frameKey1) ? "#fff" : "hsl(" + Format("%.0f", hue) + ",65%,82%)";
        PathData& d = faces_.emplace(fill, PathData(projection_)).first->second;
        d.Ring(outer);
        for (COutputLoopweave* hole : area.holes) d.Ring(PathOf(*hole));
    }

    void Dangle(const LineFeature& line, Counts& counts) {
        ++counts.dangles;
        dangles_.Line(line.path);
    }

    // The areas and lines gathered, beneath the points drawn after them.
    void Paths() {
        for (const auto& [fill, d] : faces_) {
            if (d.Empty()) continue;
            out_ << "<path class=\"face\" fill=\"" << fill << "\" fill-rule=\"evenodd\" stroke=\"#777\""
                 << " stroke-width=\"0.6\" d=\"" << d.Text() << "\"/>\n";
        }
        if (!boundaries_.Empty()) {
            out_ << "<path class=\"boundary\" fill=\"none\" stroke=\"#222\" stroke-width=\"1.6\" d=\""
                 << boundaries_.Text() << "\"/>\n";
        }
        if (!dangles_.Empty()) {
            out_ << "<path class=\"dangle\" fill=\"none\" stroke=\"" << kDangleColour
                 << "\" stroke-width=\"2.5\" stroke-linecap=\"round\" d=\"" << dangles_.Text() << "\"/>\n";
        }
    }

    void Error(const ErrorPoint& point, Counts& counts) {
        if (point.flag < 0 || point.flag >= kFlags) return;
        ++counts.flags[point.flag];
        const Pixel at = projection_.PixelOf(point.x, point.y);
        out_ << "<circle class=\"error flag-" << point.flag << "\" cx=\"" << at.x << "\" cy=\"" << at.y
             << "\" r=\"3.5\" fill=\"" << kFlagColour[point.flag] << "\" stroke=\"#000\" stroke-width=\"0.5\"/>\n";
    }

    // The label lies inside its face: its point is where the text starts.
    void Label(OGRFeatureH label, int field, const CoordinateFrame& frame) {
        if (!OGR_F_IsFieldSetAndNotNull(label, field)) return;
        OGRGeometryH point = OGR_F_GetGeometryRef(label);
        const Pixel at =
            projection_.PixelOf(frame.ToLibraryX(OGR_G_GetX(point, 0)), frame.ToLibraryY(OGR_G_GetY(point, 0)));
        out_ << "<text class=\"label\" x=\"" << at.x << "\" y=\"" << at.y
             << "\" font-family=\"sans-serif\" font-size=\"11\">" << Escaped(OGR_F_GetFieldAsString(label, field))
             << "</text>\n";
    }

    void Title(const std::string& title) {
        out_ << "<text class=\"title\" x=\"" << kPad << "\" y=\"" << kPad + 8
             << "\" font-family=\"sans-serif\" font-size=\"15\">" << Escaped(title) << "</text>\n";
    }

    // A bar of a round length in input units (1, 2 or 5 times a power of
    // ten), about a sixth of the drawing wide, named in them.
    void ScaleBar(const CoordinateFrame& frame, const std::string& unitName, double bottom) {
        const double pixelsPerInputUnit = projection_.PixelsPerUnit() * std::ldexp(1.0, frame.ScaleExponent());
        const double wanted = kDrawingWidth / 6 / pixelsPerInputUnit;
        const double power = std::pow(10.0, std::floor(std::log10(wanted)));
        const double length = wanted >= 5 * power ? 5 * power : wanted >= 2 * power ? 2 * power : power;
        const double pixels = length * pixelsPerInputUnit;
        const double y = bottom - 10;
        out_ << "<g class=\"scale\" font-family=\"sans-serif\" font-size=\"12\">\n"
             << "<rect x=\"" << kPad << "\" y=\"" << Format("%.1f", y - 4) << "\" width=\"" << Format("%.1f", pixels)
             << "\" height=\"4\" fill=\"#222\"/>\n"
             << "<text x=\"" << Format("%.1f", kPad + pixels + 6) << "\" y=\"" << Format("%.1f", y) << "\">"
             << Format("%g", length) << " " << Escaped(unitName) << "</text>\n</g>\n";
    }

    void Legend(const Counts& counts, double x) {
        out_ << "<g class=\"legend\" font-family=\"sans-serif\" font-size=\"13\">\n"
             << "<rect x=\"" << x << "\" y=\"" << kTitleHeight + kPad << "\" width=\"" << kLegendWidth - kPad
             << "\" height=\"" << kLegendHeight << "\" fill=\"#fff\" stroke=\"#999\"/>\n";
        double y = kTitleHeight + kPad + 22;
        auto line = [&](const std::string& swatch, const std::string& text, int count) {
            out_ << swatch << "<text x=\"" << x + 34 << "\" y=\"" << y << "\">" << text << ": " << count << "</text>\n";
            y += 19;
        };
        const std::string at = "x=\"" + Format("%.0f", x + 10) + "\"";
        auto bar = [&](const std::string& paint) {
            return "<rect " + at + " y=\"" + Format("%.0f", y - 10) + "\" width=\"18\" height=\"10\" " + paint + "/>";
        };
        auto dot = [&](const char* colour) {
            return "<circle cx=\"" + Format("%.0f", x + 19) + "\" cy=\"" + Format("%.0f", y - 5) + "\" r=\"4\" fill=\"" +
                   colour + "\" stroke=\"#000\" stroke-width=\"0.5\"/>";
        };
        line(bar("fill=\"hsl(137,65%,82%)\" stroke=\"#777\""), "enclosed faces", counts.faces);
        line(bar("fill=\"none\" stroke=\"#222\" stroke-width=\"1.6\""), "outer boundaries", counts.boundaries);
        line(bar(std::string("fill=\"") + kDangleColour + "\""), "dangles", counts.dangles);
        for (int flag = 0; flag < kFlags; ++flag) line(dot(kFlagColour[flag]), kFlagName[flag], counts.flags[flag]);
        out_ << "</g>\n";
    }

private:
    std::ostream& out_;
    const Projection& projection_;
    std::map<std::string, PathData> faces_;  // by fill
    PathData boundaries_, dangles_;
};

void AddToExtent(const Path& path, Extent& extent) {
    for (const ElementCopy& e : path) {
        extent.Add(e.sx, e.sy);
        extent.Add(e.ex, e.ey);
    }
}

Extent ExtentOf(const LayerContent& content) {
    Extent extent;
    for (const AreaFeature& area : content.areas) AddToExtent(PathOf(*area.outer.polygon), extent);
    for (const LineFeature& line : content.lines) AddToExtent(line.path, extent);
    return extent;
}

}  // namespace

void WriteSvg(const std::string& path, const std::string& writePath, const SvgSettings& settings,
              const LayerContent& content) {
    const Projection projection(ExtentOf(content));
    const double width = projection.Width() + kLegendWidth;
    const double height = kTitleHeight + std::max(projection.Height(), kLegendHeight + 2 * kPad) + kScaleBarHeight;
    std::ofstream out(writePath);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Format("%.0f", width) << "\" height=\""
        << Format("%.0f", height) << "\" viewBox=\"0 0 " << Format("%.0f %.0f", width, height) << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    SvgWriter writer(out, projection);
    Counts counts;
    writer.Title(settings.title);
    // Drawn in layers: areas first, then the lines and points that sit on them.
    for (const AreaFeature& area : content.areas) writer.Area(area, settings.frameKey1, counts);
    for (const LineFeature& line : content.lines) writer.Dangle(line, counts);
    writer.Paths();
    for (const ErrorPoint& point : content.errors) writer.Error(point, counts);
    if (settings.labels && settings.labelField >= 0) {
        for (std::size_t area = 0; area < content.areas.size(); ++area) {
            if (OGRFeatureH label = settings.labels->LabelOf(area)) writer.Label(label, settings.labelField, settings.frame);
        }
    }
    writer.ScaleBar(settings.frame, settings.unitName, height);
    writer.Legend(counts, projection.Width());
    out << "</svg>\n";
    out.close();
    if (!out) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace lwtool
