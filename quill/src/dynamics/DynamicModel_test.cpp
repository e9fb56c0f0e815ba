#include "DynamicModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>
#include <numbers>

#include "Random.h"

namespace {

const double Pi = std::numbers::pi;
const double NaN = std::numeric_limits<double>::quiet_NaN();

// A model with one variable of each kind, highest index Free:
//   0: Bounded [-1, 1], 1: Periodic [-π, π], 2: Free [0, 10].
// Actions: 0 in [-2, 3], 1 in [0, 1].
class CMixedModel : public CDynamicModel
{
public:
    explicit CMixedModel(bool withBounded = true) : CDynamicModel(3, 2, 0.5)
    {
        DescribeStateVariable(0, -1.0, 1.0, withBounded ? Bounded : Free);
        DescribeStateVariable(1, -Pi, Pi, Periodic);
        DescribeStateVariable(2, 0.0, 10.0, Free);
        DescribeActionVariable(0, -2.0, 3.0);
        DescribeActionVariable(1, 0.0, 1.0);
    }
    void GetDerivative(const double*, const double*, double* d) override
    {
        d[0] = d[1] = d[2] = 0.0;
    }
    double GetReward(const double* state, const double*) override { return state[0]; }
};

TEST(DynamicModelTest, IsInsideTestsOnlyBoundedVariablesAndThemStrictly)
{
    CMixedModel model;
    const double inside[] = {0.5, 100.0, -50.0};  // Periodic and Free far out
    EXPECT_EQ(model.IsInside(inside), 1);
    const double onBound[] = {1.0, 0.0, 5.0};
    EXPECT_EQ(model.IsInside(onBound), 0);
    const double notANumber[] = {NaN, 0.0, 5.0};
    EXPECT_EQ(model.IsInside(notANumber), 0);

    CMixedModel unbounded(false);
    const double farOut[] = {1e9, -1e9, NaN};
    EXPECT_EQ(unbounded.IsInside(farOut), 1);
}

TEST(DynamicModelTest, IsActionInsideIncludesTheBoundsButNotNaN)
{
    CMixedModel model;
    const double onBounds[] = {3.0, 0.0};
    EXPECT_EQ(model.IsActionInside(onBounds), 1);
    const double above[] = {3.0000001, 0.5};
    EXPECT_EQ(model.IsActionInside(above), 0);
    const double below[] = {0.0, -1e-300};
    EXPECT_EQ(model.IsActionInside(below), 0);
    const double notANumber[] = {0.0, NaN};
    EXPECT_EQ(model.IsActionInside(notANumber), 0);
}

TEST(DynamicModelTest, RandomStateAndActionDrawOncePerVariableHighestFirst)
{
    CMixedModel model;
    CRandom rng(3), replay(3);
    double state[3];
    model.RandomState(state, rng);
    EXPECT_EQ(state[2], 0.0 + replay.Real01() * 10.0);
    EXPECT_EQ(state[1], -Pi + replay.Real01() * (2 * Pi));
    EXPECT_EQ(state[0], -1.0 + replay.Real01() * 2.0);

    double action[2];
    model.RandomAction(action, rng);
    EXPECT_EQ(action[1], 0.0 + replay.Real01() * 1.0);
    EXPECT_EQ(action[0], -2.0 + replay.Real01() * 5.0);
    EXPECT_EQ(rng.Next(), replay.Next());  // and nothing more was drawn
}

TEST(DynamicModelTest, RandomBoundaryStateWithoutBoundedVariablesIsOneUniformDraw)
{
    CMixedModel model(false);
    CRandom rng(11), replay(11);
    double state[3], expected[3];
    model.RandomBoundaryState(state, rng);
    model.RandomState(expected, replay);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(state[i], expected[i]);
    EXPECT_EQ(rng.Next(), replay.Next());
}

TEST(DynamicModelTest, RandomBoundaryStatePinsTheChosenVariableToTheChosenBound)
{
    CMixedModel model;
    bool sawMin = false, sawMax = false;
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        CRandom rng(seed), replay(seed);
        double state[3];
        model.RandomBoundaryState(state, rng);

        // A first uniform pass, then r = Next mod 2 (one bounded variable):
        // variable 0 goes to its maximum when r is even, its minimum when odd,
        // and the others are drawn again, highest index first.
        double discarded[3];
        model.RandomState(discarded, replay);
        const std::uint32_t r = replay.Next() % 2;
        const double second2 = replay.Real01() * 10.0;
        const double second1 = -Pi + replay.Real01() * (2 * Pi);
        EXPECT_EQ(state[0], r ? -1.0 : 1.0);
        EXPECT_EQ(state[1], second1);
        EXPECT_EQ(state[2], second2);
        EXPECT_EQ(model.IsInside(state), 0);
        sawMin |= r == 1;
        sawMax |= r == 0;
    }
    EXPECT_TRUE(sawMin && sawMax);
}

TEST(DynamicModelTest, ExtremeActionsDriveOneVariableToOneBound)
{
    CMixedModel model;
    ASSERT_EQ(model.GetExtremeActionCount(), 4);
    std::vector<double> rows(8, NaN);
    model.GetExtremeActions(12345, rows.data());
    const std::vector<double> expected = {
        3.0, 0.0,   // max of 0
        -2.0, 0.0,  // min of 0
        0.0, 1.0,   // max of 1
        0.0, 0.0,   // min of 1
    };
    EXPECT_EQ(rows, expected);
}

TEST(DynamicModelTest, BaseDefaultsAndDescription)
{
    CMixedModel model;
    const double state[] = {0.0, 0.0, 0.0};
    EXPECT_EQ(model.GetExitValue(state), 0.0);
    EXPECT_EQ(model.AuxiliaryQuery(7), 0);
    EXPECT_EQ(model.GetStateDimension(), 3);
    EXPECT_EQ(model.GetActionDimension(), 2);
    EXPECT_EQ(model.GetModelConstant(), 0.5);
    EXPECT_EQ(model.StateKind(1), CDynamicModel::Periodic);
    EXPECT_EQ(model.ActionMax(0), 3.0);
}

}  // namespace
