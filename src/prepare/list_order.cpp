#include "prepare/list_order.h"

#include "store/element_editor.h"
#include "store/list_items.h"

namespace loopweave {
namespace {

// Labels run from 1 to kEnd - 1; 0 and kEnd stand for the ends of the list.
constexpr std::uint64_t kEnd = std::uint64_t{1} << 62;

int SerialAt(CPtrList& list, CPtrList::Node* node) { return ElementEditor::Serial(ItemAt<CLoopweaveElement>(list, node)); }

}  // namespace

ListOrder::ListOrder(CPtrList& list) : list_(list) {
    const auto count = static_cast<std::uint64_t>(list.Count());
    const std::uint64_t step = kEnd / (count + 1);
    for (CPtrList::Node* node = list.Head(); node != nullptr; node = list.Next(node)) {
        ElementEditor::SetSerial(ItemAt<CLoopweaveElement>(list, node), Size());
        labels_.push_back(step * (labels_.size() + 1));
    }
}

std::uint64_t ListOrder::LabelAt(CPtrList::Node* node, std::uint64_t beyond) const {
    return node == nullptr ? beyond : labels_[static_cast<std::size_t>(SerialAt(list_, node))];
}

void ListOrder::InsertRun(CPtrList::Node* first, CPtrList::Node* end) {
    if (first == end) return;
    CPtrList::Node* last = first;
    std::uint64_t count = 0;
    for (CPtrList::Node* node = first; node != end; node = list_.Next(node)) {
        ElementEditor::SetSerial(ItemAt<CLoopweaveElement>(list_, node), Size());
        labels_.push_back(0);
        last = node;
        ++count;
    }
    const std::uint64_t low = LabelAt(list_.Prev(first), 0);
    const std::uint64_t high = LabelAt(end, kEnd);
    if ((high - low) / (count + 1) >= 1) return SpaceEvenly(first, last, count, low, high);
    Spread(first, last, count);
}

void ListOrder::Spread(CPtrList::Node* first, CPtrList::Node* last, std::uint64_t count) {
    // Grown on both sides until the labels just outside the stretch leave a
    // gap of at least `count` per element.
    for (;;) {
        const std::uint64_t low = LabelAt(list_.Prev(first), 0);
        const std::uint64_t high = LabelAt(list_.Next(last), kEnd);
        if ((high - low) / (count + 1) >= count + 1) return SpaceEvenly(first, last, count, low, high);
        for (std::uint64_t grown = 0; grown < count; ++grown) {
            if (list_.Prev(first) != nullptr) first = list_.Prev(first);
            if (list_.Next(last) != nullptr) last = list_.Next(last);
        }
        count = 0;
        for (CPtrList::Node* n = first;; n = list_.Next(n)) {
            ++count;
            if (n == last) break;
        }
    }
}

void ListOrder::SpaceEvenly(CPtrList::Node* first, CPtrList::Node* last, std::uint64_t count, std::uint64_t low,
                            std::uint64_t high) {
    const std::uint64_t step = (high - low) / (count + 1);
    std::uint64_t label = low;
    for (CPtrList::Node* n = first;; n = list_.Next(n)) {
        label += step;
        labels_[static_cast<std::size_t>(SerialAt(list_, n))] = label;
        if (n == last) return;
    }
}

}  // namespace loopweave
