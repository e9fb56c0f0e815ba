#include "TemporalDifference.h"

#include <gtest/gtest.h>

#include <cmath>

#include "FFNetworkVF.h"
#include "LearnLimits.h"
#include "Random.h"
#include "SwimmerTrainer.h"

namespace {

// ẋ = −x, rewarded at the rate x, in [−1, 1]: from x the return discounted
// over τ is ∫ e^(−t/τ) x e^(−t) dt = x·τ/(1 + τ), linear in x.
class CDecayModel : public CDynamicModel
{
public:
    CDecayModel() : CDynamicModel(1, 1, 0.0)
    {
        DescribeStateVariable(0, -1.0, 1.0, Free);
        DescribeActionVariable(0, -1.0, 1.0);
    }
    void GetDerivative(const double* x, const double*, double* d) override { d[0] = -x[0]; }
    double GetReward(const double* x, const double*) override { return x[0]; }
};

class CIdleController : public CController
{
public:
    void ChooseAction(const double*, CValueFunction&, double* action) override { action[0] = 0; }
};

// A network of input, bias and linear output is V = a·x + b: the exact
// value is in reach, and TD with traces must find it. The Euler steps of
// the learner see ẋ = −x as x' = (1 − h)·x, whose discrete fixed point
// V(x) = r·h + γ·V(x') gives a = h / (1 − γ(1 − h)), O(h) above τ/(1 + τ).
TEST(TemporalDifferenceTest, AFixedPolicysValueConvergesToItsDiscountedReturn)
{
    const TDConstants constants = {0.01, 1.0, 0.3, 0.05, 2.0};
    CDecayModel model;
    CFFNetworkVF value(model);
    value.SetNeurons(3);
    CIdleController idle;
    CRandom rng(3);
    CTDLearner learner(model, value, idle, rng, constants);
    for (int step = 0; step < 200000; ++step)
        learner.Step();

    const double h = constants.StepPeriod, tau = constants.Discount;
    const double gamma = std::exp(-h / tau);
    const double discrete = h / (1 - gamma * (1 - h));
    const double continuous = tau / (1 + tau);
    const double tolerance = 0.01;  // of the slope: what 2000 s of noisy TD leave
    const double xs[] = {-0.8, 0.0, 0.5, 1.0};
    for (double x : xs) {
        value.SetInput(&x);
        EXPECT_NEAR(value.Evaluate(), discrete * x, tolerance) << x;
    }
    EXPECT_NEAR(discrete, continuous, 0.01);  // and the discretisation is small
}

// The longest swimmer's plan steps within the bound of the learner's Euler
// step (DefaultPlan says where it lies): at a rate too small to move the
// weights, only the state could take them to infinity.
TEST(TemporalDifferenceTest, TheLongestSwimmersPlanStepsWithinEulersBound)
{
    TrainingPlan plan = DefaultPlan(LearnLimits::MostSegments);
    plan.Learners = 1;
    plan.Learning.LearningRate = 1e-9;
    CWorkerTeam team(1);
    CSwimmerTrainer trainer(plan, 1, team);
    trainer.Run(100000);
    EXPECT_TRUE(trainer.IsFinite(0));
}

}  // namespace
