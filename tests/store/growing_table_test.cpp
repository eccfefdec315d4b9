#include <gtest/gtest.h>

#include <cstddef>

#include "store/growing_table.h"

namespace {

using loopweave::GrowingTable;

// Records survive every growth, a record appended from the table itself is
// read before the table moves, and resize fills only the new records.
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
}

}  // namespace
