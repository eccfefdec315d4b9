#ifndef LOOPWEAVE_STORE_LIST_ITEMS_H
#define LOOPWEAVE_STORE_LIST_ITEMS_H

#include <iterator>
#include <memory>

#include "loopweave.h"

namespace loopweave {

// A CPtrList that holds T pointers, walked head to tail as a range:
//     for (CLoopweaveElement* element : ItemsOf<CLoopweaveElement>(list))
// The walk reads each node's successor when it advances, so the list must not
// lose the current node during the walk.
template <typename T>
class ListItems {
public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T**;
        using reference = T*;

        Iterator(CPtrList* list, CPtrList::Node* node) : list_(list), node_(node) {}
        T* operator*() const { return static_cast<T*>(list_->Data(node_)); }
        Iterator& operator++() {
            node_ = list_->Next(node_);
            return *this;
        }
        bool operator==(const Iterator& other) const { return node_ == other.node_; }
        bool operator!=(const Iterator& other) const { return node_ != other.node_; }

    private:
        CPtrList* list_;
        CPtrList::Node* node_;
    };

    explicit ListItems(CPtrList& list) : list_(&list) {}
    Iterator begin() const { return Iterator(list_, list_->Head()); }
    Iterator end() const { return Iterator(list_, nullptr); }

private:
    CPtrList* list_;
};

template <typename T>
ListItems<T> ItemsOf(CPtrList& list) {
    return ListItems<T>(list);
}

// The T at a node of a list that holds T pointers.
template <typename T>
T& ItemAt(CPtrList& list, CPtrList::Node* node) {
    return *static_cast<T*>(list.Data(node));
}

// Hands a new item to the list, after `node` or at the tail for null, and
// returns it. The list takes the pointer but not the ownership, so should it
// fail to make a node for it the item is deleted here instead of being lost.
template <typename T>
T* InsertOwned(CPtrList& list, CPtrList::Node* node, std::unique_ptr<T> item) {
    list.InsertAfter(node, item.get());
    return item.release();
}

// Deletes every T the list points to, then empties the list: lists never own
// their objects, so their owner releases both.
template <typename T>
void DeleteAll(CPtrList& list) {
    for (T* item : ItemsOf<T>(list)) delete item;
    list.RemoveAll();
}

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_LIST_ITEMS_H
