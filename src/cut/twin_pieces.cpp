#include "cut/twin_pieces.h"

#include <algorithm>
#include <cstring>

namespace loopweave {
namespace {

using Ends = std::uint64_t[4];

// The bits of the piece's coordinates: 0 and -0 differ, as they may in what
// cutting computes from them.
void EndsOf(const PieceTable& pieces, int piece, Ends& ends) {
    const double coordinates[4] = {pieces.Start(piece).x, pieces.Start(piece).y, pieces.End(piece).x,
                                   pieces.End(piece).y};
    std::memcpy(ends, coordinates, sizeof coordinates);
}

std::uint64_t Hash(const Ends& ends) {
    std::uint64_t hash = 0;
    for (std::uint64_t bits : ends) {
        hash = (hash ^ bits) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    return hash;
}

}  // namespace

// Each piece is looked up by its ends in a table that holds the first piece
// of every set of ends met so far: a piece that finds its ends there is a
// twin of that first piece. Pieces are numbered in the order of the list as
// it came, so each set's members come in that order.
TwinPieces::TwinPieces(const PieceTable& pieces) : setOf_(static_cast<std::size_t>(pieces.Count()), kNone) {
    std::size_t size = 2;
    while (size < 2 * static_cast<std::size_t>(pieces.Count())) size *= 2;
    std::vector<int> firstWithEnds(size, kNone);
    for (int piece = 0; piece < pieces.Count(); ++piece) {
        if (!pieces.IsFinite(piece)) continue;
        Ends ends;
        EndsOf(pieces, piece, ends);
        for (std::size_t slot = Hash(ends) & (size - 1);; slot = (slot + 1) & (size - 1)) {
            const int first = firstWithEnds[slot];
            if (first == kNone) {
                firstWithEnds[slot] = piece;
                break;
            }
            Ends firstEnds;
            EndsOf(pieces, first, firstEnds);
            if (std::memcmp(ends, firstEnds, sizeof ends) != 0) continue;
            int& set = setOf_[static_cast<std::size_t>(first)];
            if (set == kNone) {
                set = static_cast<int>(sets_.size());
                sets_.push_back(Set{{first}, 0, 1});
            }
            Set& twins = sets_[static_cast<std::size_t>(set)];
            twins.members.push_back(piece);
            ++twins.live;
            setOf_[static_cast<std::size_t>(piece)] = set;
            break;
        }
    }
}

void TwinPieces::Beyond(int leader, std::uint64_t label, const ListOrder& order, std::vector<int>& into) const {
    const int set = SetOf(leader);
    const std::vector<int>& members = Members(set);
    auto member = std::upper_bound(members.begin(), members.end(), label,
                                   [&](std::uint64_t after, int piece) { return after < order.Label(piece); });
    for (; member != members.end(); ++member) {
        if (setOf_[static_cast<std::size_t>(*member)] == set) into.push_back(*member);
    }
}

int TwinPieces::Leave(int piece) {
    if (!InSet(piece)) return kNone;
    const int set = SetOf(piece);
    Set& s = sets_[static_cast<std::size_t>(set)];
    setOf_[static_cast<std::size_t>(piece)] = kNone;
    --s.live;
    if (s.members[s.leader] != piece) return kNone;
    while (s.leader < s.members.size() && setOf_[static_cast<std::size_t>(s.members[s.leader])] != set) ++s.leader;
    return s.leader < s.members.size() ? s.members[s.leader] : kNone;
}

}  // namespace loopweave
