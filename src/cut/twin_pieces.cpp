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

std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

}  // namespace

// The bits of the piece's coordinates: 0 and -0 differ, as they may in what
// cutting computes from them.
void TwinPieces::EndsOf(int piece, Ends& ends) const {
    const double coordinates[4] = {pieces_.Start(piece).x, pieces_.Start(piece).y, pieces_.End(piece).x,
                                   pieces_.End(piece).y};
    std::memcpy(ends, coordinates, sizeof coordinates);
}

// Each piece is looked up by its ends in a table of the first piece with
// each ends met so far: a piece that finds its ends there is a copy, and
// both join. Pieces are numbered in the order of the list as it came.
TwinPieces::TwinPieces(const PieceTable& pieces, const ListOrder& order) : pieces_(pieces), order_(order) {
    std::size_t size = 2;
    while (size < 2 * static_cast<std::size_t>(pieces.Count())) size *= 2;
    std::vector<int> firstWithEnds(size, kNone);
    for (int piece = 0; piece < pieces.Count(); ++piece) {
        if (!pieces.IsFinite(piece)) continue;
        Ends ends;
        EndsOf(piece, ends);
        for (std::size_t slot = Hash(ends) & (size - 1);; slot = (slot + 1) & (size - 1)) {
            const int first = firstWithEnds[slot];
            if (first == kNone) {
                firstWithEnds[slot] = piece;
                break;
            }
            if (!SameEnds(first, piece)) continue;
            if (SetOf(first) == kNone) Join(first);
            Join(piece);
            break;
        }
    }
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

int TwinPieces::Join(int piece) {
    const auto index = static_cast<std::size_t>(piece);
    if (setOf_.size() <= index) {
        setOf_.resize(index + 1, kNone);
        passed_.resize(index + 1, false);
    }
    Ends ends;
    EndsOf(piece, ends);
    const std::uint64_t hash = Hash(ends);
    Reserve();
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        Entry& entry = table_[slot];
        if (entry.ref == kEmpty) {
            entry = Entry{Tag(hash), piece};
            ++used_;
            return kNone;
        }
        int set = kNone;
        if (entry.hash == Tag(hash) && Holds(entry, ends, set)) return AddMember(set, piece);
    }
}

// A slot stays where it was put, though its piece is passed or cut or its
// set left empty: it no longer holds any ends, and the next Reserve that
// moves the slots drops it.
bool TwinPieces::Holds(Entry& entry, const Ends& ends, int& set) {
    Ends held;
    if (entry.ref >= 0) {
        const int alone = entry.ref;
        if (passed_[static_cast<std::size_t>(alone)] || InSet(alone)) return false;
        EndsOf(alone, held);
        if (std::memcmp(held, ends, sizeof held) != 0) return false;
        set = static_cast<int>(sets_.size());
        sets_.push_back(Set{{alone}, 0, 1});
        setOf_[static_cast<std::size_t>(alone)] = set;
        entry.ref = kSetRef - set;
        return true;
    }
    set = kSetRef - entry.ref;
    if (SetAt(set).live == 0) return false;
    EndsOf(Leader(set), held);
    return std::memcmp(held, ends, sizeof held) == 0;
}

int TwinPieces::AddMember(int set, int piece) {
    Set& twins = sets_[static_cast<std::size_t>(set)];
    const auto at = std::upper_bound(twins.members.begin(), twins.members.end(), order_.Label(piece),
                                     [&](std::uint64_t label, int member) { return label < order_.Label(member); });
    const auto place = static_cast<std::size_t>(at - twins.members.begin());
    twins.members.insert(at, piece);
    setOf_[static_cast<std::size_t>(piece)] = set;
    ++twins.live;
    ++latent_;
    if (place > twins.leader) return piece;
    // Before the leader, which moved one place on: it leads now.
    const int former = twins.members[twins.leader + 1];
    twins.leader = place;
    return former;
}

int TwinPieces::Leave(int piece, bool passed) {
    if (passed && static_cast<std::size_t>(piece) < passed_.size()) passed_[static_cast<std::size_t>(piece)] = true;
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

// At most half the slots are used, so that a search ends soon at an empty
// one; when more would be, the slots that still hold ends move to a table
// at least four times their number.
void TwinPieces::Reserve() {
    if (2 * (used_ + 1) <= table_.size()) return;
    std::vector<int> held;  // pieces whose ends place the slots kept, with the slots' refs
    std::vector<int> refs;
    for (const Entry& entry : table_) {
        if (entry.ref == kEmpty) continue;
        int piece = entry.ref;
        if (entry.ref < 0) {
            const int set = kSetRef - entry.ref;
            if (SetAt(set).live == 0) continue;
            piece = Leader(set);
        } else if (passed_[static_cast<std::size_t>(piece)] || InSet(piece)) {
            continue;
        }
        Ends ends;
        EndsOf(piece, ends);
        if (Tag(Hash(ends)) != entry.hash) continue;  // cut since
        held.push_back(piece);
        refs.push_back(entry.ref);
    }
    std::size_t size = 16;
    while (size < 4 * (held.size() + 1)) size *= 2;
    table_.assign(size, Entry{0, kEmpty});
    used_ = held.size();
    for (std::size_t i = 0; i < held.size(); ++i) {
        Ends ends;
        EndsOf(held[i], ends);
        const std::uint64_t hash = Hash(ends);
        std::size_t slot = hash & (size - 1);
        while (table_[slot].ref != kEmpty) slot = (slot + 1) & (size - 1);
        table_[slot] = Entry{Tag(hash), refs[i]};
    }
}

}  // namespace loopweave
