// The grid that finds cutting's candidates, against a scan of every item:
// each query must report every live item whose box meets the query box,
// once, and no retired item, however items move between its layers.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "index/box_grid.h"

namespace {

using loopweave::Box;
using loopweave::BoxGrid;
using loopweave::Point;
using loopweave::Strip;

Box RandomBox(std::mt19937_64& random, double longest) {
    std::uniform_real_distribution<double> place(0, 100);
    std::uniform_real_distribution<double> size(0, longest);
    const double x = place(random);
    const double y = place(random);
    return {x, y, x + size(random), y + size(random)};
}

// Many short items among a few long ones; boxes change, items are cut in
// two, the new half taking over the old item's entries, and items retire.
// With `cellsWanted` coarse cells; the first items are loaded together when
// `load`, so that the long ones go into the tree, held there by stretches of
// their diagonals when `bySegment`. Then only items with a point of the
// diagonal, its middle, in what is asked must be found.
void ExpectQueriesReportEveryLiveItemTheirBoxMeetsOnce(std::size_t cellsWanted, bool load = false,
                                                       bool bySegment = false) {
    std::mt19937_64 random(20261208);
    std::vector<Box> boxes;
    std::vector<bool> retired;
    BoxGrid grid({0, 0, 100, 100}, cellsWanted, boxes);
    // What of an item must be found: its box, or the middle of its diagonal.
    const auto Sought = [bySegment](const Box& box) {
        if (!bySegment) return box;
        const Point middle{(box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2};
        return Box::Around(middle, middle);
    };
    const auto add = [&](const Box& box) {
        boxes.push_back(box);
        retired.push_back(false);
        grid.Insert(static_cast<int>(boxes.size()) - 1);
    };
    if (load) {
        std::vector<int> loaded;
        for (int i = 0; i < 60; ++i) {
            boxes.push_back(RandomBox(random, i % 3 == 0 ? 2 : 100));
            retired.push_back(false);
            loaded.push_back(i);
        }
        grid.Load(
            loaded, !bySegment ? BoxGrid::BandOf() : [&boxes](int item, Strip& band) {
                const Box& box = boxes[static_cast<std::size_t>(item)];
                band = {{box.minX, box.minY}, {box.maxX, box.maxY}, 0};
                return true;
            });
    }
    for (int i = 0; i < 20; ++i) add(RandomBox(random, 100));
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 200; ++i) add(RandomBox(random, 2));
        for (int i = 0; i < 50; ++i) {
            const auto item = static_cast<int>(random() % boxes.size());
            if (retired[static_cast<std::size_t>(item)]) continue;
            if (random() % 4 == 0) {
                retired[static_cast<std::size_t>(item)] = true;
                grid.Retire(item);
            } else if (random() % 3 == 0) {
                Box& box = boxes[static_cast<std::size_t>(item)];
                const double middle = (box.minX + box.maxX) / 2;
                const Box rest{middle, box.minY, box.maxX, box.maxY};
                box.maxX = middle;
                boxes.push_back(rest);
                retired.push_back(false);
                const int piece = static_cast<int>(boxes.size()) - 1;
                grid.HandOver(item, piece);
                grid.Insert(piece);
                grid.Insert(item);
            } else {
                // Shrunk, as a cut element is, or moved a little, as the end
                // of a T can move it, or grown long.
                Box& box = boxes[static_cast<std::size_t>(item)];
                const int change = static_cast<int>(random() % 3);
                if (change == 0) box.maxX = (box.minX + box.maxX) / 2;
                if (change == 1) box = {box.minX + 0.01, box.minY - 0.01, box.maxX + 0.01, box.maxY - 0.01};
                if (change == 2) box.maxX += 30;
                grid.Insert(item);
            }
        }
        for (int query = 0; query < 20; ++query) {
            const Box asked = RandomBox(random, query % 2 == 0 ? 1 : 20);
            std::vector<int> found;
            grid.Query(asked, found);
            std::vector<int> sorted = found;
            std::sort(sorted.begin(), sorted.end());
            ASSERT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "an item reported twice";
            for (int item : found) ASSERT_FALSE(retired[static_cast<std::size_t>(item)]) << "retired item " << item;
            for (std::size_t item = 0; item < boxes.size(); ++item) {
                if (retired[item] || !asked.Meets(Sought(boxes[item]))) continue;
                ASSERT_TRUE(std::binary_search(sorted.begin(), sorted.end(), static_cast<int>(item)))
                    << "item " << item << " missed in round " << round;
            }
        }
        // Asked along a band at a slant, the grid reports the items whose
        // boxes the band meets; those in the tree maybe more than once.
        std::uniform_real_distribution<double> place(-10, 110);
        const Strip band{{place(random), place(random)}, {place(random), place(random)}, 0.5};
        std::vector<int> found;
        grid.QueryAlong(band, found);
        std::sort(found.begin(), found.end());
        for (std::size_t item = 0; item < boxes.size(); ++item) {
            if (retired[item] || !band.Meets(Sought(boxes[item]))) continue;
            ASSERT_TRUE(std::binary_search(found.begin(), found.end(), static_cast<int>(item)))
                << "item " << item << " missed along a band in round " << round;
        }
    }
}

