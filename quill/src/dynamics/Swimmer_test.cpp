#include "Swimmer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>
#include <numbers>

#include "Random.h"

namespace {

const double HalfPi = std::numbers::pi / 2;
const double k = CSwimmer::FluidFriction;
const double m = CSwimmer::SegmentMass;
const double I = m / 12.0;  // moment of inertia of a unit segment about its centre
// Tolerances. The model's numbers are of order 1 (velocities, in segment
// lengths per second), 10 (accelerations under the drag k = 10 and unit
// torques, in lengths or radians per second squared) and 100 (under the full
// torque of 5 against the inertia 1/12). One ulp is 2.2e-16 at 1, 1.8e-15 at
// 10 and 1.4e-14 at 100; every acceleration goes through the assembly of the
// rows and an LU solve of n+2 equations, which costs some tens of ulps.
//
// A lone segment's joint velocities and centre acceleration: a handful of
// operations on numbers of order 1, a few ulps.
const double LoneSegmentTolerance = 1e-15;
// A lone segment's drag deceleration of 10 from a solve of 3 equations, about
// 50 ulps; also a chain at rest, whose right-hand side is exactly zero and
// leaves nothing to round.
const double DragTolerance = 1e-13;
// Accelerations of order 10 that a unit torque drives through the system of
// a two-segment chain, about 500 ulps; and the centre's acceleration of an
// upright chain, a cancellation of forces of order 100 (70 ulps there).
const double TorqueTolerance = 1e-12;
// Angular accelerations of order 100 under the full torque, about 700 ulps.
const double FullTorqueTolerance = 1e-11;
// The balance laws sum n terms of order 10 to 100 with lever arms of order n;
// they hold to about 1e-12, and the power, a sum of products of forces and
// velocities, to ten times that.
const double BalanceTolerance = 1e-11;
const double PowerTolerance = 10 * BalanceTolerance;
// Halving the step of a first-order method halves its error: the ratio of
// successive errors is 2 within 15%, room for the second-order terms at
// these steps.
const double FirstOrderRatioTolerance = 0.3;

std::vector<double> RandomState(int n, CRandom& rng)
{
    std::vector<double> x(2 * n + 2);
    x[0] = 2 * rng.Real01() - 1;
    x[1] = 2 * rng.Real01() - 1;
    for (int i = 1; i <= n; ++i) {
        x[2 * i] = 8 * rng.Real01() - 4;  // angles also outside (-π, π]
        x[2 * i + 1] = 12 * rng.Real01() - 6;
    }
    return x;
}

std::vector<double> RandomTorques(int n, CRandom& rng)
{
    std::vector<double> u(n > 1 ? n - 1 : 0);
    for (double& torque : u)
        torque = 10 * rng.Real01() - 5;
    return u;
}

// Positions (relative to the centre of mass G), velocities and accelerations
// of the segment centres, from the state and its derivative by plain
// kinematics, independently of the model's rows: joint i sits at
// Σ_(j<=i) e_j from joint 0.
struct CentreMotion
{
    std::vector<double> px, py, vx, vy, ax, ay;
};

CentreMotion CentresOf(int n, const double* x, const double* d)
{
    std::vector<double> jpx(n + 1), jpy(n + 1), jvx(n + 1), jvy(n + 1), jax(n + 1), jay(n + 1);
    for (int i = 1; i <= n; ++i) {
        const double c = std::cos(x[2 * i]), s = std::sin(x[2 * i]);
        const double omega = x[2 * i + 1], alpha = d[2 * i + 1];
        jpx[i] = jpx[i - 1] + c;
        jpy[i] = jpy[i - 1] + s;
        jvx[i] = jvx[i - 1] - omega * s;
        jvy[i] = jvy[i - 1] + omega * c;
        jax[i] = jax[i - 1] - alpha * s - omega * omega * c;
        jay[i] = jay[i - 1] + alpha * c - omega * omega * s;
    }
    CentreMotion centres;
    double mean[6] = {};
    for (int i = 1; i <= n; ++i) {
        const double values[6] = {(jpx[i - 1] + jpx[i]) / 2, (jpy[i - 1] + jpy[i]) / 2,
                                  (jvx[i - 1] + jvx[i]) / 2, (jvy[i - 1] + jvy[i]) / 2,
                                  (jax[i - 1] + jax[i]) / 2, (jay[i - 1] + jay[i]) / 2};
        std::vector<double>* fields[6] = {&centres.px, &centres.py, &centres.vx,
                                          &centres.vy, &centres.ax, &centres.ay};
        for (int f = 0; f < 6; ++f) {
            fields[f]->push_back(values[f]);
            mean[f] += values[f] / n;
        }
    }
    for (int i = 0; i < n; ++i) {
        centres.px[i] -= mean[0];
        centres.py[i] -= mean[1];
        centres.vx[i] += x[0] - mean[2];
        centres.vy[i] += x[1] - mean[3];
        centres.ax[i] += d[0] - mean[4];
        centres.ay[i] += d[1] - mean[5];
    }
    return centres;
}

TEST(SwimmerTest, DescribesItsVariables)
{
    CSwimmer swimmer(3);
    ASSERT_EQ(swimmer.GetStateDimension(), 8);
    ASSERT_EQ(swimmer.GetActionDimension(), 2);
    const int kinds[] = {2, 2, 1, 2, 1, 2, 1, 2};
    const double pi = std::numbers::pi;
    const double max[] = {1, 1, pi, 6, pi, 6, pi, 6};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(swimmer.StateKind(i), kinds[i]) << i;
        EXPECT_EQ(swimmer.StateMax(i), max[i]) << i;
        EXPECT_EQ(swimmer.StateMin(i), -max[i]) << i;
    }
    EXPECT_EQ(swimmer.ActionMin(1), -5.0);
    EXPECT_EQ(swimmer.ActionMax(1), 5.0);
    EXPECT_EQ(swimmer.GetModelConstant(), 0.2);
    const double state[] = {0.75, -3, 0, 0, 0, 0, 0, 0};
    const double action[] = {5, 5};
    EXPECT_EQ(swimmer.GetReward(state, action), 0.75);
}

