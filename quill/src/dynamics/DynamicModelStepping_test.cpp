#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <numbers>

#include "DynamicModel.h"
#include "Random.h"
#include "StubValueFunction.h"

namespace {

const double Pi = std::numbers::pi;
// Radians. Two angles of order 3 (one ulp is 4.4e-16) wrapped by the same
// period: their difference carries the rounding of each, about two ulps.
const double WrappedDifferenceTolerance = 1e-15;

// 0: Periodic [-π, π], 1: Free [-1, 1], 2: Bounded [-1, 1] (or Free).
// The derivative is (1, -2, u_0) and the reward 7 + state[1].
class CStepModel : public CDynamicModel
{
public:
    CStepModel(bool withBounded, std::string& log) : CDynamicModel(3, 1, 0.0), Log(log)
    {
        DescribeStateVariable(0, -Pi, Pi, Periodic);
        DescribeStateVariable(1, -1.0, 1.0, Free);
        DescribeStateVariable(2, -1.0, 1.0, withBounded ? Bounded : Free);
        DescribeActionVariable(0, -1.0, 1.0);
    }
    void GetDerivative(const double*, const double* u, double* d) override
    {
        Log += "derivative ";
        d[0] = 1.0;
        d[1] = -2.0;
        d[2] = u[0];
    }
    double GetReward(const double* x, const double*) override
    {
        Log += "reward ";
        return 7.0 + x[1];
    }
    double GetExitValue(const double*) override { return -100.0; }

    std::string& Log;
};

class CFixedController : public CController
{
public:
    explicit CFixedController(std::string& log) : Log(log) {}
    void ChooseAction(const double*, CValueFunction&, double* action) override
    {
        Log += "choose ";
        action[0] = Action;
    }
    double Action = 0.5;
    std::string& Log;
};

TEST(TimeSteppingTest, EulerStepWrapsAPeriodicVariableByOnePeriod)
{
    std::string log;
    CStepModel model(false, log);
    double x[] = {3.1, 5.0, 0.0};
    const double d[] = {1.0, 1.0, 0.0};
    model.EulerStep(x, d, 0.1);
    EXPECT_EQ(x[0], (0.1 * 1.0 + 3.1) + (-Pi - Pi));  // 3.2 - 2π, about -3.08
    EXPECT_EQ(x[1], 5.1);                              // Free: never wrapped

    double onBound[] = {Pi - 0.5, 0.0, 0.0};
    const double toBound[] = {1.0, 0.0, 0.0};
    model.EulerStep(onBound, toBound, 0.5);
    EXPECT_EQ(onBound[0], Pi);  // exactly on the bound: stays
}

TEST(TimeSteppingTest, ZeroStepWrapsOnlyWhatWasOutsideAndOnlyOnce)
{
    std::string log;
    CStepModel model(false, log);
    const double d[] = {1.0, 1.0, 1.0};
    double x[] = {-4.0, 0.25, 0.5};
    model.EulerStep(x, d, 0.0);
    EXPECT_EQ(x[0], -4.0 + 2 * Pi);
    EXPECT_EQ(x[1], 0.25);
    EXPECT_EQ(x[2], 0.5);

    double far[] = {20.0, 0.0, 0.0};
    model.EulerStep(far, d, 0.0);
    EXPECT_EQ(far[0], 20.0 - 2 * Pi);  // still outside: one period at most
}

TEST(TimeSteppingTest, TwoStepUpdateKeepsTheHistoryAndItsDifferenceAcrossAWrap)
{
    std::string log;
    CStepModel model(false, log);
    const double d[] = {2.0, -1.0, 4.0};
    double p[] = {0.5, 0.25, 1.0};
    double x[] = {0.5, 0.25, 1.0};
    model.TwoStepUpdate(p, x, d, 0.1);
    // With p = x the update is x + 1.5·h·d.
    EXPECT_DOUBLE_EQ(x[0], 0.5 + 0.3);
    EXPECT_DOUBLE_EQ(x[1], 0.25 - 0.15);
    EXPECT_DOUBLE_EQ(x[2], 1.0 + 0.6);
    EXPECT_EQ(p[0], 0.5);
    EXPECT_EQ(p[2], 1.0);

    double pw[] = {3.0, 0.0, 0.0};
    double xw[] = {3.1, 0.0, 0.0};
    model.TwoStepUpdate(pw, xw, d, 0.1);  // (3.0 + 3.1)/2 + 0.3 = 3.35 > π
    EXPECT_DOUBLE_EQ(xw[0], 3.35 - 2 * Pi);
    EXPECT_DOUBLE_EQ(pw[0], 3.1 - 2 * Pi);
    EXPECT_NEAR(xw[0] - pw[0], 3.35 - 3.1, WrappedDifferenceTolerance);
}

TEST(TimeSteppingTest, TrajectoryStepEvaluatesChoosesStepsAndRevalues)
{
    std::string log;
    CStepModel model(false, log);
    CStubValueFunction v(model, {}, &log);
    CFixedController controller(log);
    double x[] = {0.5, 0.25, 0.0};
    v.SetInput(x);
    log.clear();

    double u[1], d[3], before = 0, after = 0, reward = 0;
    model.TrajectoryStep(x, u, d, 0.1, v, controller, before, after, reward);
    EXPECT_EQ(log, "evaluate choose reward derivative input evaluate ");
    EXPECT_EQ(before, 0.5);
    EXPECT_EQ(reward, 7.25);
    EXPECT_EQ(u[0], 0.5);
    EXPECT_EQ(x[0], 0.1 * 1.0 + 0.5);
    EXPECT_EQ(x[2], 0.1 * 0.5 + 0.0);
    EXPECT_EQ(after, x[0]);  // no Bounded variable: always inside
}

TEST(TimeSteppingTest, TrajectoryStepLeavingTheDomainTakesTheExitValue)
{
    std::string log;
    CStepModel model(true, log);
    CStubValueFunction v(model, {}, &log);
    CFixedController controller(log);
    controller.Action = 1.0;
    double x[] = {0.5, 0.0, 0.95};  // the Bounded variable will reach 1.05
    v.SetInput(x);
    log.clear();

    double u[1], d[3], before = 0, after = 0, reward = 0;
    model.TrajectoryStep(x, u, d, 0.1, v, controller, before, after, reward);
    EXPECT_EQ(after, -100.0);
    EXPECT_EQ(v.Input, 0.5);  // the value function keeps its old input
    EXPECT_EQ(log, "evaluate choose reward derivative ");
}

}  // namespace