// Far more short items than the few coarse cells, so that they crowd onto a
// fine grid that is made finer several times.
TEST(BoxGrid, QueriesFindEveryItemAsShortOnesMoveToEverFinerGrids) {
    ExpectQueriesReportEveryLiveItemTheirBoxMeetsOnce(16);
}

// Coarse cells so small that the long items, and the short ones grown long,
// reach into too many of them, and go on coarser grids.
TEST(BoxGrid, QueriesFindEveryItemAsLongOnesMoveToCoarserGrids) {
    ExpectQueriesReportEveryLiveItemTheirBoxMeetsOnce(16384);
}

// Long items loaded into the tree, then cut, shrunk, moved off their loaded
// boxes and retired, among items inserted one by one.
TEST(BoxGrid, QueriesFindEveryItemAsLoadedOnesLeaveTheTree) {
    ExpectQueriesReportEveryLiveItemTheirBoxMeetsOnce(16384, true);
    ExpectQueriesReportEveryLiveItemTheirBoxMeetsOnce(16384, true, true);
}

// A line at a slant held in the tree by stretches stays there while its
// segment lies within half the margin of the one it was loaded with, and is
// found wherever its segment runs: here with its start moved across, where
// the box of the first stretch has a corner, and its end moved on beyond
// itself along an axis, each by nearly half the margin.
TEST(BoxGrid, FindsAHeldLineMovedWithinItsMargin) {
    const double margin = 1.0 / 64;  // of a coarse cell, 1 wide: 10000 cells over the extent
    const Point loadedStart{0, 0};
    const Point loadedEnd{100, 100};
    const Point across{-0.3 * margin, 0.3 * margin};
    const Point beyond{100 + 0.45 * margin, 100};
    for (const auto& [start, end, probe] : {std::array<Point, 3>{across, loadedEnd, across},
                                            std::array<Point, 3>{loadedStart, beyond, beyond}}) {
        std::vector<Box> boxes{Box::Around(loadedStart, loadedEnd)};
        bool loaded = false;
        BoxGrid grid({0, 0, 100, 100}, 10000, boxes);
        grid.Load({0}, [&](int, Strip& band) {
            band = {loaded ? start : loadedStart, loaded ? end : loadedEnd, 0};
            return true;
        });
        loaded = true;
        boxes[0] = Box::Around(start, end);
        grid.Insert(0);
        std::vector<int> found;
        grid.Query(Box::Around(probe, probe), found);
        EXPECT_EQ(found, std::vector<int>{0}) << probe.x << " " << probe.y;
    }
}

}  // namespace