TEST(SwimmerTest, ALoneSpinningSegmentIsSlowedByTheDragTorque)
{
    // I·θ̈ = -k·L³·ω/12 with I = 1/12: θ̈ = -10 for ω = 1.
    CSwimmer swimmer(1);
    const double state[] = {0, 0, 0, 1};
    double d[4];
    swimmer.GetDerivative(state, nullptr, d);
    EXPECT_NEAR(d[0], 0, LoneSegmentTolerance);
    EXPECT_NEAR(d[1], 0, LoneSegmentTolerance);
    EXPECT_EQ(d[2], 1);
    EXPECT_NEAR(d[3], -10, DragTolerance);
    EXPECT_NEAR(swimmer.JointVX()[0], 0, LoneSegmentTolerance);
    EXPECT_NEAR(swimmer.JointVX()[1], 0, LoneSegmentTolerance);
    EXPECT_NEAR(swimmer.JointVY()[0], -0.5, LoneSegmentTolerance);
    EXPECT_NEAR(swimmer.JointVY()[1], 0.5, LoneSegmentTolerance);
}

TEST(SwimmerTest, AJointTorqueTurnsTheTwoSegmentsApartAboutTheCentre)
{
    CSwimmer swimmer(2);
    const double state[] = {0, 0, 0, 0, 0, 0};
    const double u[] = {1};
    double d[6];
    swimmer.GetDerivative(state, u, d);
    const double expected[] = {0, 0, 0, 12, 0, -12};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(d[i], expected[i], TorqueTolerance) << i;
}

