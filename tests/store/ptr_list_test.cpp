#include <gtest/gtest.h>

#include <vector>

#include "loopweave.h"
#include "support/allocation_counter.h"

namespace {

using loopweave::testing::AllocationCounter;

// The data pointers from head to tail, after checking that the walk backwards
// from the tail meets the same nodes and that the count agrees.
std::vector<void*> Walk(CPtrList& list) {
    std::vector<CPtrList::Node*> forward;
    for (CPtrList::Node* node = list.Head(); node; node = list.Next(node)) forward.push_back(node);
    std::vector<CPtrList::Node*> backward;
    for (CPtrList::Node* node = list.Tail(); node; node = list.Prev(node)) backward.insert(backward.begin(), node);
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(list.Count(), static_cast<int>(forward.size()));
    std::vector<void*> data;
    for (CPtrList::Node* node : forward) data.push_back(list.Data(node));
    return data;
}

int values[16];

TEST(PtrList, AppendAndInsertAfterKeepTheLinksInBothDirections) {
    CPtrList list;
    CPtrList::Node* a = list.Append(&values[0]);
    CPtrList::Node* c = list.Append(&values[2]);
    list.InsertAfter(a, &values[1]);
    list.InsertAfter(c, &values[3]);        // after the tail: becomes the tail
    list.InsertAfter(nullptr, &values[4]);  // no node: appends
    EXPECT_EQ(Walk(list), (std::vector<void*>{&values[0], &values[1], &values[2], &values[3], &values[4]}));
    EXPECT_EQ(list.Data(list.Tail()), &values[4]);
}

TEST(PtrList, InsertAfterNullIntoAnEmptyListMakesHeadAndTail) {
    CPtrList list;
    CPtrList::Node* node = list.InsertAfter(nullptr, &values[0]);
    EXPECT_EQ(list.Head(), node);
    EXPECT_EQ(list.Tail(), node);
    EXPECT_EQ(Walk(list), std::vector<void*>{&values[0]});
}

TEST(PtrList, RemoveRelinksHeadMiddleAndTail) {
    CPtrList list;
    std::vector<CPtrList::Node*> nodes;
    for (int i = 0; i < 5; ++i) nodes.push_back(list.Append(&values[i]));
    list.Remove(nodes[2]);
    list.Remove(nodes[0]);
    list.Remove(nodes[4]);
    EXPECT_EQ(Walk(list), (std::vector<void*>{&values[1], &values[3]}));
    list.Remove(nodes[1]);
    list.Remove(nodes[3]);
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(PtrList, NullNodesAreAnsweredWithNullAndIgnoredByRemove) {
    CPtrList list;
    list.Append(&values[0]);
    EXPECT_EQ(list.Next(nullptr), nullptr);
    EXPECT_EQ(list.Prev(nullptr), nullptr);
    EXPECT_EQ(list.Data(nullptr), nullptr);
    list.Remove(nullptr);
    EXPECT_EQ(Walk(list), std::vector<void*>{&values[0]});
}

TEST(PtrList, NodesOfABlockAreHandedOutInStorageOrderAndReused) {
    CPtrList list;
    std::vector<CPtrList::Node*> nodes;
    for (int i = 0; i < 10; ++i) nodes.push_back(list.Append(&values[i]));
    for (int i = 1; i < 10; ++i) EXPECT_GT(nodes[i], nodes[i - 1]);
    list.Remove(nodes[4]);
    EXPECT_EQ(list.Append(&values[10]), nodes[4]);
    // The free chain goes on past the reused node, not back to it.
    CPtrList::Node* next = list.Append(&values[11]);
    EXPECT_NE(next, nodes[4]);
    EXPECT_EQ(list.Count(), 11);
    EXPECT_EQ(list.Data(list.Tail()), &values[11]);
}

TEST(PtrList, TheEleventhAppendTakesASecondBlock) {
    if (!AllocationCounter::Counting()) GTEST_SKIP() << "allocations cannot be counted here";
    CPtrList list;
    list.Append(&values[0]);
    AllocationCounter counter;
    for (int i = 1; i < 10; ++i) list.Append(&values[i]);
    EXPECT_EQ(counter.Allocations(), 0);
    list.Append(&values[10]);
    EXPECT_GT(counter.Allocations(), 0);
}

TEST(PtrList, BlocksAreReleasedOnlyWhenTheListBecomesEmpty) {
    std::vector<CPtrList::Node*> nodes;
    nodes.reserve(15);
    AllocationCounter counter;
    {
        CPtrList list;
        for (int i = 0; i < 15; ++i) nodes.push_back(list.Append(&values[i % 16]));
        const long taken = counter.Allocations();
        for (int i = 0; i < 14; ++i) list.Remove(nodes[i]);
        EXPECT_EQ(counter.Releases(), 0);
        list.Remove(nodes[14]);
        EXPECT_EQ(counter.Releases(), taken);

        list.Append(&values[0]);  // a list emptied by removal works as new
        list.RemoveAll();
        EXPECT_EQ(counter.Releases(), counter.Allocations());
        EXPECT_EQ(list.Head(), nullptr);
        EXPECT_EQ(list.Count(), 0);
        list.Append(&values[1]);
    }
    EXPECT_EQ(counter.Releases(), counter.Allocations());  // the destructor releases too
}

TEST(PtrList, ABlockSizeBelowOneIsTakenAsOne) {
    if (!AllocationCounter::Counting()) GTEST_SKIP() << "allocations cannot be counted here";
    CPtrList list(0);
    AllocationCounter counter;
    list.Append(&values[0]);
    const long perBlock = counter.Allocations();
    list.Append(&values[1]);
    EXPECT_GT(perBlock, 0);
    EXPECT_EQ(counter.Allocations(), 2 * perBlock);
    EXPECT_EQ(Walk(list), (std::vector<void*>{&values[0], &values[1]}));
}

}  // namespace
