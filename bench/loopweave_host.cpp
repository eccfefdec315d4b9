#include "loopweave_host.h"

namespace loopweave::bench {

void EnterSegments(CLoopweave& builder, const Segments& segments) {
    for (const Segment& s : segments) {
        CLoopweaveElement element(s.sx, s.sy, s.ex, s.ey, s.key1, s.key2);
        builder.Entry(element);
    }
}

namespace {

Segments ListSegments(CPtrList& elements) {
    Segments segments;
    segments.reserve(elements.Count());
    for (CPtrList::Node* node = elements.Head(); node != nullptr; node = elements.Next(node)) {
        auto* e = static_cast<CLoopweaveElement*>(elements.Data(node));
        segments.push_back({e->Sx(), e->Sy(), e->Ex(), e->Ey(), e->Key1(), e->Key2()});
    }
    return segments;
}

}  // namespace

Segments StoredSegments(CLoopweave& builder) { return ListSegments(builder.Element()); }

std::vector<Segments> PolygonChains(CLoopweave& builder) {
    CPtrList& polygons = builder.Polygon();
    std::vector<Segments> chains;
    chains.reserve(polygons.Count());
    for (CPtrList::Node* node = polygons.Head(); node != nullptr; node = polygons.Next(node)) {
        chains.push_back(ListSegments(static_cast<COutputLoopweave*>(polygons.Data(node))->Element()));
    }
    return chains;
}

std::unique_ptr<COutputLoopweave> PolygonWithChain(const Segments& chain) {
    auto polygon = std::make_unique<COutputLoopweave>();
    for (const Segment& s : chain) {
        polygon->Element().Append(new CLoopweaveElement(s.sx, s.sy, s.ex, s.ey, s.key1, s.key2));
    }
    return polygon;
}

}  // namespace loopweave::bench
