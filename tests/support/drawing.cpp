#include "support/drawing.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "script.h"
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

// With LOOPWEAVE_RECORD_SEEDS set to a folder, every drawing a test enters is
// kept there as a fuzzer seed, named by its content so that a drawing entered
// by several tests is kept once.
void RecordSeed(const std::vector<Line>& lines) {
    const char* folder = std::getenv("LOOPWEAVE_RECORD_SEEDS");
    if (folder == nullptr || lines.empty()) return;
    fuzz::ScriptWriter script;
    for (const Line& line : lines) script.Entry(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2);
    script.CutFormAndStrip();
    std::uint64_t hash = 14695981039346656037u;  // FNV-1a
    for (std::uint8_t byte : script.Bytes()) hash = (hash ^ byte) * 1099511628211u;
    char name[32];
    std::snprintf(name, sizeof name, "/test-%016" PRIx64, hash);
    if (!script.Save(folder + std::string(name))) std::fprintf(stderr, "cannot record a seed in %s\n", folder);
}

}  // namespace

void Enter(CLoopweave& builder, const std::vector<Line>& lines) {
    RecordSeed(lines);
    for (const Line& line : lines) {
        CLoopweaveElement element(line.sx, line.sy, line.ex, line.ey, line.key1, line.key2);
        builder.Entry(element);
    }
}

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
