#include "support/drawing.h"

#include <cmath>
#include <cstdio>

#include "store/list_items.h"

namespace loopweave::testing {
namespace {

std::string PointText(double x, double y) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.9g,%.9g)", x, y);
    return text;
}

void Separate(std::string& text) {
    if (!text.empty()) text += ' ';
}

void (*enteredDrawingObserver)(const std::vector<Line>&) = nullptr;

}  // namespace

void Enter(CLoopweave& builder, const std::vector<Line>& lines) {
    if (enteredDrawingObserver != nullptr) enteredDrawingObserver(lines);
    drawings::EnterLines(builder, lines);
}

void ObserveEnteredDrawings(void (*observer)(const std::vector<Line>& lines)) { enteredDrawingObserver = observer; }

COutputLoopweave& PolygonAt(CLoopweave& builder, int index) {
    CPtrList& polygons = builder.Polygon();
    CPtrList::Node* node = polygons.Head();
    for (int i = 0; i < index; ++i) node = polygons.Next(node);
    return *static_cast<COutputLoopweave*>(polygons.Data(node));
}

std::string ElementsText(CPtrList& elements) {
    std::string text;
    for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(elements)) {
        Separate(text);
        text += PointText(element->Sx(), element->Sy()) + '>' + PointText(element->Ex(), element->Ey()) + ':' +
                std::to_string(element->Key1());
    }
    return text;
}

std::string ChainText(COutputLoopweave& polygon) { return ElementsText(polygon.Element()); }

std::string ErrorText(COutputLoopweave& polygon) {
    std::string text;
    for (CCoord* point : ItemsOf<CCoord>(polygon.Error())) {
        Separate(text);
        text += PointText(point->X(), point->Y()) + 'f' + std::to_string(point->Flag());
    }
    return text;
}

std::vector<Line> AtAnOddAngleFarAway(std::vector<Line> lines, std::mt19937_64& random) {
    const double angles[] = {17, 30, 61.3, std::uniform_real_distribution<double>(0, 360)(random)};
    const double degrees = angles[std::uniform_int_distribution<int>(0, 3)(random)];
    const double distance = 1e5 * std::pow(200.0, std::uniform_real_distribution<double>(0, 1)(random));
    const double radians = degrees * std::acos(-1.0) / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    for (Line& line : lines) {
        const Line upright = line;
        line.sx = upright.sx * c - upright.sy * s + distance;
        line.sy = upright.sx * s + upright.sy * c + distance;
        line.ex = upright.ex * c - upright.ey * s + distance;
        line.ey = upright.ex * s + upright.ey * c + distance;
    }
    return lines;
}

void AppendClosedChain(COutputLoopweave& polygon, const std::vector<std::pair<double, double>>& starts) {
    const std::size_t n = starts.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto& from = starts[i];
        const auto& to = starts[(i + 1) % n];
        polygon.Element().Append(
            new CLoopweaveElement(from.first, from.second, to.first, to.second, static_cast<int>(i) + 1, 0));
    }
}

}  // namespace loopweave::testing