TEST(SwimmerTest, OpposedTorquesOnAnUprightChain)
{
    CSwimmer swimmer(3);
    const double state[] = {0, 0, HalfPi, 0, HalfPi, 0, HalfPi, 0};
    const double u[] = {5, -5};
    double d[8];
    swimmer.GetDerivative(state, u, d);
    EXPECT_NEAR(d[0], 0, TorqueTolerance);
    EXPECT_NEAR(d[1], 0, TorqueTolerance);
    EXPECT_NEAR(d[3], 78, FullTorqueTolerance);
    EXPECT_NEAR(d[5], -84, FullTorqueTolerance);
    EXPECT_NEAR(d[7], 78, FullTorqueTolerance);
}

TEST(SwimmerTest, AChainAtRestWithoutTorquesStaysAtRest)
{
    CRandom rng(5);
    for (int n : {1, 2, 3, 5}) {
        CSwimmer swimmer(n);
        for (int trial = 0; trial < 10; ++trial) {
            std::vector<double> x = RandomState(n, rng);
            x[0] = x[1] = 0;
            for (int i = 1; i <= n; ++i)
                x[2 * i + 1] = 0;
            const std::vector<double> u(n > 1 ? n - 1 : 0, 0.0);
            std::vector<double> d(2 * n + 2);
            swimmer.GetDerivative(x.data(), u.data(), d.data());
            for (double value : d)
                EXPECT_NEAR(value, 0.0, DragTolerance) << "n=" << n;
        }
    }
}

// The joint velocities the model reports, and the accelerations it solves
// for, obey the balance laws of the whole chain: the joint forces and the
// joint torques are internal, so only the fluid changes the momentum, the
// angular momentum about G and (with the torques' power) the kinetic energy.
TEST(SwimmerTest, TheChainObeysMomentumAngularMomentumAndEnergyBalance)
{
    CRandom rng(17);
    for (int n = 1; n <= 8; ++n) {
        CSwimmer swimmer(n);
        for (int trial = 0; trial < 20; ++trial) {
            const std::vector<double> x = RandomState(n, rng);
            const std::vector<double> u = RandomTorques(n, rng);
            std::vector<double> d(2 * n + 2);
            swimmer.GetDerivative(x.data(), u.data(), d.data());
            const CentreMotion centres = CentresOf(n, x.data(), d.data());
            const double* jvx = swimmer.JointVX();
            const double* jvy = swimmer.JointVY();

            double forceX = 0, forceY = 0, torque = 0, angularRate = 0;
            double power = 0, energyRate = 0;
            for (int i = 1; i <= n; ++i) {
                const double c = std::cos(x[2 * i]), s = std::sin(x[2 * i]);
                const double omega = x[2 * i + 1], alpha = d[2 * i + 1];
                const double vx = (jvx[i - 1] + jvx[i]) / 2, vy = (jvy[i - 1] + jvy[i]) / 2;
                ASSERT_NEAR(vx, centres.vx[i - 1], BalanceTolerance);
                ASSERT_NEAR(vy, centres.vy[i - 1], BalanceTolerance);

                // Fluid force f·ν at the centre, f = -k·L·(v·ν); drag torque -k·L³·ω/12.
                const double normalSpeed = -s * vx + c * vy;
                const double f = -k * normalSpeed;
                const double fx = -f * s, fy = f * c;
                forceX += fx;
                forceY += fy;
                const double rx = centres.px[i - 1], ry = centres.py[i - 1];
                torque += rx * fy - ry * fx - k * omega / 12;
                const double rax = centres.ax[i - 1] - d[0], ray = centres.ay[i - 1] - d[1];
                angularRate += I * alpha + m * (rx * ray - ry * rax);
                power += f * normalSpeed - k * omega * omega / 12;
                energyRate += m * (vx * centres.ax[i - 1] + vy * centres.ay[i - 1]) + I * omega * alpha;
            }
            for (int j = 0; j < n - 1; ++j)
                power += u[j] * (x[2 * j + 3] - x[2 * j + 5]);

            EXPECT_NEAR(n * m * d[0], forceX, BalanceTolerance) << "n=" << n;
            EXPECT_NEAR(n * m * d[1], forceY, BalanceTolerance) << "n=" << n;
            EXPECT_NEAR(angularRate, torque, BalanceTolerance) << "n=" << n;
            EXPECT_NEAR(energyRate, power, PowerTolerance) << "n=" << n;
        }
    }
}

