#include "SwimmerTrainer.h"

#include <gtest/gtest.h>

#include "AllocationCounter.h"

namespace {

// The seed is the only source of randomness: the same seed learns the same
// weights to the bit, another seed others. A learning step allocates
// nothing.
TEST(SwimmerTrainerTest, LearningIsDeterministicAndAllocationFree)
{
    CSwimmerTrainer a(3, 7), b(3, 7), c(3, 8);
    for (int step = 0; step < 2000; ++step) {
        a.Step();
        b.Step();
        c.Step();
    }
    AllocationCounter counter;
    for (int step = 0; step < 500; ++step)
        a.Step();
    EXPECT_EQ(counter.Count(), 0);
    for (int step = 0; step < 500; ++step) {
        b.Step();
        c.Step();
    }
    CFFNetwork na, nb, nc;
    a.GetRoundedNetwork(false, na);
    b.GetRoundedNetwork(false, nb);
    c.GetRoundedNetwork(false, nc);
    const int n = na.GetNeuronCount();
    ASSERT_EQ(n, 30);
    int same = 0, differ = 0;
    for (int i = 0; i < n * n; ++i) {
        same += na.GetWeights()[i] == nb.GetWeights()[i];
        differ += na.GetWeights()[i] != nc.GetWeights()[i];
    }
    EXPECT_EQ(same, n * n);
    EXPECT_GT(differ, 0);
    EXPECT_TRUE(a.IsFinite());
}

}  // namespace
