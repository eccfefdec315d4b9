#include "cut/list_order.h"

namespace loopweave {
namespace {

// Labels run from 1 to kEnd - 1; 0 and kEnd stand for the ends of the list.
constexpr std::uint64_t kEnd = std::uint64_t{1} << 62;
constexpr int kNone = PieceTable::kNone;

}  // namespace

ListOrder::ListOrder(const PieceTable& pieces) : pieces_(pieces) {
    const auto count = static_cast<std::uint64_t>(pieces.Count());
    const std::uint64_t step = kEnd / (count + 1);
    labels_.reserve(pieces.Room());
    labels_.resize(static_cast<std::size_t>(count));
    std::uint64_t label = 0;
    for (int piece = pieces.First(); piece != kNone; piece = pieces.Next(piece)) {
        label += step;
        labels_[static_cast<std::size_t>(piece)] = label;
    }
}

std::uint64_t ListOrder::LabelAt(int piece, std::uint64_t beyond) const {
    return piece == kNone ? beyond : Label(piece);
}

void ListOrder::InsertRun(int first, int end) {
    if (first == end) return;
    labels_.resize(static_cast<std::size_t>(pieces_.Count()));
    int last = first;
    std::uint64_t count = 0;
    for (int piece = first; piece != end; piece = pieces_.Next(piece)) {
        last = piece;
        ++count;
    }
    const std::uint64_t low = LabelAt(pieces_.Prev(first), 0);
    const std::uint64_t high = LabelAt(end, kEnd);
    if ((high - low) / (count + 1) >= 1) return SpaceEvenly(first, last, count, low, high);
    Spread(first, last, count);
}

void ListOrder::Spread(int first, int last, std::uint64_t count) {
    // Grown on both sides until the labels just outside the stretch leave a
    // gap of at least `count` per piece.
    for (;;) {
        const std::uint64_t low = LabelAt(pieces_.Prev(first), 0);
        const std::uint64_t high = LabelAt(pieces_.Next(last), kEnd);
        if ((high - low) / (count + 1) >= count + 1) return SpaceEvenly(first, last, count, low, high);
        for (std::uint64_t grown = 0; grown < count; ++grown) {
            if (pieces_.Prev(first) != kNone) first = pieces_.Prev(first);
            if (pieces_.Next(last) != kNone) last = pieces_.Next(last);
        }
        count = 0;
        for (int piece = first;; piece = pieces_.Next(piece)) {
            ++count;
            if (piece == last) break;
        }
    }
}

void ListOrder::SpaceEvenly(int first, int last, std::uint64_t count, std::uint64_t low, std::uint64_t high) {
    const std::uint64_t step = (high - low) / (count + 1);
    std::uint64_t label = low;
    for (int piece = first;; piece = pieces_.Next(piece)) {
        label += step;
        labels_[static_cast<std::size_t>(piece)] = label;
        if (piece == last) return;
    }
}

}  // namespace loopweave
