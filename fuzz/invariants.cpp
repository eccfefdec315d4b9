#include "invariants.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "bits.h"
#include "report.h"
#include "walk_check.h"

namespace loopweave::fuzz {
namespace {

// Walks a list both ways as far as its count allows, so that a cycle in the
// links cannot make the check itself hang.
void CheckList(CPtrList& list, const char* name) {
    const int count = list.Count();
    if (count < 0) Fail("%s: negative count %d", name, count);
    if ((list.Head() == nullptr) != (count == 0)) Fail("%s: head and count %d disagree", name, count);
    CPtrList::Node* previous = nullptr;
    CPtrList::Node* node = list.Head();
    for (int walked = 0; walked < count; ++walked) {
        if (node == nullptr) Fail("%s: %d nodes walked, count says %d", name, walked, count);
        if (list.Prev(node) != previous) Fail("%s: node %d's previous is not the node before it", name, walked);
        previous = node;
        node = list.Next(node);
    }
    if (node != nullptr) Fail("%s: more nodes than the count %d", name, count);
    if (list.Tail() != previous) Fail("%s: the tail is not the last node walked", name);
}

// Everything a host can read of the polygons, as bits.
std::vector<std::uint64_t> Snapshot(CLoopweave& builder) {
    std::vector<std::uint64_t> values;
    CPtrList& polygons = builder.Polygon();
    for (CPtrList::Node* p = polygons.Head(); p != nullptr; p = polygons.Next(p)) {
        auto& polygon = *static_cast<COutputLoopweave*>(polygons.Data(p));
        values.push_back(static_cast<std::uint64_t>(polygon.Count()));
        values.push_back(static_cast<std::uint64_t>(polygon.Round() + 1));
        values.push_back(polygon.Critical() * 4u + polygon.Cross() * 2u + polygon.Return());
        CPtrList& chain = polygon.Element();
        for (CPtrList::Node* e = chain.Head(); e != nullptr; e = chain.Next(e)) {
            auto& element = *static_cast<CLoopweaveElement*>(chain.Data(e));
            for (double value : {element.Sx(), element.Sy(), element.Ex(), element.Ey()}) {
                values.push_back(Bits(value));
            }
            values.push_back(static_cast<std::uint32_t>(element.Key1()));
            values.push_back(static_cast<std::uint32_t>(element.Key2()));
        }
        CPtrList& errors = polygon.Error();
        for (CPtrList::Node* e = errors.Head(); e != nullptr; e = errors.Next(e)) {
            auto& point = *static_cast<CCoord*>(errors.Data(e));
            values.push_back(Bits(point.X()));
            values.push_back(Bits(point.Y()));
            values.push_back(static_cast<std::uint32_t>(point.Flag()));
        }
        values.push_back(~std::uint64_t{0});  // ends the polygon
    }
    return values;
}

bool WithinTolerance(double a, double b) { return std::fabs(a - b) < 1e-6; }

}  // namespace

void InvariantChecker::ChainEdited(COutputLoopweave* polygon) {
    edited_.insert(polygon);
    stale_.insert(polygon);
}

void InvariantChecker::CheckKeys(CPtrList& elements) {
    for (CPtrList::Node* e = elements.Head(); e != nullptr; e = elements.Next(e)) {
        auto& element = *static_cast<CLoopweaveElement*>(elements.Data(e));
        if (keys_.count({element.Key1(), element.Key2()}) == 0) {
            Fail("keys (%d, %d) were never given by the host", element.Key1(), element.Key2());
        }
    }
}

void InvariantChecker::AfterStep() {
    CheckList(builder_.Element(), "stored elements");
    CheckKeys(builder_.Element());
    CPtrList& polygons = builder_.Polygon();
    CheckList(polygons, "polygons");
    for (CPtrList::Node* p = polygons.Head(); p != nullptr; p = polygons.Next(p)) {
        CheckPolygon(*static_cast<COutputLoopweave*>(polygons.Data(p)));
    }
}

void InvariantChecker::CheckPolygon(COutputLoopweave& polygon) {
    CPtrList& chain = polygon.Element();
    CPtrList& errors = polygon.Error();
    CheckList(chain, "a polygon's elements");
    CheckList(errors, "a polygon's error points");
    CheckKeys(chain);
    if (polygon.Count() != chain.Count()) Fail("Count() %d for %d elements", polygon.Count(), chain.Count());
    if (stale_.count(&polygon) != 0) return;

    std::vector<CLoopweaveElement*> elements;
    for (CPtrList::Node* e = chain.Head(); e != nullptr; e = chain.Next(e)) {
        elements.push_back(static_cast<CLoopweaveElement*>(chain.Data(e)));
    }
    if (edited_.count(&polygon) == 0) {
        for (std::size_t i = 1; i < elements.size(); ++i) {
            if (Bits(elements[i]->Sx()) != Bits(elements[i - 1]->Ex()) ||
                Bits(elements[i]->Sy()) != Bits(elements[i - 1]->Ey())) {
                Fail("element %zu does not start where element %zu ends", i, i - 1);
            }
        }
    }

    const bool open = !elements.empty() && !(WithinTolerance(elements.front()->Sx(), elements.back()->Ex()) &&
                                             WithinTolerance(elements.front()->Sy(), elements.back()->Ey()));
    if (polygon.Critical() != open) Fail("Critical() is %d for a chain that is %s", polygon.Critical(), open ? "open" : "closed");

    std::vector<CCoord*> points;
    for (CPtrList::Node* e = errors.Head(); e != nullptr; e = errors.Next(e)) {
        points.push_back(static_cast<CCoord*>(errors.Data(e)));
    }
    if (open) {
        // The path: the first start, then every end.
        if (points.size() != elements.size() + 1) Fail("an open chain of %zu lists %zu points", elements.size(), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double x = i == 0 ? elements[0]->Sx() : elements[i - 1]->Ex();
            const double y = i == 0 ? elements[0]->Sy() : elements[i - 1]->Ey();
            if (points[i]->Flag() != 0 || Bits(points[i]->X()) != Bits(x) || Bits(points[i]->Y()) != Bits(y)) {
                Fail("point %zu of an open chain's path is wrong", i);
            }
        }
        return;
    }
    // The run tips (flag 2) first, then the crossing points (flag 1).
    bool anyTip = false;
    bool anyCrossing = false;
    for (CCoord* point : points) {
        if (point->Flag() == 2 && anyCrossing) Fail("a run tip listed after a crossing point");
        if (point->Flag() != 1 && point->Flag() != 2) Fail("flag %d on a closed chain", point->Flag());
        anyTip = anyTip || point->Flag() == 2;
        anyCrossing = anyCrossing || point->Flag() == 1;
    }
    if (polygon.Return() != anyTip) Fail("Return() is %d, run tips listed: %d", polygon.Return(), anyTip);
    // Not the other way round: where the tolerance is lost in the rounding of
    // large coordinates, two elements can be found to overlap and yet yield no
    // point to show it.
    if (anyCrossing && !polygon.Cross()) Fail("crossing points listed, but Cross() is false");
}

void InvariantChecker::AfterForming(int formed) {
    edited_.clear();
    stale_.clear();
    if (formed != builder_.Polygon().Count()) Fail("MakingPolygon returned %d for %d polygons", formed, builder_.Polygon().Count());
    AfterStep();
    CheckWalks(builder_);

    const std::vector<std::uint64_t> first = Snapshot(builder_);
    const int again = builder_.MakingPolygon();
    if (again != formed || Snapshot(builder_) != first) Fail("forming twice gave different polygons");
}

}  // namespace loopweave::fuzz
