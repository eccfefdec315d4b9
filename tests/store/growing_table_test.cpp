#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>

#include "store/growing_table.h"

namespace {

using loopweave::GrowingTable;

// Records survive every growth, a record appended or filled in from the
// table itself is read before the table moves, resize fills only the new
// records, and a size past the address space is refused.
TEST(GrowingTable, KeepsItsRecordsAsItGrows) {
    GrowingTable<std::size_t> table;
    table.push_back(7);
    for (std::size_t i = 1; i < 100000; ++i) {
        table.push_back(table.back());
        ++table.back();
    }
    for (std::size_t i = 0; i < table.size(); ++i) ASSERT_EQ(table[i], i + 7);
    table.resize(300000, 1);
    EXPECT_EQ(table[99999], 100006u);
    EXPECT_EQ(table[100000], 1u);
    EXPECT_EQ(table.back(), 1u);
    table.resize(700000, table[0]);
    EXPECT_EQ(table.back(), 7u);
    // A byte count past the address space would wrap to a few bytes.
    EXPECT_THROW(table.reserve(SIZE_MAX / sizeof(std::size_t) + 2), std::bad_alloc);
}

}  // namespace
