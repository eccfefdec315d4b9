#ifndef LOOPWEAVE_INDEX_CELL_TABLE_H
#define LOOPWEAVE_INDEX_CELL_TABLE_H

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace loopweave {

// A hash table from the keys of the cells an index keeps, each a number made
// of the cell's level, column and row (or a hash of them), to a number the
// index keeps for the cell: open addressing, twice as long once half full.
// Fibonacci hashing of all but the key's lowest kBlockBits bits spreads
// blocks of cells across the table, and those bits place a cell within its
// block's run of slots. An index whose keys keep a block of neighbouring
// cells in those bits reads neighbours from one or two cache lines, where
// spreading every cell made each read of a large table (32 MB for a ring of
// 320,000 elements far from the origin) land on a line of its own; an index
// whose keys are hashes must spread those bits as well.
class CellTable {
public:
    static constexpr int kBlockBits = 4;

    struct Slot {
        std::uint64_t key;
        int value;
        bool used;
    };

    // Room for about half of `capacity` cells before it grows.
    explicit CellTable(std::size_t capacity) {
        std::size_t length = std::size_t{1} << (kBlockBits + 1);
        while (length < capacity) length *= 2;
        slots_.assign(length, Slot{0, 0, false});
        SetShift();
    }

    // The cell's slot, or null when the table has none.
    const Slot* Find(std::uint64_t key) const {
        const Slot& slot = slots_[Place(key)];
        return slot.used ? &slot : nullptr;
    }
    Slot* Find(std::uint64_t key) { return const_cast<Slot*>(std::as_const(*this).Find(key)); }
    // The cell's slot, made with `value` when the table has none.
    Slot& Insert(std::uint64_t key, int value) {
        std::size_t at = Place(key);
        if (slots_[at].used) return slots_[at];
        if (2 * (used_ + 1) > slots_.size()) {
            std::vector<Slot> old(slots_.size() * 2, Slot{0, 0, false});
            old.swap(slots_);
            SetShift();
            for (const Slot& slot : old) {
                if (slot.used) slots_[Place(slot.key)] = slot;
            }
            at = Place(key);
        }
        ++used_;
        return slots_[at] = Slot{key, value, true};
    }

    std::size_t Count() const { return used_; }
    // Every slot, the cells' among them, in no particular order.
    std::vector<Slot>& Slots() { return slots_; }

private:
    void SetShift() {
        shift_ = 64 + kBlockBits;
        for (std::size_t c = slots_.size(); c > 1; c /= 2) --shift_;
    }
    // Where the key is, or where it would go.
    std::size_t Place(std::uint64_t key) const {
        constexpr std::uint64_t kInBlock = (std::uint64_t{1} << kBlockBits) - 1;
        const auto block = static_cast<std::size_t>(((key >> kBlockBits) * 0x9E3779B97F4A7C15u) >> shift_);
        std::size_t at = block << kBlockBits | static_cast<std::size_t>(key & kInBlock);
        while (slots_[at].used && slots_[at].key != key) at = (at + 1) & (slots_.size() - 1);
        return at;
    }

    std::vector<Slot> slots_;
    int shift_ = 64;
    std::size_t used_ = 0;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_CELL_TABLE_H
