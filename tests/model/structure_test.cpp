#include "model/structure.h"

#include <gtest/gtest.h>

namespace vanto {
namespace {

TEST(HalfBandwidth, SixTimesTheLargestNodeDifferencePlusOne) {
    Table<float> bars(2, BarFieldCount);
    bars(1, Origin) = 7;
    bars(1, End) = 3;
    EXPECT_EQ(ComputeHalfBandwidth(bars, 1), 30);
    bars(2, Origin) = 1;
    bars(2, End) = 2;
    EXPECT_EQ(ComputeHalfBandwidth(bars, 2), 30);
    EXPECT_EQ(ComputeHalfBandwidth(bars, 0), 6);
}

TEST(Table, IndexZeroExistsAndSpareRowsAreValid) {
    Table<float> t(5 + 100, 3);
    EXPECT_EQ(t.maxRow(), 105);
    EXPECT_EQ(t.maxCol(), 3);
    t(105, 3) = 1;
    t.resizeRows(200);
    EXPECT_EQ(t(105, 3), 1);
    EXPECT_EQ(t(200, 3), 0);
}

TEST(FreeMarker, OnlyExactly1234IsFree) {
    EXPECT_TRUE(isFree(1234.0));
    EXPECT_TRUE(isFree(FreeMarker));
    EXPECT_FALSE(isFree(1234.0001));
    EXPECT_FALSE(isFree(0));
}

TEST(ItemNumber, RoundsAndRefusesAbsurdValues) {
    EXPECT_EQ(itemNumber(3.0f), 3);
    EXPECT_EQ(itemNumber(2.6f), 3);
    EXPECT_EQ(itemNumber(-1.6f), -2);
    EXPECT_EQ(itemNumber(1e20f), 0);
}

}  // namespace
}  // namespace vanto
