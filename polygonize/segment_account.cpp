#include "polygonize/segment_account.h"

#include <algorithm>

namespace lwpolygonize {

namespace {

// The input segments of the elements, by their Key1; the frame's are negative.
template <class Visit>
void ForEachSegment(const Path& path, Visit&& visit) {
    for (const ElementCopy& element : path) {
        if (element.key1 >= 0) visit(static_cast<std::size_t>(element.key1));
    }
}

template <class Visit>
void ForEachSegment(COutputLoopweave& polygon, Visit&& visit) {
    for (CLoopweaveElement* element : ChainOf(polygon)) {
        if (element->Key1() >= 0) visit(static_cast<std::size_t>(element->Key1()));
    }
}

}  // namespace

void SegmentAccount::Settle(const LayerContent& content, const std::vector<SelectedPolygon>& formed,
                            Selection selection) {
    const auto mark = [this](Fate fate) {
        return [this, fate](std::size_t segment) {
            Fate& current = fates_[segment];
            if (current == Fate::kEntered || (current == Fate::kInDangle && fate == Fate::kInFace)) current = fate;
        };
    };
    for (const AreaFeature& area : content.areas) {
        ForEachSegment(*area.outer.polygon, mark(Fate::kInFace));
        for (COutputLoopweave* hole : area.holes) ForEachSegment(*hole, mark(Fate::kInFace));
    }
    for (const LineFeature& line : content.lines) ForEachSegment(line.path, mark(Fate::kInDangle));
    // What the library formed and no layer shows was left out on purpose by a
    // selection of the polygons as formed; in a coverage nothing may be.
    const Fate unwritten = selection == Selection::kCoverage ? Fate::kLost : Fate::kNotSelected;
    for (const SelectedPolygon& polygon : formed) ForEachSegment(*polygon.polygon, mark(unwritten));
    // Formation keeps one of each set of equal pieces, the one drawn first.
    std::replace(fates_.begin(), fates_.end(), Fate::kEntered, Fate::kAlongOthers);
}

std::size_t SegmentAccount::Count(Fate fate) const {
    return static_cast<std::size_t>(std::count(fates_.begin(), fates_.end(), fate));
}

long SegmentAccount::FirstLost() const {
    const auto lost = std::find(fates_.begin(), fates_.end(), Fate::kLost);
    return lost == fates_.end() ? -1 : static_cast<long>(lost - fates_.begin());
}

}  // namespace lwpolygonize
