#include "svg_map.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <tuple>

#include "extent.h"
#include "tool_error.h"

namespace lwtool {

namespace {

constexpr double kDrawingWidth = 900;  // the larger side of the drawing fits 900 x 700 pixels
constexpr double kDrawingHeight = 700;
constexpr double kPad = 12;
constexpr double kLegendWidth = 250;
constexpr double kLegendHeight = 160;

// Error point colours by flag: 0 open chain, 1 crossing, 2 turning point.
const char* const kFlagColour[] = {"#d7191c", "#7b3294", "#fd8d3c"};
const char* const kFlagName[] = {"chain ends (flag 0)", "crossings (flag 1)", "turning points (flag 2)"};
constexpr const char* kReturnColour = "#fd8d3c";
constexpr const char* kOpenColour = "#d7191c";

std::string Format(const char* format, double a, double b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// From the drawing's coordinates to the picture's: scaled, y turned to grow upwards.
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
    std::string Point(double x, double y) const {
        return Format("%.2f %.2f", kPad + (x - extent_.minX) * scale_, kPad + (extent_.maxY - y) * scale_);
    }

private:
    Extent extent_;
    double scale_;
};

// The path along a chain: its starts, then the last end; Z closes a closed one.
std::string ChainPath(const Projection& projection, COutputLoopweave& polygon) {
    const std::vector<CLoopweaveElement*> chain = ChainOf(polygon);
    std::string d;
    for (CLoopweaveElement* element : chain)
        d += (d.empty() ? "M" : " L") + projection.Point(element->Sx(), element->Sy());
    if (chain.empty()) return d;
    d += polygon.Critical() ? " L" + projection.Point(chain.back()->Ex(), chain.back()->Ey()) : " Z";
    return d;
}

// The elements whose reverse is also on the chain: where it runs out and back.
std::vector<CLoopweaveElement*> BackAndForth(COutputLoopweave& polygon) {
    struct Side {
        std::tuple<double, double, double, double> ends;  // lower end first
        bool forward;
        CLoopweaveElement* element;
    };
    std::vector<Side> sides;
    for (CLoopweaveElement* e : ChainOf(polygon)) {
        const bool forward = std::make_pair(e->Sx(), e->Sy()) < std::make_pair(e->Ex(), e->Ey());
        sides.push_back({forward ? std::make_tuple(e->Sx(), e->Sy(), e->Ex(), e->Ey())
                                 : std::make_tuple(e->Ex(), e->Ey(), e->Sx(), e->Sy()),
                         forward, e});
    }
    std::stable_sort(sides.begin(), sides.end(), [](const Side& a, const Side& b) { return a.ends < b.ends; });
    std::vector<CLoopweaveElement*> runs;
    for (std::size_t first = 0, last = 0; first < sides.size(); first = last) {
        bool forward = false, backward = false;
        for (last = first; last < sides.size() && sides[last].ends == sides[first].ends; ++last) {
            (sides[last].forward ? forward : backward) = true;
        }
        if (forward && backward) runs.push_back(sides[first].element);
    }
    return runs;
}

struct Counts {
    int faces = 0, boundaries = 0, runs = 0, open = 0;
    int flags[3] = {0, 0, 0};
};

class SvgWriter {
public:
    SvgWriter(std::ostream& out, const Projection& projection) : out_(out), projection_(projection) {}

    void Polygon(const SelectedPolygon& selected, Counts& counts) {
        COutputLoopweave& polygon = *selected.polygon;
        if (polygon.Count() == 0) return;
        const std::string d = ChainPath(projection_, polygon);
        if (polygon.Critical()) {
            ++counts.open;
            out_ << "<path class=\"open\" fill=\"none\" stroke=\"" << kOpenColour
                 << "\" stroke-width=\"2\" stroke-dasharray=\"5 3\" d=\"" << d << "\"/>\n";
        } else if (IsEnclosedFace(polygon)) {
            ++counts.faces;
            // Successive golden-angle steps around the colour wheel keep neighbours apart.
            const double hue = std::fmod(selected.index * 137.508, 360.0);
            out_ << "<path class=\"face\" fill=\"hsl(" << Format("%.0f", hue, 0) << ",65%,82%)\" stroke=\"#777\""
                 << " stroke-width=\"0.6\" d=\"" << d << "\"/>\n";
        } else {
            ++counts.boundaries;
            out_ << "<path class=\"boundary\" fill=\"none\" stroke=\"#222\" stroke-width=\"1.6\" d=\"" << d << "\"/>\n";
        }
    }

