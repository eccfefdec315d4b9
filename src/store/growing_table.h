#ifndef LOOPWEAVE_STORE_GROWING_TABLE_H
#define LOOPWEAVE_STORE_GROWING_TABLE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace loopweave {

// A table of plain records, by number, that grows at its end without
// copying what it holds where the allocator can avoid it.
//
// Cutting makes pieces as it goes: a grid of 1,000 lines grows its tables by
// piece 500 times over, random segments 11 times. A std::vector that
// outgrows its block copies every record into a new one and then touches
// each page of it afresh; measured on random segments, those copies and
// page faults took a tenth of the cut. This table grows by std::realloc,
// which for a block large enough to be mapped on its own moves the pages
// rather than the bytes (mremap, on Linux) and otherwise copies as a vector
// would. So the records must be trivially copyable, and the table hands out
// no pointers that outlive a growth.
template <typename T>
class GrowingTable {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "realloc moves the records' bytes");

public:
    GrowingTable() = default;
    GrowingTable(const GrowingTable&) = delete;
    GrowingTable& operator=(const GrowingTable&) = delete;
    ~GrowingTable() { std::free(records_); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return records_[i]; }
    const T& operator[](std::size_t i) const { return records_[i]; }
    T& back() { return records_[size_ - 1]; }

    void reserve(std::size_t count) {
        if (count > capacity_) Reallocate(count);
    }
    void push_back(const T& record) {
        const T copy = record;  // it may lie in the table
        if (size_ == capacity_) Reallocate(std::max<std::size_t>(16, 2 * capacity_));
        new (records_ + size_++) T(copy);
    }
    // Grows to `count` records, the new ones copies of `record` (taken by
    // value: it may lie in the table).
    void resize(std::size_t count, T record = T{}) {
        if (count > capacity_) Reallocate(std::max(count, 2 * capacity_));
        for (; size_ < count; ++size_) new (records_ + size_) T(record);
        size_ = count;
    }

private:
    void Reallocate(std::size_t capacity) {
        if (capacity > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void* moved = std::realloc(records_, capacity * sizeof(T));
        if (moved == nullptr) throw std::bad_alloc();
        records_ = static_cast<T*>(moved);
        capacity_ = capacity;
    }

    T* records_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_GROWING_TABLE_H
