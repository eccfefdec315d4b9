#ifndef LOOPWEAVE_CUT_TWIN_PIECES_H
#define LOOPWEAVE_CUT_TWIN_PIECES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cut/list_order.h"
#include "cut/piece_table.h"

namespace loopweave {

// Pieces that are copies of one another as they stand, start to start and
// end to end, bit for bit: twins.
//
// Cutting a piece at its twin changes nothing, as both end where the other
// does, and cutting any piece at each of a set of twins does the same to
// each. Yet n copies of one line make n^2/2 pairs, and so do the pieces that
// a line across them cuts off each copy, or the stretches that lines
// overlapping on one line share. So the walk lists only the first live piece
// of each set of twins, its leader, and meets the others, latent, through
// it.
//
// Copies in the drawing as it came are found at the start, before the walk
// lists them; later twins as the walk meets them: a pair left alone whose
// ends are the same bits joins its set (Join), so that a drawing without
// copies pays one look-up per element. A piece leaves its set when it is cut
// or the walk passes it (Leave); the walk unlists and lists the pieces these
// name. Only copies in the same direction are twins: each piece's region is
// then read from the same numbers, so what the walk finds for the leader it
// would find for every twin.
//
// The sets are found by their ends in a hash table. A piece that joins
// alone holds a slot only until its copy joins: the walk joins the two at
// once, and the start drops the pieces it leaves alone. So every slot kept
// names a set, whose live members, all uncut, have the ends it was placed by.
class TwinPieces {
public:
    static constexpr int kNone = PieceTable::kNone;

    // Joins the copies among the pieces of the table as it stands.
    TwinPieces(const PieceTable& pieces, const ListOrder& order);

    // Whether the two pieces have the same ends, bit for bit.
    bool SameEnds(int a, int b) const;

    // The set of twins the piece is in, or kNone.
    int SetOf(int piece) const { return InSet(piece) ? setOf_[static_cast<std::size_t>(piece)] : kNone; }
    // Whether any piece is a twin that the walk does not list.
    bool AnyLatent() const { return latent_ > 0; }
    // Whether the piece is a twin that the walk does not list.
    bool Latent(int piece) const { return InSet(piece) && Leader(SetOf(piece)) != piece; }
    // Whether the piece leads twins that are latent.
    bool LeadsOthers(int piece) const {
        return InSet(piece) && Leader(SetOf(piece)) == piece && SetAt(SetOf(piece)).live > 1;
    }
    // Whether `piece` leads latent twins of which some may lie beyond
    // `label` in the list.
    bool AnyBeyond(int piece, std::uint64_t label) const {
        return LeadsOthers(piece) && order_.Label(SetAt(SetOf(piece)).members.back()) > label;
    }
    // Appends the twins of `set` that lie beyond `label` in the list, in the
    // order of the list.
    void Beyond(int set, std::uint64_t label, std::vector<int>& into) const;

    // The finite piece, in no set, joins the pieces with its ends. Returns
    // the piece that is latent from now on, to be unlisted: this one, or the
    // leader it comes before; kNone when none is.
    int Join(int piece);
    // The piece leaves its twins, cut or passed for good. Returns their new
    // leader when it led them, to be listed, or kNone.
    int Leave(int piece);

private:
    using Ends = std::uint64_t[4];
    struct Set {
        std::vector<int> members;  // in the order of the list, those that left included
        std::size_t leader;        // the first member still in the set
        int live;                  // members still in the set
    };
    // A slot of the table of ends: a piece alone with its ends so far, a set
    // as kSetRef - set, or kEmpty.
    static constexpr int kEmpty = -1;
    static constexpr int kSetRef = -2;

    bool InSet(int piece) const {
        return static_cast<std::size_t>(piece) < setOf_.size() && setOf_[static_cast<std::size_t>(piece)] != kNone;
    }
    const Set& SetAt(int set) const { return sets_[static_cast<std::size_t>(set)]; }
    int Leader(int set) const { return SetAt(set).members[SetAt(set).leader]; }

    void EndsOf(int piece, Ends& ends) const;
    // The slot's set, made from a piece alone if need be, when it holds the
    // ends; kNone otherwise.
    int SetHolding(int& slot, const Ends& ends);
    void PutInSet(int piece, int set);
    // Puts the piece among the set's members; returns Join's answer.
    int AddMember(int set, int piece);
    // Moves the slots of sets with members left, and when `keepAlone` of
    // pieces alone, to a table fitted to them.
    void Rebuild(bool keepAlone);

    const PieceTable& pieces_;
    const ListOrder& order_;
    std::vector<Set> sets_;
    std::vector<int> setOf_;    // by piece, as far as pieces in sets: its set, or kNone
    std::vector<int> table_;    // open addressing, a power of two long
    std::size_t used_ = 0;      // slots not empty
    std::size_t latent_ = 0;    // pieces in sets, less one for each set
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_TWIN_PIECES_H
