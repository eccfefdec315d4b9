#include "cut/piece_table.h"

#include <memory>

#include "store/element_editor.h"
#include "store/element_geometry.h"
#include "store/list_items.h"

namespace loopweave {

PieceTable::PieceTable(CPtrList& elements) {
    const auto count = static_cast<std::size_t>(elements.Count());
    pieces_.reserve(RoomFor(count));
    stored_.reserve(count);
    for (CPtrList::Node* node = elements.Head(); node != nullptr; node = elements.Next(node)) {
        const int number = Count();
        CLoopweaveElement& element = ItemAt<CLoopweaveElement>(elements, node);
        pieces_.push_back({StartOf(element), EndOf(element), number - 1, number + 1, number});
        stored_.push_back({node, element.Key1(), element.Key2()});
    }
    if (!pieces_.empty()) pieces_.back().next = kNone;
}

int PieceTable::InsertAfter(int place, const Point& start, const Point& end) {
    const int piece = Count();
    const int next = Next(place);
    pieces_.push_back({start, end, place, next, At(place).element});
    At(place).next = piece;
    if (next != kNone) At(next).prev = piece;
    return piece;
}

void PieceTable::MoveEnd(int piece, const Point& end) {
    At(piece).end = end;
    if (static_cast<std::size_t>(piece) < stored_.size()) shortened_.push_back(piece);
}

// The new elements go into the list first, while the stored ones still hold
// their whole extent, so that the list can be put back as it was should one
// of them fail to be made; the stored elements are shortened only then.
void PieceTable::WriteBack(CPtrList& elements) const {
    const std::size_t stored = stored_.size();
    std::vector<CPtrList::Node*> added;
    added.reserve(pieces_.size() - stored);
    try {
        CPtrList::Node* previous = nullptr;
        for (int piece = First(); piece != kNone; piece = Next(piece)) {
            const Piece& p = At(piece);
            if (static_cast<std::size_t>(piece) < stored) {
                previous = stored_[static_cast<std::size_t>(piece)].node;
                continue;
            }
            const Stored& of = stored_[static_cast<std::size_t>(p.element)];
            auto element = std::make_unique<CLoopweaveElement>(p.start.x, p.start.y, p.end.x, p.end.y, of.key1, of.key2);
            previous = elements.InsertAfter(previous, element.get());
            element.release();
            added.push_back(previous);
        }
    } catch (...) {
        for (CPtrList::Node* node : added) {
            delete &ItemAt<CLoopweaveElement>(elements, node);
            elements.Remove(node);
        }
        throw;
    }
    for (int number : shortened_) {
        const Point end = At(number).end;
        ElementEditor::MoveEnd(ItemAt<CLoopweaveElement>(elements, stored_[static_cast<std::size_t>(number)].node), end.x,
                               end.y);
    }
}

}  // namespace loopweave
