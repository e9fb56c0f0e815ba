#include "Random.h"

#include <gtest/gtest.h>

namespace {

// The mean of 10^5 uniform draws on [0, 1) has a standard deviation of
// sqrt(1/12 / 10^5) = 0.0009; this allows five and a half of them, which a
// sound generator exceeds for about one seed in 20 million.
const double MeanTolerance = 0.005;

}  // namespace

TEST(RandomTest, NextAddsTheFirstLagToTheSecondAndWrapsBothIndices)
{
    CRandom rng;
    rng.FirstIndex = 0;
    rng.SecondIndex = 24;
    rng.Table[54] = 0xFFFFFFF0u;
    rng.Table[23] = 0x00000020u;

    // 0xFFFFFFF0 + 0x20 wraps modulo 2^32 to 0x10.
    EXPECT_EQ(rng.Next(), 0x10u);
    EXPECT_EQ(rng.FirstIndex, 54);
    EXPECT_EQ(rng.SecondIndex, 23);
    EXPECT_EQ(rng.Table[23], 0x10u);
    EXPECT_EQ(rng.Table[54], 0xFFFFFFF0u);
}

TEST(RandomTest, Real01UsesTheLow31BitsAndStaysBelowOne)
{
    CRandom rng;
    rng.FirstIndex = 1;
    rng.SecondIndex = 2;
    rng.Table[0] = 0xFFFFFFFFu;
    rng.Table[1] = 0;
    EXPECT_EQ(rng.Real01(), 2147483647.0 / 2147483648.0);  // top bit dropped

    rng.FirstIndex = 1;
    rng.SecondIndex = 2;
    rng.Table[0] = 0x80000000u;
    rng.Table[1] = 0;
    EXPECT_EQ(rng.Real01(), 0.0);
}

TEST(RandomTest, SeededGeneratorsRepeatAndSpreadOverTheUnitInterval)
{
    CRandom a(7), b(7), c(8);
    double sum = 0.0;
    bool differs = false;
    const int draws = 100000;
    for (int i = 0; i < draws; ++i) {
        const double u = a.Real01();
        ASSERT_EQ(u, b.Real01());
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
        differs |= u != c.Real01();
        sum += u;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / draws, 0.5, MeanTolerance);
}
