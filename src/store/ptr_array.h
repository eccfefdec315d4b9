#ifndef LOOPWEAVE_STORE_PTR_ARRAY_H
#define LOOPWEAVE_STORE_PTR_ARRAY_H

#include <algorithm>
#include <cassert>
#include <climits>
#include <memory>

namespace loopweave {

// A growable array of plain slots, for the library's temporary tables.
//
// Growth is explicit: SetSize() is the only call that takes storage, and new
// slots are always zero. When the array must grow it takes the requested size
// or, if larger, its capacity plus a step: the grow step when one is set, else
// an eighth of the slots in use, clamped to 4..1024, so that repeated growth
// by small amounts does not copy the array every time.
template <typename Slot>
class GrowableArray {
public:
    GrowableArray() = default;
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;

    int Size() const { return size_; }
    int Capacity() const { return capacity_; }

    Slot& operator[](int index) {
        assert(index >= 0 && index < size_);
        return slots_[index];
    }

    Slot* begin() { return At(0); }
    Slot* end() { return At(size_); }

    // growStep -1 keeps the current step; 0 selects the automatic one.
    void SetSize(int newSize, int growStep = -1) {
        assert(newSize >= 0);
        if (growStep != -1) growStep_ = growStep;
        if (newSize == 0) {
            slots_.reset();
            size_ = capacity_ = 0;
        } else if (!slots_) {
            slots_.reset(new Slot[newSize]());
            size_ = capacity_ = newSize;
        } else if (newSize <= capacity_) {
            if (newSize > size_) std::fill(At(size_), At(newSize), Slot());
            size_ = newSize;
        } else {
            Grow(newSize);
        }
    }

    void Append(const Slot& value) {
        SetSize(size_ + 1);
        slots_[size_ - 1] = value;
    }

    // Removes `number` slots from `index` on; the later slots move down.
    void RemoveAt(int index, int number = 1) {
        assert(index >= 0 && number >= 0 && number <= size_ - index);
        if (number == 0) return;  // a copy onto itself is not allowed
        std::copy(At(index + number), At(size_), At(index));
        size_ -= number;
    }

private:
    Slot* At(int index) { return slots_.get() + index; }  // may point one past the end

    void Grow(int newSize) {
        const int step = growStep_ != 0 ? growStep_ : std::clamp(size_ / 8, 4, 1024);
        const long long stepped = static_cast<long long>(capacity_) + step;
        const int capacity = static_cast<int>(std::max<long long>(std::min<long long>(stepped, INT_MAX), newSize));
        std::unique_ptr<Slot[]> grown(new Slot[capacity]());
        std::copy(At(0), At(size_), grown.get());
        slots_ = std::move(grown);
        size_ = newSize;
        capacity_ = capacity;
    }

    std::unique_ptr<Slot[]> slots_;
    int size_ = 0;
    int capacity_ = 0;
    int growStep_ = 0;  // 0: automatic
};

// The array of untyped pointers that polygon formation builds its tables in.
using CPtrArray = GrowableArray<void*>;

}  // namespace loopweave

#endif  // LOOPWEAVE_STORE_PTR_ARRAY_H
