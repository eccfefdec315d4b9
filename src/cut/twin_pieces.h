#ifndef LOOPWEAVE_CUT_TWIN_PIECES_H
#define LOOPWEAVE_CUT_TWIN_PIECES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cut/list_order.h"
#include "cut/piece_table.h"

namespace loopweave {

// Pieces of the drawing as it came that are copies of one another, start to
// start and end to end, bit for bit: their twins.
//
// Cutting a piece at its twin changes nothing, as both end where the other
// does. A drawing of n copies of one line still makes n^2/2 such pairs, and a
// walk that met each of them in turn would spend all its time there. So the
// walk lists only the first live piece of each set of twins, its leader, and
// meets the others, latent, through it; while the outer piece is itself a
// leader and uncut, its latent twins are passed over whole.
//
// Twins stay twins until one of them is cut or the walk passes it; the walk
// reports both (Leave). Only copies in the same direction are twins: each
// piece's region is then read from the same numbers, so what the walk finds
// for the leader it would find for every twin.
class TwinPieces {
public:
    static constexpr int kNone = PieceTable::kNone;

    // Groups the finite pieces of the table as it stands.
    explicit TwinPieces(const PieceTable& pieces);

    // Whether the piece is a twin that the walk does not list.
    bool Latent(int piece) const { return InSet(piece) && Leader(SetOf(piece)) != piece; }
    // Whether the piece leads twins that are latent.
    bool LeadsOthers(int piece) const { return InSet(piece) && Leader(SetOf(piece)) == piece && Live(SetOf(piece)) > 1; }
    // Whether `piece` leads latent twins of which some may lie beyond
    // `label` in the list.
    bool AnyBeyond(int piece, std::uint64_t label, const ListOrder& order) const {
        return LeadsOthers(piece) && order.Label(Members(SetOf(piece)).back()) > label;
    }
    // Appends the live twins of `leader`, itself among them, that lie beyond
    // `label` in the list, in the order of the list.
    void Beyond(int leader, std::uint64_t label, const ListOrder& order, std::vector<int>& into) const;

    // The piece is cut or passed: it leaves its twins. Returns their new
    // leader when it led them, to be listed, or kNone.
    int Leave(int piece);

private:
    struct Set {
        std::vector<int> members;  // in the order of the list, those that left included
        std::size_t leader = 0;    // the first member still in the set
        int live = 0;              // members still in the set
    };

    bool InSet(int piece) const {
        return static_cast<std::size_t>(piece) < setOf_.size() && setOf_[static_cast<std::size_t>(piece)] != kNone;
    }
    int SetOf(int piece) const { return setOf_[static_cast<std::size_t>(piece)]; }
    const std::vector<int>& Members(int set) const { return sets_[static_cast<std::size_t>(set)].members; }
    int Leader(int set) const {
        const Set& s = sets_[static_cast<std::size_t>(set)];
        return s.members[s.leader];
    }
    int Live(int set) const { return sets_[static_cast<std::size_t>(set)].live; }

    std::vector<Set> sets_;
    std::vector<int> setOf_;  // by piece: its set, or kNone
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_TWIN_PIECES_H
