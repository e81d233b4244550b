#include "platform/GrowableArray.h"

#include <gtest/gtest.h>

using platform::GrowableArray;
using platform::InvalidArgument;

TEST(GrowableArray, GrowsGeometricallyFromFour) {
    GrowableArray<int> a;
    a.Add(1);
    EXPECT_EQ(a.Capacity(), 4u); // at least 4
    GrowableArray<int> made; // an element made in place grows the array alike
    made.AddNew() = 7;
    EXPECT_EQ(made.Capacity(), 4u);
    EXPECT_EQ(made[0], 7);
    for (int i = 0; i < 3; ++i)
        a.Add(i);
    a.Add(5);
    EXPECT_EQ(a.Capacity(), 8u);
    while (a.GetSize() < 9)
        a.Add(0);
    EXPECT_EQ(a.Capacity(), 12u); // 8/2 = 4
    a.SetSize(800);
    EXPECT_EQ(a.Capacity(), 800u);
    a.Add(0);
    EXPECT_EQ(a.Capacity(), 1200u); // 800 + 800/2
    a.SetSize(9000);
    EXPECT_EQ(a.Capacity(), 9000u); // a requested size larger than the step is taken as is
    a.Add(0);
    EXPECT_EQ(a.Capacity(), 13500u);
    // A hundred thousand appends move the elements a few dozen times, not a hundred.
    GrowableArray<int> b;
    int moves = 0;
    std::size_t capacity = 0;
    for (int i = 0; i < 100000; ++i) {
        b.Add(i);
        moves += b.Capacity() != capacity;
        capacity = b.Capacity();
    }
    EXPECT_LT(moves, 30);
}

TEST(GrowableArray, ChecksEveryIndexAndKeepsOrder) {
    GrowableArray<std::string> a;
    EXPECT_THROW(a.At(0), InvalidArgument);
    EXPECT_EQ(a.Add("a"), 0);
    EXPECT_EQ(a.Add("b"), 1);
    EXPECT_EQ(a.Add("c"), 2);
    EXPECT_THROW(a.At(-1), InvalidArgument);
    EXPECT_THROW(a.At(3), InvalidArgument);
    a.RemoveAt(1);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a[0], "a");
    EXPECT_EQ(a[1], "c");
    EXPECT_THROW(a.RemoveAt(2), InvalidArgument);
    a.SetSize(4);
    EXPECT_EQ(a[3], "");
    a.RemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.Capacity(), 0u);
}