TEST(SwimmerTest, WithoutTorquesTheKineticEnergyNeverGrows)
{
    const int n = 3;
    CSwimmer swimmer(n);
    CRandom rng(23);
    std::vector<double> x = RandomState(n, rng);
    const double u[] = {0, 0};
    std::vector<double> d(2 * n + 2);
    auto energy = [&] {
        swimmer.GetDerivative(x.data(), u, d.data());
        double e = 0;
        for (int i = 1; i <= n; ++i) {
            const double vx = (swimmer.JointVX()[i - 1] + swimmer.JointVX()[i]) / 2;
            const double vy = (swimmer.JointVY()[i - 1] + swimmer.JointVY()[i]) / 2;
            e += 0.5 * m * (vx * vx + vy * vy) + 0.5 * I * x[2 * i + 1] * x[2 * i + 1];
        }
        return e;
    };
    double previous = energy();
    const double start = previous;
    for (int step = 0; step < 4000; ++step) {
        swimmer.EulerStep(x.data(), d.data(), 0.0005);
        const double now = energy();
        ASSERT_LE(now, previous) << "step " << step;
        previous = now;
    }
    EXPECT_LT(previous, 0.05 * start);  // two seconds of drag leave little
}

TEST(SwimmerTest, TheDerivativeCommutesWithARotationOfThePlane)
{
    CRandom rng(31);
    CSwimmer swimmer(3);
    for (int trial = 0; trial < 20; ++trial) {
        const std::vector<double> x = RandomState(3, rng);
        const std::vector<double> u = RandomTorques(3, rng);
        const double angle = 6 * rng.Real01() - 3;
        std::vector<double> turned(8), d(8), dTurned(8);
        swimmer.GetDerivative(x.data(), u.data(), d.data());
        swimmer.RotateState(x.data(), angle, turned.data());
        swimmer.GetDerivative(turned.data(), u.data(), dTurned.data());
        const double c = std::cos(angle), s = std::sin(angle);
        EXPECT_NEAR(dTurned[0], c * d[0] - s * d[1], BalanceTolerance);
        EXPECT_NEAR(dTurned[1], s * d[0] + c * d[1], BalanceTolerance);
        for (int i = 2; i < 8; ++i)
            EXPECT_NEAR(dTurned[i], d[i], BalanceTolerance) << i;
    }
}

TEST(SwimmerTest, OneBuildServesEveryDerivativeOfAState)
{
    CRandom rng(37);
    CSwimmer swimmer(3), fresh(3);
    std::vector<double> x = RandomState(3, rng);
    const double u1[] = {5, -5}, u2[] = {-2, 3};
    double d1[8], d2[8], expected[8];

    swimmer.GetDerivative(x.data(), u1, d1);
    EXPECT_EQ(swimmer.GetBuildCount(), 1);
    swimmer.GetDerivative(x.data(), u2, d2);
    EXPECT_EQ(swimmer.GetBuildCount(), 1);
    fresh.GetDerivative(x.data(), u2, expected);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d2[i], expected[i]) << i;  // the new torques, to the last bit
    EXPECT_NE(d1[3], d2[3]);

    // A change in the last component alone is a new state.
    x[7] = std::nextafter(x[7], 10.0);
    swimmer.GetDerivative(x.data(), u2, d2);
    EXPECT_EQ(swimmer.GetBuildCount(), 2);
    fresh.GetDerivative(x.data(), u2, expected);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d2[i], expected[i]) << i;

    // Rotating by 0 copies exactly: still the same state.
    std::vector<double> copy(8);
    swimmer.RotateState(x.data(), 0.0, copy.data());
    swimmer.GetDerivative(copy.data(), u2, d2);
    EXPECT_EQ(swimmer.GetBuildCount(), 2);
}

