#include <gtest/gtest.h>

#include "store/ptr_array.h"

namespace {

using loopweave::CPtrArray;

int values[8];

TEST(PtrArray, TheFirstSizeTakesExactlyThatManyNullSlots) {
    CPtrArray array;
    array.SetSize(5);
    EXPECT_EQ(array.Size(), 5);
    EXPECT_EQ(array.Capacity(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(array[i], nullptr);
}

TEST(PtrArray, GrowingKeepsTheSlotsAndNullsTheNewOnes) {
    CPtrArray array;
    array.SetSize(3);
    for (int i = 0; i < 3; ++i) array[i] = &values[i];
    array.SetSize(2);  // within capacity
    array.SetSize(3);  // the slot uncovered again is null
    EXPECT_EQ(array[2], nullptr);
    array.SetSize(20);
    EXPECT_EQ(array[0], &values[0]);
    EXPECT_EQ(array[1], &values[1]);
    for (int i = 2; i < 20; ++i) EXPECT_EQ(array[i], nullptr);
}

TEST(PtrArray, AutomaticGrowthStepsByAnEighthClampedToFourAnd1024) {
    CPtrArray array;
    array.SetSize(16);
    array.SetSize(17);  // 16/8 = 2, clamped up to 4
    EXPECT_EQ(array.Capacity(), 20);
    array.SetSize(400);  // larger than 20 + 4: exactly the requested size
    EXPECT_EQ(array.Capacity(), 400);
    array.SetSize(401);  // 400/8 = 50
    EXPECT_EQ(array.Capacity(), 450);

    CPtrArray large;
    large.SetSize(16000);
    large.SetSize(16001);  // 2000, clamped down to 1024
    EXPECT_EQ(large.Capacity(), 17024);
}

TEST(PtrArray, AGrowStepOnceSetIsKeptUntilChanged) {
    CPtrArray array;
    array.SetSize(10, 100);
    array.SetSize(11);
    EXPECT_EQ(array.Capacity(), 110);
    array.SetSize(111, 0);  // back to automatic: 110 + 4 (11/8 clamped up) is more than asked
    EXPECT_EQ(array.Capacity(), 114);
}

TEST(PtrArray, SizeZeroReleasesTheStorage) {
    CPtrArray array;
    array.SetSize(10);
    array.SetSize(0);
    EXPECT_EQ(array.Size(), 0);
    EXPECT_EQ(array.Capacity(), 0);
    array.SetSize(2);
    EXPECT_EQ(array.Capacity(), 2);
}

TEST(PtrArray, RemoveAtMovesTheLaterSlotsDown) {
    CPtrArray array;
    array.SetSize(5);
    for (int i = 0; i < 5; ++i) array[i] = &values[i];
    array.RemoveAt(1, 2);
    ASSERT_EQ(array.Size(), 3);
    EXPECT_EQ(array[0], &values[0]);
    EXPECT_EQ(array[1], &values[3]);
    EXPECT_EQ(array[2], &values[4]);
    array.RemoveAt(2, 1);  // the last slot: nothing moves
    ASSERT_EQ(array.Size(), 2);
    EXPECT_EQ(array[1], &values[3]);
}

}  // namespace