    void Runs(COutputLoopweave& polygon, Counts& counts) {
        const std::vector<CLoopweaveElement*> runs = BackAndForth(polygon);
        if (runs.empty()) return;
        ++counts.runs;
        std::string d;
        for (CLoopweaveElement* e : runs) {
            d += (d.empty() ? "M" : " M") + projection_.Point(e->Sx(), e->Sy()) + " L" +
                 projection_.Point(e->Ex(), e->Ey());
        }
        out_ << "<path class=\"return\" fill=\"none\" stroke=\"" << kReturnColour
             << "\" stroke-width=\"3\" stroke-linecap=\"round\" d=\"" << d << "\"/>\n";
    }

    void ErrorPoints(COutputLoopweave& polygon, Counts& counts) {
        for (CCoord* point : ErrorPointsOf(polygon)) {
            const int flag = point->Flag();
            if (flag < 0 || flag > 2) continue;
            ++counts.flags[flag];
            const std::string at = projection_.Point(point->X(), point->Y());
            const std::string::size_type space = at.find(' ');
            out_ << "<circle class=\"error flag-" << flag << "\" cx=\"" << at.substr(0, space) << "\" cy=\""
                 << at.substr(space + 1) << "\" r=\"3.5\" fill=\"" << kFlagColour[flag]
                 << "\" stroke=\"#000\" stroke-width=\"0.5\"/>\n";
        }
    }

    void Legend(const Counts& counts, double x) {
        out_ << "<g class=\"legend\" font-family=\"sans-serif\" font-size=\"13\">\n"
             << "<rect x=\"" << x << "\" y=\"" << kPad << "\" width=\"" << kLegendWidth - kPad << "\" height=\""
             << kLegendHeight << "\" fill=\"#fff\" stroke=\"#999\"/>\n";
        double y = kPad + 22;
        auto line = [&](const std::string& swatch, const std::string& text, int count) {
            out_ << swatch << "<text x=\"" << x + 34 << "\" y=\"" << y << "\">" << text << ": " << count << "</text>\n";
            y += 19;
        };
        const std::string at = "x=\"" + Format("%.0f", x + 10, 0) + "\"";
        auto bar = [&](const std::string& paint) {
            return "<rect " + at + " y=\"" + Format("%.0f", y - 10, 0) + "\" width=\"18\" height=\"10\" " + paint +
                   "/>";
        };
        auto dot = [&](const char* colour) {
            return "<circle cx=\"" + Format("%.0f", x + 19, 0) + "\" cy=\"" + Format("%.0f", y - 5, 0) +
                   "\" r=\"4\" fill=\"" + colour + "\" stroke=\"#000\" stroke-width=\"0.5\"/>";
        };
        line(bar("fill=\"hsl(137,65%,82%)\" stroke=\"#777\""), "enclosed faces", counts.faces);
        line(bar("fill=\"none\" stroke=\"#222\" stroke-width=\"1.6\""), "outer boundaries", counts.boundaries);
        line(bar(std::string("fill=\"") + kReturnColour + "\""), "polygons running back", counts.runs);
        line(bar(std::string("fill=\"none\" stroke=\"") + kOpenColour + "\" stroke-dasharray=\"4 2\""), "open chains",
             counts.open);
        for (int flag = 0; flag < 3; ++flag) line(dot(kFlagColour[flag]), kFlagName[flag], counts.flags[flag]);
        out_ << "</g>\n";
    }

private:
    std::ostream& out_;
    const Projection& projection_;
};

Extent ExtentOf(const std::vector<SelectedPolygon>& polygons) {
    Extent extent;
    for (const SelectedPolygon& selected : polygons) {
        for (CLoopweaveElement* e : ChainOf(*selected.polygon)) {
            extent.Add(e->Sx(), e->Sy());
            extent.Add(e->Ex(), e->Ey());
        }
    }
    return extent;
}

}  // namespace

void WriteSvg(const std::string& path, const std::string& writePath, const std::vector<SelectedPolygon>& polygons) {
    const Projection projection(ExtentOf(polygons));
    const double width = projection.Width() + kLegendWidth;
    const double height = std::max(projection.Height(), kLegendHeight + 2 * kPad);
    std::ofstream out(writePath);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Format("%.0f", width, 0) << "\" height=\""
        << Format("%.0f", height, 0) << "\" viewBox=\"0 0 " << Format("%.0f %.0f", width, height) << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
    SvgWriter writer(out, projection);
    Counts counts;
    // Drawn in layers: areas first, then the lines and points that sit on them.
    for (const SelectedPolygon& selected : polygons) writer.Polygon(selected, counts);
    for (const SelectedPolygon& selected : polygons) writer.Runs(*selected.polygon, counts);
    for (const SelectedPolygon& selected : polygons) writer.ErrorPoints(*selected.polygon, counts);
    writer.Legend(counts, projection.Width());
    out << "</svg>\n";
    out.close();
    if (!out) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace lwtool
