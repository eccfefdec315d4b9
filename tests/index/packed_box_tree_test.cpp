// The packed tree against a scan of every entry, on trees deep enough that
// nodes count their live entries over several levels, asked with boxes and
// along bands.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "index/packed_box_tree.h"

namespace {

using loopweave::Box;
using loopweave::PackedBoxTree;
using loopweave::Strip;

// Long thin boxes, many sharing a centre line as the sides of nested squares
// do, among small ones; entries leave between queries.
TEST(PackedBoxTree, QueriesReportEveryLiveEntryTheyMeetAsEntriesLeave) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> place(0, 100);
    std::vector<PackedBoxTree::Entry> entries;
    for (int item = 0; item < 5000; ++item) {
        const double at = place(random);
        const double half = place(random) / 2;
        if (item % 3 == 0) {
            entries.push_back({{50 - half, at, 50 + half, at}, item});
        } else if (item % 3 == 1) {
            entries.push_back({{at, 50 - half, at, 50 + half}, item});
        } else {
            const double y = place(random);
            entries.push_back({{at, y, at + 1, y + 1}, item});
        }
    }
    PackedBoxTree tree(entries);
    std::vector<bool> live(tree.Size(), true);
    for (int round = 0; round < 100; ++round) {
        for (int i = 0; i < 50; ++i) {
            const auto entry = static_cast<std::size_t>(random() % tree.Size());
            if (!live[entry]) continue;
            tree.Drop(entry);
            live[entry] = false;
        }
        for (int query = 0; query < 5; ++query) {
            const double x = place(random);
            const double y = place(random);
            const Box asked{x, y, x + place(random) / 10, y};
            const Strip band{{x, y}, {place(random), place(random)}, place(random) / 1000};
            std::vector<int> found;
            std::vector<int> foundAlong;
            tree.Query(asked, found);
            tree.QueryAlong(band, foundAlong);
            std::vector<int> expected;
            std::vector<int> expectedAlong;
            for (std::size_t entry = 0; entry < tree.Size(); ++entry) {
                if (!live[entry]) continue;
                if (asked.Meets(tree.At(entry).box)) expected.push_back(tree.At(entry).item);
                if (band.Meets(tree.At(entry).box)) expectedAlong.push_back(tree.At(entry).item);
            }
            for (std::vector<int>* list : {&found, &expected, &foundAlong, &expectedAlong}) {
                std::sort(list->begin(), list->end());
            }
            ASSERT_EQ(found, expected) << "round " << round;
            ASSERT_EQ(foundAlong, expectedAlong) << "round " << round;
        }
    }
}

}  // namespace
