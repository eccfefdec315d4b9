#ifndef LOOPWEAVE_CUT_BAND_CROSSERS_H
#define LOOPWEAVE_CUT_BAND_CROSSERS_H

#include <cstddef>
#include <vector>

#include "cut/cut_bounds.h"
#include "cut/list_order.h"
#include "cut/piece_table.h"
#include "geometry/point.h"
#include "geometry/strip.h"

namespace loopweave {

// For every element of a drawing as it came, the long elements, itself or
// later in the list, whose bands (CutBounds) pass it: where the walk over
// nearby pairs finds, for a piece, the later long pieces whose lines pass
// near it. A band at a slant crosses the whole drawing, so no box around the
// piece finds those; the element's band, widened, holds the bands of the
// pieces cut from it, and they follow it in the list.
//
// This holds for a piece that lies within the slack of its element and whose
// band, if any, lies within its element's widened band (Keeps); a piece cut
// far off its element's line, after many Ts, does not, and the walk seeks it
// everywhere instead.
//
// Found once, before cutting, by asking a grid of the elements' segments
// along each long element's band (StripGrid). A drawing whose bands pass
// more elements than a few dozen per element, like nested squares far from
// the origin, is not taken: the lists would need memory quadratic in its
// size (Complete).
class BandCrossers {
public:
    BandCrossers(const PieceTable& pieces, const CutBounds& bounds, const ListOrder& order, const Box& extent);

    // False when there were too many crossers to list.
    bool Complete() const { return complete_; }

    // The long elements, the element or later, whose bands pass it.
    const int* begin(int element) const { return crossers_.data() + from_[Index(element)]; }
    const int* end(int element) const { return crossers_.data() + from_[Index(element) + 1]; }

    // The element's band, widened, or null for an element that is not long.
    const Strip* BandOf(int element) const {
        const Element& e = elements_[Index(element)];
        return e.hasBand ? &e.band : nullptr;
    }

    // Whether a piece cut from the element, from `start` to `end` and with
    // the region `region`, is found where the element is.
    bool Keeps(int element, const CutRegion& region, const Point& start, const Point& end) const;

private:
    struct Element {
        Point start;
        Point end;
        Strip band;
        bool hasBand;
    };

    static std::size_t Index(int element) { return static_cast<std::size_t>(element); }
    void Find(const PieceTable& pieces, const ListOrder& order, const Box& extent);

    const CutBounds& bounds_;
    std::vector<Element> elements_;  // by the number of the piece that was the element
    // The crossers of element e are crossers_[from_[e]] up to crossers_[from_[e + 1]].
    std::vector<std::size_t> from_;
    std::vector<int> crossers_;
    bool complete_ = true;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_BAND_CROSSERS_H
