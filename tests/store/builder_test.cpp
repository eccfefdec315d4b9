#include <gtest/gtest.h>

#include <vector>

#include "loopweave.h"
#include "support/allocation_counter.h"

namespace {

using loopweave::testing::AllocationCounter;

std::vector<CLoopweaveElement*> Stored(CLoopweave& builder) {
    std::vector<CLoopweaveElement*> stored;
    CPtrList& list = builder.Element();
    for (CPtrList::Node* node = list.Head(); node; node = list.Next(node)) {
        stored.push_back(static_cast<CLoopweaveElement*>(list.Data(node)));
    }
    return stored;
}

TEST(Builder, EntryStoresSeparateCopiesInOrder) {
    CLoopweave builder;
    CLoopweaveElement line(0, 0, 1, 0, 1, 2);
    CLoopweaveElement* first = builder.Entry(line);
    CLoopweaveElement* second = builder.Entry(line);
    CLoopweaveElement point(3, 3, 3, 3, 5, 6);  // zero length is stored too
    CLoopweaveElement* third = builder.Entry(point);

    EXPECT_NE(first, &line);
    EXPECT_NE(first, second);
    EXPECT_EQ(Stored(builder), (std::vector<CLoopweaveElement*>{first, second, third}));

    line = CLoopweaveElement(9, 9, 9, 9, 9, 9);  // the host's own element is not the stored one
    EXPECT_EQ(first->Ex(), 1);
    EXPECT_EQ(first->Key2(), 2);
    EXPECT_EQ(third->Key1(), 5);
}

TEST(Builder, TheHostChangesAStoredElementThroughTheReturnedPointer) {
    CLoopweave builder;
    CLoopweaveElement line(0, 0, 1, 0);
    CLoopweaveElement* stored = builder.Entry(line);
    *stored = CLoopweaveElement(2, 2, 4, 4, 7, 8);
    EXPECT_EQ(Stored(builder).front()->Ey(), 4);
    EXPECT_EQ(Stored(builder).front()->Key1(), 7);
}

TEST(Builder, RemoveElementDeletesTheElementsAndKeepsThePolygons) {
    AllocationCounter counter;
    {
        CLoopweave builder;
        CLoopweaveElement line(0, 0, 1, 0);
        builder.Entry(line);
        builder.Entry(line);
        auto* polygon = new COutputLoopweave;
        builder.Polygon().Append(polygon);

        builder.RemoveElement();
        EXPECT_EQ(builder.Element().Count(), 0);
        EXPECT_EQ(builder.Element().Head(), nullptr);
        ASSERT_EQ(builder.Polygon().Count(), 1);
        EXPECT_EQ(builder.Polygon().Data(builder.Polygon().Head()), polygon);

        builder.Entry(line);  // a cleared builder takes new elements
        EXPECT_EQ(builder.Element().Count(), 1);
    }
    EXPECT_EQ(counter.Releases(), counter.Allocations());
}

TEST(Builder, DestructionDeletesStoredElementsAndPolygonsWithWhatTheyOwn) {
    AllocationCounter counter;
    {
        CLoopweave builder;
        CLoopweaveElement line(0, 0, 1, 0);
        for (int i = 0; i < 25; ++i) builder.Entry(line);
        auto* polygon = new COutputLoopweave;
        polygon->Element().Append(new CLoopweaveElement(line));
        polygon->Error().Append(new CCoord(1, 0, 2));
        builder.Polygon().Append(polygon);
        builder.Polygon().Append(nullptr);  // null entries are skipped
    }
    EXPECT_EQ(counter.Releases(), counter.Allocations());
}

}  // namespace
