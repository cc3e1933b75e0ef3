#include "core/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(FloorWhole, IsTheLargestIntegerNotAboveTheValue)
{
    EXPECT_EQ(floorWhole(-1.2), -2.0);
    EXPECT_EQ(floorWhole(-1.0), -1.0);
    EXPECT_EQ(floorWhole(1.9), 1.0);
    EXPECT_EQ(floorWhole(0.0), 0.0);
    EXPECT_EQ(floorWhole(-0.5), -1.0);
}

TEST(IntegerStores, RoundHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(storeInt16(2.5), 2);
    EXPECT_EQ(storeInt16(3.5), 4);
    EXPECT_EQ(storeInt16(-2.5), -2);
    EXPECT_EQ(storeInt16(-3.5), -4);
    EXPECT_EQ(storeInt32(0.5), 0);
    EXPECT_EQ(storeInt32(1.5), 2);
    EXPECT_EQ(storeInt32(2662.5), 2662);
    EXPECT_EQ(storeInt32(2663.5), 2664);
}

TEST(IntegerStores, RoundOtherValuesToTheNearestInteger)
{
    EXPECT_EQ(storeInt16(1.4999), 1);
    EXPECT_EQ(storeInt16(1.5001), 2);
    EXPECT_EQ(storeInt16(-7.6), -8);
    EXPECT_EQ(storeInt32(833.33), 833);
    EXPECT_EQ(storeInt32(-0.4), 0);
}

TEST(IntegerStores, SaturateAtTheEdgesOfTheirFieldInsteadOfWrapping)
{
    EXPECT_EQ(storeInt16(32767.4), 32767);
    EXPECT_EQ(storeInt16(40000.0), 32767);
    EXPECT_EQ(storeInt16(-1e9), -32768);
    EXPECT_EQ(storeInt32(2147483647.0), 2147483647);
    EXPECT_EQ(storeInt32(1e12), 2147483647);
    EXPECT_EQ(storeInt32(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(storeInt32(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(storeInt32(std::nan("")), 0);
}

} // namespace
