#include "cut/twin_pieces.h"

#include <algorithm>
#include <cstring>

namespace loopweave {
namespace {

std::uint64_t Hash(const std::uint64_t (&ends)[4]) {
    std::uint64_t hash = 0;
    for (std::uint64_t bits : ends) {
        hash = (hash ^ bits) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    return hash;
}

}  // namespace

// The bits of the piece's coordinates: 0 and -0 differ, as they may in what
// cutting computes from them.
void TwinPieces::EndsOf(int piece, Ends& ends) const {
    const double coordinates[4] = {pieces_.Start(piece).x, pieces_.Start(piece).y, pieces_.End(piece).x,
                                   pieces_.End(piece).y};
    std::memcpy(ends, coordinates, sizeof coordinates);
}

// Every piece joins, in the order of the list as it came, into a table
// wide enough for all of them; the pieces left alone are then dropped.
TwinPieces::TwinPieces(const PieceTable& pieces, const ListOrder& order) : pieces_(pieces), order_(order) {
    std::size_t size = 16;
    while (size < 2 * (static_cast<std::size_t>(pieces.Count()) + 1)) size *= 2;
    table_.assign(size, kEmpty);
    for (int piece = 0; piece < pieces.Count(); ++piece) {
        if (pieces.IsFinite(piece)) Join(piece);
    }
    Rebuild(false);
}

bool TwinPieces::SameEnds(int a, int b) const {
    Ends aEnds;
    Ends bEnds;
    EndsOf(a, aEnds);
    EndsOf(b, bEnds);
    return std::memcmp(aEnds, bEnds, sizeof aEnds) == 0;
}

void TwinPieces::Beyond(int set, std::uint64_t label, std::vector<int>& into) const {
    const std::vector<int>& members = SetAt(set).members;
    auto member = std::upper_bound(members.begin(), members.end(), label,
                                   [&](std::uint64_t after, int piece) { return after < order_.Label(piece); });
    for (; member != members.end(); ++member) {
        if (SetOf(*member) == set) into.push_back(*member);
    }
}

// At most half the slots are used, so that a search ends soon at an empty
// one.
int TwinPieces::Join(int piece) {
    if (2 * (used_ + 1) > table_.size()) Rebuild(true);
    Ends ends;
    EndsOf(piece, ends);
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = Hash(ends) & mask;; slot = (slot + 1) & mask) {
        if (table_[slot] == kEmpty) {
            table_[slot] = piece;
            ++used_;
            return kNone;
        }
        const int set = SetHolding(table_[slot], ends);
        if (set != kNone) return AddMember(set, piece);
    }
}

// A set whose members all left keeps its slot, holding no ends, until the
// next Rebuild drops it.
int TwinPieces::SetHolding(int& slot, const Ends& ends) {
    if (slot < 0 && SetAt(kSetRef - slot).live == 0) return kNone;
    Ends held;
    EndsOf(slot >= 0 ? slot : Leader(kSetRef - slot), held);
    if (std::memcmp(held, ends, sizeof held) != 0) return kNone;
    if (slot < 0) return kSetRef - slot;
    const int set = static_cast<int>(sets_.size());
    sets_.push_back(Set{{slot}, 0, 1});
    PutInSet(slot, set);
    slot = kSetRef - set;
    return set;
}

// Pieces alone take no room, so that a drawing without copies keeps none.
void TwinPieces::PutInSet(int piece, int set) {
    const auto index = static_cast<std::size_t>(piece);
    if (setOf_.size() <= index) setOf_.resize(std::max(index + 1, 2 * setOf_.size()), kNone);
    setOf_[index] = set;
}

int TwinPieces::AddMember(int set, int piece) {
    Set& twins = sets_[static_cast<std::size_t>(set)];
    const auto at = std::upper_bound(twins.members.begin(), twins.members.end(), order_.Label(piece),
                                     [&](std::uint64_t label, int member) { return label < order_.Label(member); });
    const auto place = static_cast<std::size_t>(at - twins.members.begin());
    twins.members.insert(at, piece);
    PutInSet(piece, set);
    ++twins.live;
    ++latent_;
    if (place > twins.leader) return piece;
    // Before the leader, which moved one place on: it leads now.
    const int former = twins.members[twins.leader + 1];
    twins.leader = place;
    return former;
}

int TwinPieces::Leave(int piece) {
    if (!InSet(piece)) return kNone;
    const int set = SetOf(piece);
    Set& twins = sets_[static_cast<std::size_t>(set)];
    setOf_[static_cast<std::size_t>(piece)] = kNone;
    --twins.live;
    if (twins.live > 0) --latent_;
    if (twins.members[twins.leader] != piece) return kNone;
    while (twins.leader < twins.members.size() && SetOf(twins.members[twins.leader]) != set) ++twins.leader;
    return twins.leader < twins.members.size() ? twins.members[twins.leader] : kNone;
}

void TwinPieces::Rebuild(bool keepAlone) {
    std::vector<int> kept;
    for (int ref : table_) {
        if (ref == kEmpty || (ref >= 0 ? !keepAlone : SetAt(kSetRef - ref).live == 0)) continue;
        kept.push_back(ref);
    }
    std::size_t size = 16;
    while (size < 4 * (kept.size() + 1)) size *= 2;
    table_.assign(size, kEmpty);
    used_ = kept.size();
    for (int ref : kept) {
        Ends ends;
        EndsOf(ref >= 0 ? ref : Leader(kSetRef - ref), ends);
        std::size_t slot = Hash(ends) & (size - 1);
        while (table_[slot] != kEmpty) slot = (slot + 1) & (size - 1);
        table_[slot] = ref;
    }
}

}  // namespace loopweave
