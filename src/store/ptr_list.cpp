#include "loopweave.h"

#include <cstddef>

struct CPtrList::Node {
    Node* next;
    Node* prev;
    void* data;
};

CPtrList::CPtrList(int blockSize)
    : head_(nullptr),
      tail_(nullptr),
      count_(0),
      freeNodes_(nullptr),
      blocks_(nullptr),
      blockSize_(blockSize < 1 ? 1 : blockSize) {}

CPtrList::~CPtrList() { RemoveAll(); }

CPtrList::Node* CPtrList::Head() { return head_; }
CPtrList::Node* CPtrList::Tail() { return tail_; }
int CPtrList::Count() { return count_; }

CPtrList::Node* CPtrList::Next(Node* node) { return node ? node->next : nullptr; }
CPtrList::Node* CPtrList::Prev(Node* node) { return node ? node->prev : nullptr; }
void* CPtrList::Data(Node* node) { return node ? node->data : nullptr; }

CPtrList::Node* CPtrList::Append(void* data) { return InsertAfter(tail_, data); }

CPtrList::Node* CPtrList::InsertAfter(Node* node, void* data) {
    if (!node) node = tail_;
    Node* inserted = TakeFreeNode();
    inserted->data = data;
    inserted->prev = node;
    inserted->next = node ? node->next : nullptr;
    if (inserted->next) {
        inserted->next->prev = inserted;
    } else {
        tail_ = inserted;
    }
    if (node) {
        node->next = inserted;
    } else {
        head_ = inserted;
    }
    ++count_;
    return inserted;
}

void CPtrList::Remove(Node* node) {
    if (!node) return;
    if (node->prev) {
        node->prev->next = node->next;
    } else {
        head_ = node->next;
    }
    if (node->next) {
        node->next->prev = node->prev;
    } else {
        tail_ = node->prev;
    }
    node->next = freeNodes_;
    freeNodes_ = node;
    if (--count_ == 0) ReleaseBlocks();
}

void CPtrList::RemoveAll() { ReleaseBlocks(); }

// Nodes are taken a block at a time and never freed one by one: a removed
// node goes back on the free chain, and the blocks go only when the list is
// empty, so a list that grows and shrinks does not churn the heap. A block is
// one array of blockSize + 1 nodes; the first links it to the next older block.
CPtrList::Node* CPtrList::TakeFreeNode() {
    if (!freeNodes_) {
        Node* block = new Node[static_cast<std::size_t>(blockSize_) + 1]();
        block[0].next = blocks_;
        blocks_ = block;
        // Chain the new nodes so that they are handed out in storage order.
        for (int i = blockSize_; i >= 1; --i) {
            block[i].next = freeNodes_;
            freeNodes_ = &block[i];
        }
    }
    Node* node = freeNodes_;
    freeNodes_ = node->next;
    return node;
}

void CPtrList::ReleaseBlocks() {
    while (blocks_) {
        Node* older = blocks_->next;
        delete[] blocks_;
        blocks_ = older;
    }
    head_ = tail_ = freeNodes_ = nullptr;
    count_ = 0;
}
