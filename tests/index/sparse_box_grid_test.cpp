// The sparse grid of lines' places, against a scan of every item: each query
// must report every live item whose box meets the query box, once, and no
// retired item, however items move between levels, lie far beyond the cells
// asked about, or are wider than every level.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "index/sparse_box_grid.h"

namespace {

using loopweave::Box;
using loopweave::SparseBoxGrid;

// Mostly small boxes crowded along a few rows, some wide, a few far too wide
// for any level, and now and then an empty one.
Box RandomBox(std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(0, 1);
    const double x = 1000 * unit(random);
    const double y = random() % 2 == 0 ? std::round(4 * unit(random)) * 100 : 1000 * unit(random);
    const int kind = static_cast<int>(random() % 40);
    const double size = kind == 0 ? 1e300 : kind < 4 ? std::pow(10, 3 * unit(random)) : unit(random);
    if (kind == 39) return {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    return {x - size, y - size * unit(random), x + size, y + size};
}

TEST(SparseBoxGrid, QueriesFindEveryLiveItemTheirBoxMeetsOnce) {
    std::mt19937_64 random(20261209);
    std::vector<Box> boxes;
    std::vector<bool> retired;
    SparseBoxGrid grid(2, 16, boxes);
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 100; ++i) {
            boxes.push_back(RandomBox(random));
            retired.push_back(false);
            grid.Insert(static_cast<int>(boxes.size()) - 1);
        }
        for (int i = 0; i < 50; ++i) {
            const auto item = static_cast<std::size_t>(random() % boxes.size());
            if (retired[item]) continue;
            if (random() % 4 == 0) {
                retired[item] = true;
                grid.Retire(static_cast<int>(item));
            } else {
                boxes[item] = random() % 2 == 0 ? RandomBox(random) : boxes[item].Grown(0.5);
                grid.Insert(static_cast<int>(item));
            }
        }
        for (int query = 0; query < 20; ++query) {
            const Box asked = query == 0 ? Box{-1e9, -1e9, 1e9, 1e9} : RandomBox(random).Grown(1);
            std::vector<int> found;
            grid.Query(asked, found);
            std::sort(found.begin(), found.end());
            ASSERT_EQ(std::adjacent_find(found.begin(), found.end()), found.end()) << "an item reported twice";
            for (int item : found) ASSERT_FALSE(retired[static_cast<std::size_t>(item)]) << "retired item " << item;
            for (std::size_t item = 0; item < boxes.size(); ++item) {
                if (retired[item] || !asked.Meets(boxes[item])) continue;
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), static_cast<int>(item)))
                    << "item " << item << " missed in round " << round;
            }
        }
    }
}

}  // namespace
