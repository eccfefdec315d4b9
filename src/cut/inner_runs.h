#ifndef LOOPWEAVE_CUT_INNER_RUNS_H
#define LOOPWEAVE_CUT_INNER_RUNS_H

#include <cstddef>
#include <vector>

#include "cut/list_order.h"
#include "geometry/box.h"
#include "index/box_table.h"

namespace loopweave {

// The inner pieces of a cutting pass, in the order of the list, kept in
// short runs with a box around each run.
//
// A long line's outer pass meets every piece that crosses the rest of the
// line, and once cut it reaches only a few of them: with the box of a run the
// pass passes over runs it cannot reach without reading their pieces. The
// next pass, for the line's remaining piece, starts from the same runs after
// dropping those out of its reach, so the cost per piece follows the runs it
// reaches, not the length of the rest of the line.
//
// Pieces are known by their numbers; their boxes are read from a table by
// number that the owner keeps current. A run's box covers the boxes of its
// pieces as long as the owner reports every piece whose box changes
// (Regrow). Runs split as pieces are inserted, and runs passed over stay
// linked, so the sequence always lists, in order, every piece put into it
// since the last Assign that no DropUnreached has dropped.
class InnerRuns {
public:
    static constexpr int kNone = -1;

    explicit InnerRuns(BoxTable boxes) : boxes_(boxes) {}

    // Starts over with the given pieces, in the order of the list.
    void Assign(const std::vector<int>& pieces);
    // Puts the given pieces, in the order of the list, before all others.
    void Prepend(const std::vector<int>& pieces);
    // Drops the runs whose boxes `reached(box)` says are out of reach.
    template <typename Reached>
    void DropUnreached(const Reached& reached) {
        int* link = &first_;
        while (*link != kNone) {
            Run& run = runs_[static_cast<std::size_t>(*link)];
            if (reached(run.bounds)) {
                link = &run.next;
            } else {
                *link = run.next;
            }
        }
    }

    int First() const { return first_; }
    int Next(int run) const { return runs_[static_cast<std::size_t>(run)].next; }
    const Box& Bounds(int run) const { return runs_[static_cast<std::size_t>(run)].bounds; }
    // The places of a run's pieces: from Begin up to, not including, End.
    // End shrinks when pieces are inserted after one of the run's.
    std::size_t Begin(int run) const { return runs_[static_cast<std::size_t>(run)].begin; }
    std::size_t End(int run) const { return runs_[static_cast<std::size_t>(run)].end; }
    int PieceAt(std::size_t place) const { return pieces_[place]; }

    // The piece at `place`, in `run`, has a new box.
    void Regrow(int run, std::size_t place);
    // Inserts the given pieces, in the order of the list, right after the
    // piece at `place` in `run`, which becomes the last of its run.
    void InsertAfter(int run, std::size_t place, const std::vector<int>& pieces);
    // Merges the given pieces into those after the one at `place` in `run`,
    // all in the order of the list, once each. Costs the runs passed over and
    // the pieces merged, not the length of the rest, which a walk that
    // merges at every cut of a long line could not afford.
    void MergeAfter(int run, std::size_t place, std::vector<int>& pieces, const ListOrder& order);

private:
    struct Run {
        std::size_t begin;
        std::size_t end;
        Box bounds;
        int next;
    };

    // Appends the pieces as new runs ending in `next`; returns the first.
    int Link(const std::vector<int>& pieces, int next);
    // Cuts `run` short after `place`; the rest of it follows as a run of its own.
    void SplitAfter(int run, std::size_t place);
    const Box& BoxOf(int piece) const { return boxes_[static_cast<std::size_t>(piece)]; }

    BoxTable boxes_;
    std::vector<int> pieces_;
    std::vector<Run> runs_;
    int first_ = kNone;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_INNER_RUNS_H