// The work arrays share one block, so an array laid out too short would
// spill into its neighbour unnoticed by any bounds check. What a build leaves
// behind (the joint velocities, and the system the derivative solves) must
// survive every other use of the block: the transposed solve of the torque
// choice writes the right-hand side and the solution, the rotation writes
// nothing of the model's. For chains of every length.
TEST(SwimmerTest, TheWorkArraysOfEveryChainLengthKeepToThemselves)
{
    CRandom rng(43);
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE("n=" + std::to_string(n));
        CSwimmer swimmer(n);
        const int d = 2 * n + 2;
        const std::vector<double> x = RandomState(n, rng);
        const std::vector<double> u = RandomTorques(n, rng);
        std::vector<double> gradient(d), first(d), again(d), turned(d), greedy(n - 1);
        for (double& g : gradient)
            g = 2 * rng.Real01() - 1;
        auto joints = [&] {
            std::vector<double> v(swimmer.JointVX(), swimmer.JointVX() + n + 1);
            v.insert(v.end(), swimmer.JointVY(), swimmer.JointVY() + n + 1);
            return v;
        };

        swimmer.GetDerivative(x.data(), u.data(), first.data());
        const std::vector<double> built = joints();
        swimmer.GreedyActionFromGradient(x.data(), gradient.data(), greedy.data());
        EXPECT_EQ(joints(), built);
        swimmer.RotateState(x.data(), 1.0, turned.data());
        EXPECT_EQ(joints(), built);
        swimmer.GetDerivative(x.data(), u.data(), again.data());
        EXPECT_EQ(joints(), built);
        EXPECT_EQ(again, first);
        EXPECT_EQ(swimmer.GetBuildCount(), 1);
    }
}

TEST(SwimmerTest, ANonFiniteStatePropagatesAndTheModelRecovers)
{
    CSwimmer swimmer(3);
    const double bad[] = {0, 0, std::numeric_limits<double>::quiet_NaN(), 0, 1, 0, 1, 0};
    const double u[] = {5, 5};
    double d[8];
    swimmer.GetDerivative(bad, u, d);
    EXPECT_FALSE(std::isfinite(d[3]));
    swimmer.GetDerivative(bad, u, d);  // NaN equals nothing: built again, no harm
    EXPECT_EQ(swimmer.GetBuildCount(), 2);

    const double good[] = {0, 0, HalfPi, 0, HalfPi, 0, HalfPi, 0};
    const double opposed[] = {5, -5};
    swimmer.GetDerivative(good, opposed, d);
    EXPECT_NEAR(d[5], -84, FullTorqueTolerance);
}

TEST(SwimmerTest, TheEulerErrorShrinksInProportionToTheStep)
{
    CRandom rng(41);
    const std::vector<double> start = RandomState(3, rng);
    const double u[] = {5, -5};
    const double duration = 0.1;
    auto integrate = [&](int steps) {
        CSwimmer swimmer(3);
        std::vector<double> x = start, d(8);
        const double h = duration / steps;
        for (int s = 0; s < steps; ++s) {
            swimmer.GetDerivative(x.data(), u, d.data());
            swimmer.EulerStep(x.data(), d.data(), h);
        }
        return x;
    };
    auto distance = [](const std::vector<double>& a, const std::vector<double>& b) {
        double sum = 0;
        for (size_t i = 0; i < a.size(); ++i)
            sum += (a[i] - b[i]) * (a[i] - b[i]);
        return std::sqrt(sum);
    };
    const std::vector<double> reference = integrate(20000);
    const double coarse = distance(integrate(40), reference);
    const double fine = distance(integrate(80), reference);
    const double finer = distance(integrate(160), reference);
    EXPECT_NEAR(coarse / fine, 2.0, FirstOrderRatioTolerance);
    EXPECT_NEAR(fine / finer, 2.0, FirstOrderRatioTolerance);
}

}  // namespace
