#include "loopweave_host.h"

namespace loopweave::bench {

void EnterSegments(CLoopweave& builder, const Segments& segments) {
    for (const Segment& s : segments) {
        CLoopweaveElement element(s.sx, s.sy, s.ex, s.ey, s.key1, s.key2);
        builder.Entry(element);
    }
}

Segments StoredSegments(CLoopweave& builder) {
    CPtrList& elements = builder.Element();
    Segments segments;
    segments.reserve(elements.Count());
    for (CPtrList::Node* node = elements.Head(); node != nullptr; node = elements.Next(node)) {
        auto* e = static_cast<CLoopweaveElement*>(elements.Data(node));
        segments.push_back({e->Sx(), e->Sy(), e->Ex(), e->Ey(), e->Key1(), e->Key2()});
    }
    return segments;
}

void StripEveryPolygon(CLoopweave& builder) {
    CPtrList& polygons = builder.Polygon();
    for (CPtrList::Node* node = polygons.Head(); node != nullptr; node = polygons.Next(node)) {
        static_cast<COutputLoopweave*>(polygons.Data(node))->RemoveReturnLine();
    }
}

}  // namespace loopweave::bench
