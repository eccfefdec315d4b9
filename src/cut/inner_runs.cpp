#include "cut/inner_runs.h"

#include <algorithm>

#include "index/tuning.h"

namespace loopweave {

void InnerRuns::Assign(const std::vector<int>& pieces) {
    pieces_.clear();
    runs_.clear();
    first_ = Link(pieces, kNone);
}

void InnerRuns::Prepend(const std::vector<int>& pieces) { first_ = Link(pieces, first_); }

void InnerRuns::Regrow(int run, std::size_t place) {
    Box& bounds = runs_[static_cast<std::size_t>(run)].bounds;
    bounds = bounds.Joined(BoxOf(pieces_[place]));
}

void InnerRuns::InsertAfter(int run, std::size_t place, const std::vector<int>& pieces) {
    if (pieces.empty()) return;
    SplitAfter(run, place);
    const int inserted = Link(pieces, Next(run));
    runs_[static_cast<std::size_t>(run)].next = inserted;
}

void InnerRuns::MergeAfter(int run, std::size_t place, std::vector<int>& pieces, const ListOrder& order) {
    const auto earlier = [&order](int x, int y) { return order.Label(x) < order.Label(y); };
    std::sort(pieces.begin(), pieces.end(), earlier);
    std::vector<int> one(1);
    // (run, place) is the piece after which the next piece goes; it moves
    // forward only, passing over whole runs that end earlier.
    for (int piece : pieces) {
        for (;;) {
            const auto from = pieces_.begin() + static_cast<std::ptrdiff_t>(place) + 1;
            const auto to = pieces_.begin() + static_cast<std::ptrdiff_t>(End(run));
            const auto notEarlier = std::lower_bound(from, to, piece, earlier);
            place = static_cast<std::size_t>(notEarlier - pieces_.begin()) - 1;
            if (notEarlier != to) break;
            const int next = Next(run);
            if (next == kNone || !earlier(pieces_[Begin(next)], piece)) break;
            run = next;
            place = Begin(next);
        }
        const int following = place + 1 < End(run)       ? pieces_[place + 1]
                              : Next(run) != kNone        ? pieces_[Begin(Next(run))]
                                                          : -1;
        if (following == piece) continue;  // in the sequence already
        one[0] = piece;
        InsertAfter(run, place, one);
        run = Next(run);
        place = Begin(run);
    }
}

int InnerRuns::Link(const std::vector<int>& pieces, int next) {
    const auto count = pieces.size();
    const int first = count == 0 ? next : static_cast<int>(runs_.size());
    for (std::size_t from = 0; from < count; from += tuning::kInnerRunLength) {
        const std::size_t to = std::min(from + tuning::kInnerRunLength, count);
        Run run{pieces_.size(), pieces_.size() + (to - from), BoxOf(pieces[from]), kNone};
        for (std::size_t i = from; i < to; ++i) {
            pieces_.push_back(pieces[i]);
            run.bounds = run.bounds.Joined(BoxOf(pieces[i]));
        }
        run.next = to == count ? next : static_cast<int>(runs_.size()) + 1;
        runs_.push_back(run);
    }
    return first;
}

void InnerRuns::SplitAfter(int run, std::size_t place) {
    const Run whole = runs_[static_cast<std::size_t>(run)];
    if (place + 1 == whole.end) return;
    runs_[static_cast<std::size_t>(run)].end = place + 1;
    runs_[static_cast<std::size_t>(run)].next = static_cast<int>(runs_.size());
    runs_.push_back(Run{place + 1, whole.end, whole.bounds, whole.next});
}

}  // namespace loopweave
