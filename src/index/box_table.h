#ifndef LOOPWEAVE_INDEX_BOX_TABLE_H
#define LOOPWEAVE_INDEX_BOX_TABLE_H

#include <cstddef>
#include <vector>

#include "geometry/box.h"

namespace loopweave {

// The boxes of the items an index lists, numbered from 0 and read from their
// owner's table as it stands at each read: a plain table of boxes, or one box
// field of a table of records, one per item. The owner may grow its table;
// the index keeps only a reference to it.
class BoxTable {
public:
    // Implicit: a table of boxes is a box table.
    BoxTable(const std::vector<Box>& boxes) : table_(&boxes), read_(&ReadBox<std::vector<Box>>) {}  // NOLINT
    template <template <typename> class Table>
    BoxTable(const Table<Box>& boxes) : table_(&boxes), read_(&ReadBox<Table<Box>>) {}  // NOLINT

    // The `Field` box of each record.
    template <typename Record, Box Record::*Field, typename Table>
    static BoxTable FieldOf(const Table& records) {
        return BoxTable(&records, &ReadField<Table, Field>);
    }

    const Box& operator[](std::size_t item) const { return read_(table_, item); }

private:
    using Read = const Box& (*)(const void* table, std::size_t item);

    BoxTable(const void* table, Read read) : table_(table), read_(read) {}

    template <typename Table>
    static const Box& ReadBox(const void* table, std::size_t item) {
        return (*static_cast<const Table*>(table))[item];
    }
    template <typename Table, auto Field>
    static const Box& ReadField(const void* table, std::size_t item) {
        return (*static_cast<const Table*>(table))[item].*Field;
    }

    const void* table_;
    Read read_;
};

}  // namespace loopweave

#endif  // LOOPWEAVE_INDEX_BOX_TABLE_H
