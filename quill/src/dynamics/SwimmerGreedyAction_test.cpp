#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>
#include <numbers>

#include "Random.h"
#include "Swimmer.h"
#include "StubValueFunction.h"

namespace {

const double HalfPi = std::numbers::pi / 2;
// Rates dV/dt (value per second): sums of 2n+2 products of gradient entries
// below 1 and derivatives up to a few hundred. Computed through a forward
// solve for each corner and a transposed solve for the choice, they agree to
// about 1e-12, so a corner may look better than the chosen one by that much
// when a torque's coefficient is lost in rounding; flipping a torque with a
// real coefficient changes the rate by 10 times it, far above this.
const double RateTolerance = 1e-9;
// cos(π/2 rounded to a double) = 6.1232e-17, not 0; math libraries agree on
// it to about 1e-21 (an x87 cosine reduces by a 66-bit π).
const double CosineTolerance = 1e-20;

TEST(GreedyActionTest, EachTorqueTakesTheBoundItsCoefficientFavours)
{
    // Straight two-segment chain at rest: raising ω_1 wants joint 1 to push
    // segment 1 counter-clockwise (+5), raising ω_2 the opposite (-5).
    CSwimmer two(2);
    const double straight[] = {0, 0, 0, 0, 0, 0};
    double u[1];
    const double towardsOmega1[] = {0, 0, 0, 1, 0, 0};
    two.GreedyActionFromGradient(straight, towardsOmega1, u);
    EXPECT_EQ(u[0], 5.0);
    const double towardsOmega2[] = {0, 0, 0, 0, 0, 1};
    two.GreedyActionFromGradient(straight, towardsOmega2, u);
    EXPECT_EQ(u[0], -5.0);

    CSwimmer three(3);
    const double upright[] = {0, 0, HalfPi, 0, HalfPi, 0, HalfPi, 0};
    const double middle[] = {0, 0, 0, 0, 0, 1, 0, 0};
    double u3[2];
    three.GreedyActionFromGradient(upright, middle, u3);
    EXPECT_EQ(u3[0], -5.0);
    EXPECT_EQ(u3[1], 5.0);
}

TEST(GreedyActionTest, NoPreferenceOrNaNTakesTheLowerBound)
{
    CSwimmer swimmer(3);
    const double upright[] = {0.3, 0, HalfPi, 1, HalfPi, 0, HalfPi, -1};
    const double zero[8] = {};
    double u[2] = {7, 7};
    swimmer.GreedyActionFromGradient(upright, zero, u);
    EXPECT_EQ(u[0], -5.0);
    EXPECT_EQ(u[1], -5.0);

    double nan[8] = {};
    nan[5] = std::numeric_limits<double>::quiet_NaN();
    u[0] = u[1] = 7;
    swimmer.GreedyActionFromGradient(upright, nan, u);
    EXPECT_EQ(u[0], -5.0);
    EXPECT_EQ(u[1], -5.0);
}

// The defining property: no corner of the torque box makes the value grow
// faster, dV/dt = Σ_k G_k·dx_k/dt, than the chosen one.
TEST(GreedyActionTest, TheChosenCornerMaximisesTheRateOfChangeOfTheValue)
{
    CRandom rng(53);
    for (int n : {2, 3, 4}) {
        CSwimmer swimmer(n);
        const int d = 2 * n + 2;
        for (int trial = 0; trial < 50; ++trial) {
            std::vector<double> x(d), g(d), chosen(n - 1), corner(n - 1), dx(d);
            for (int i = 0; i < d; ++i) {
                x[i] = 6 * rng.Real01() - 3;
                g[i] = 2 * rng.Real01() - 1;
            }
            swimmer.GreedyActionFromGradient(x.data(), g.data(), chosen.data());
            auto rate = [&](const std::vector<double>& u) {
                swimmer.GetDerivative(x.data(), u.data(), dx.data());
                double sum = 0;
                for (int i = 0; i < d; ++i)
                    sum += g[i] * dx[i];
                return sum;
            };
            const double best = rate(chosen);
            for (int mask = 0; mask < (1 << (n - 1)); ++mask) {
                for (int j = 0; j < n - 1; ++j)
                    corner[j] = (mask >> j) & 1 ? 5.0 : -5.0;
                EXPECT_GE(best, rate(corner) - RateTolerance) << "n=" << n << " trial " << trial;
            }
        }
    }
}

TEST(GreedyActionTest, ChooseGreedyActionAsksForTheAcceleratedComponentsOnly)
{
    CSwimmer swimmer(3);
    CRandom rng(59);
    std::vector<double> g(8);
    for (double& value : g)
        value = 2 * rng.Real01() - 1;
    CStubValueFunction v(swimmer, g);
    const double x[] = {0.1, 0.2, 1, 2, -1, 0.5, 3, -2};
    double viaValue[2], viaGradient[2];
    swimmer.ChooseGreedyAction(x, v, viaValue);
    EXPECT_EQ(v.Queries, (std::vector<int>{0, 1, 7, 5, 3}));
    g[2] = g[4] = g[6] = std::numeric_limits<double>::quiet_NaN();  // angles: never read
    swimmer.GreedyActionFromGradient(x, g.data(), viaGradient);
    EXPECT_EQ(viaValue[0], viaGradient[0]);
    EXPECT_EQ(viaValue[1], viaGradient[1]);
}

TEST(GreedyActionTest, RotateStateTurnsTheVelocityAndShiftsTheAnglesUnwrapped)
{
    CSwimmer swimmer(2);
    const double x[] = {1, 0, 3.0, 0.5, -3.0, -0.25};
    double turned[6];
    swimmer.RotateState(x, 1.0, turned);
    EXPECT_EQ(turned[2], 4.0);  // outside (-π, π]: not wrapped
    EXPECT_EQ(turned[4], -2.0);
    EXPECT_EQ(turned[3], 0.5);
    EXPECT_EQ(turned[5], -0.25);

    swimmer.RotateState(x, HalfPi, turned);
    EXPECT_NEAR(turned[0], 6.1232e-17, CosineTolerance);  // the velocity (1, 0) turned by π/2
    EXPECT_EQ(turned[1], 1.0);

    swimmer.RotateState(x, 0.0, turned);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(turned[i], x[i]) << i;
}

}  // namespace
