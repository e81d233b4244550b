#include "platform/GrowableArray.h"

#include <gtest/gtest.h>

using platform::GrowableArray;
using platform::InvalidArgument;

TEST(GrowableArray, GrowsByAnEighthBetweenFourAnd1024) {
    GrowableArray<int> a;
    a.Add(1);
    EXPECT_EQ(a.Capacity(), 4u); // at least 4
    for (int i = 0; i < 3; ++i)
        a.Add(i);
    a.Add(5);
    EXPECT_EQ(a.Capacity(), 8u);
    while (a.GetSize() < 9)
        a.Add(0);
    EXPECT_EQ(a.Capacity(), 12u); // 8/8 = 1, raised to 4
    a.SetSize(800);
    EXPECT_EQ(a.Capacity(), 800u);
    a.Add(0);
    EXPECT_EQ(a.Capacity(), 900u); // 800 + 800/8
    a.SetSize(9000);
    EXPECT_EQ(a.Capacity(), 9000u); // a requested size larger than the step is taken as is
    a.Add(0);
    EXPECT_EQ(a.Capacity(), 9000u + 1024u); // at most 1024 at a time
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
