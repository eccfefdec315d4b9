#ifndef LOOPWEAVE_CUT_PIECE_TABLE_H
#define LOOPWEAVE_CUT_PIECE_TABLE_H

#include <cstddef>
#include <vector>

#include "geometry/point.h"
#include "geometry/segment.h"
#include "loopweave.h"
#include "store/growing_table.h"

namespace loopweave {

// The stored elements while cutting runs: every piece's end points and its
// place in the list, in one flat table.
//
// Cutting reads each element many times and inserts a piece for every cut.
// On the list itself each read follows a node to an element on the heap, and
// as pieces are inserted the list's order drifts from the order of the
// elements in memory, so that reading them in list order misses the cache at
// nearly every step. The table keeps them side by side; the new elements are
// made once, when cutting is done, in list order, which is also the order in
// which polygon formation reads them.
//
// Pieces are numbered from 0: the stored elements in list order, then the
// new pieces as they are made. The first piece of every element is the
// element itself, keeps its start, and carries the element's end until it is
// cut; the others become new elements with its keys and their own end points.
class PieceTable {
public:
    static constexpr int kNone = -1;

    // Each element of the list as it stands becomes its own first piece.
    explicit PieceTable(CPtrList& elements);

    // The list order of the pieces: the first, and each one's neighbours.
    int First() const { return pieces_.empty() ? kNone : 0; }
    int Next(int piece) const { return At(piece).next; }
    int Prev(int piece) const { return At(piece).prev; }
    // The pieces made so far: each is numbered below this.
    int Count() const { return static_cast<int>(pieces_.size()); }
    // What every table by piece reserves: room for the elements and a few
    // pieces more. A long outline cut at a handful of places would otherwise
    // grow every table at its first cut: a quarter of the time it took to cut
    // a ring of 320,000 elements when growing copied the tables, and still a
    // seventh of cutting one of 80,000 where it moves their pages.
    std::size_t Room() const { return RoomFor(stored_.size()); }

    Point Start(int piece) const { return At(piece).start; }
    Point End(int piece) const { return At(piece).end; }
    Segment SegmentAt(int piece) const {
        const Piece& p = At(piece);
        return Segment(p.start.x, p.start.y, p.end.x, p.end.y);
    }
    // Every coordinate finite: a piece that is not takes part in nothing.
    bool IsFinite(int piece) const { return loopweave::IsFinite(At(piece).start) && loopweave::IsFinite(At(piece).end); }

    // A new piece of the same element as `place`, from `start` to `end`,
    // straight after `place` in the list; returns its number.
    int InsertAfter(int place, const Point& start, const Point& end);
    void MoveEnd(int piece, const Point& end);

    // Brings the list up to date: the stored elements take their first
    // pieces' ends, and new elements with their keys take the other pieces'
    // places. When memory runs out on the way the list is left as it was.
    void WriteBack(CPtrList& elements) const;

private:
    struct Piece {
        Point start;
        Point end;
        int prev;
        int next;
        int element;  // the stored element it is a piece of, by number
    };

    static std::size_t RoomFor(std::size_t elements) { return elements + elements / 64 + 64; }
    Piece& At(int piece) { return pieces_[static_cast<std::size_t>(piece)]; }
    const Piece& At(int piece) const { return pieces_[static_cast<std::size_t>(piece)]; }

    // A stored element's place in the list and the keys its pieces carry.
    struct Stored {
        CPtrList::Node* node;
        int key1;
        int key2;
    };

    GrowingTable<Piece> pieces_;
    std::vector<Stored> stored_;  // by number
    std::vector<int> shortened_;  // stored elements whose first piece was cut, some more than once
};

}  // namespace loopweave

#endif  // LOOPWEAVE_CUT_PIECE_TABLE_H
