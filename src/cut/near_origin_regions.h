#ifndef LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H
#define LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H

#include <cstddef>
#include <vector>

#include "cut/cut_bounds.h"
#include "cut/piece_record.h"
#include "cut/piece_table.h"

namespace loopweave {

// Where the walk over nearby pairs seeks the pieces of a drawing none of
// whose elements is long for its coordinates, as near the origin: in its
// box grown by the reach, or across the allowed extent for a piece beyond it
// (CutBounds). A long piece cut later off one sought everywhere is sought in
// the box around its band. Each piece has one box, which the grid lists.
class NearOriginRegions {
public:
    // Asked along a band, an index can give a piece twice; here none is.
    static constexpr bool kMayGiveTwice = false;

    NearOriginRegions(const PieceTable& pieces, const CutBounds& bounds, std::vector<PieceRecord>& records,
                      double reach)
        : pieces_(pieces), bounds_(bounds), records_(records), reach_(reach) {}

    void Register(int piece) { Rebox(piece); }

    // Reads the piece's region again and returns its walk box.
    const Box& Rebox(int piece) {
        PieceRecord& record = records_[static_cast<std::size_t>(piece)];
        const Box box = Box::Around(pieces_.Start(piece), pieces_.End(piece));
        if (!pieces_.IsFinite(piece) || bounds_.Bound(box)) {
            record.box = box;
        } else {
            const CutRegion region = bounds_.RegionOf(box, pieces_.Start(piece), pieces_.End(piece));
            record.box = region.hasStrip ? region.box.Joined(region.strip.Bounds()) : region.box;
        }
        record.ownBox = record.box;
        return record.box;
    }

    Sought Near(int piece) const { return {BoxAt(piece).Grown(reach_), -1, Box{}}; }
    Sought Ask(int piece) const { return Near(piece); }
    bool Covers(const Sought& asked, const Sought& near) const {
        return bounds_.CoversAll(asked.box) || asked.box.Contains(near.box);
    }
    Box Bounds(const Sought& asked) const { return asked.box; }
    bool Reaches(const Sought& region, int piece) const { return region.box.Meets(BoxAt(piece)); }
    bool NearMeets(int a, const Box& box) const { return BoxAt(a).Grown(reach_).Meets(box); }
    bool PairMayMeet(int a, int b) const { return NearMeets(a, BoxAt(b)); }
    void GatherMore(const Sought& /*asked*/, std::vector<int>& /*into*/) {}
    void Pass(int /*a*/) {}

private:
    const Box& BoxAt(int piece) const { return records_[static_cast<std::size_t>(piece)].box; }

    const PieceTable& pieces_;
    const CutBounds& bounds_;
    std::vector<PieceRecord>& records_;
    double reach_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_NEAR_ORIGIN_REGIONS_H
