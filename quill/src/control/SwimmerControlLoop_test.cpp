#include "control/SwimmerControlLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "AllocationCounter.h"
#include "control/ControlTestLoop.h"

namespace {

const double Pi = 3.141592653589793;
const double Upright = 1.5707963265;
const double Native = CTestLoop::Native;
const double Dt = 0.01 * 0.25;

TEST(SwimmerControlLoopTest, StartsUprightAtRestBelowTheMiddleOfTheView)
{
    CTestLoop loop;
    EXPECT_EQ(loop.GetHeadX(), 10.0);
    EXPECT_EQ(loop.GetHeadY(), 4.0);
    EXPECT_EQ(loop.GetTargetDirection(), 0.0);
    const double start[] = {0, 0, Upright, 0, Upright, 0, Upright, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(loop.GetState()[i], start[i]) << i;
    EXPECT_EQ(loop.GetTorques()[0], 0.0);
    EXPECT_EQ(loop.GetTorques()[1], 0.0);

    // The controller sees every angle turned by the native direction.
    loop.SubStep(Dt);
    EXPECT_EQ(loop.GetRotatedState()[0], 0.0);
    EXPECT_EQ(loop.GetRotatedState()[1], 0.0);
    for (int i = 2; i < 8; i += 2)
        EXPECT_EQ(loop.GetRotatedState()[i], Native + Upright) << i;
}

// The wrap happens before the motion: a head past an edge starts the
// sub-step exactly on the opposite edge, so it ends there plus one step of
// joint 0's velocity.
TEST(SwimmerControlLoopTest, AHeadPastAnEdgeReappearsExactlyOnTheOppositeEdge)
{
    struct Case
    {
        double X, Y, WrappedX, WrappedY;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {20.5, 4, 0, 4},       // beyond the right edge, by any amount
        {-0.001, 4, 20, 4},    // beyond the left edge
        {10, 10.25, 10, 0},    // above the top
        {10, -3, 10, 10},      // below the bottom
        {nan, nan, 0, 0},      // lost: back to the corner
        {20, 10, 20, 10},      // exactly on the edges: stays
    };
    for (const Case& c : cases) {
        CTestLoop loop;
        loop.SetHead(c.X, c.Y);
        loop.SubStep(Dt);
        const double vx = loop.GetSwimmer().JointVX()[0], vy = loop.GetSwimmer().JointVY()[0];
        EXPECT_EQ(loop.GetHeadX(), c.WrappedX + vx * Dt) << c.X << ", " << c.Y;
        EXPECT_EQ(loop.GetHeadY(), c.WrappedY + vy * Dt) << c.X << ", " << c.Y;
    }

    CTestLoop minimised;  // an empty client area keeps the head in the corner
    minimised.Width = minimised.Height = 0;
    minimised.SubStep(Dt);
    minimised.SubStep(Dt);
    const double vx = minimised.GetSwimmer().JointVX()[0];
    EXPECT_EQ(minimised.GetHeadX(), 0 + vx * Dt);
}

// The unwrapped head, and the jumps the wrap took away, add up.
TEST(SwimmerControlLoopTest, TheUnwrappedHeadIgnoresTheWrapping)
{
    CTestLoop wrapping, roomy;
    wrapping.Width = 35;  // half a unit: the head starts beyond it
    roomy.Width = 70000;
    wrapping.SetHead(10, 4);
    roomy.SetHead(10, 4);
    for (int tick = 0; tick < 50; ++tick) {
        wrapping.Tick();
        roomy.Tick();
    }
    EXPECT_NEAR(wrapping.GetUnwrappedHeadX(), roomy.GetUnwrappedHeadX(), 1e-12);
    EXPECT_NEAR(wrapping.GetUnwrappedHeadY(), roomy.GetUnwrappedHeadY(), 1e-12);
    EXPECT_LE(wrapping.GetHeadX(), 0.5 + 0.05);
}

// A tick is four sub-steps of 0.0025 s, then the drawing; simulated time does
// not depend on how long a tick takes.
TEST(SwimmerControlLoopTest, ATickIsFourSubStepsThenTheDrawing)
{
    CTestLoop ticked, stepped;
    for (int tick = 0; tick < 10; ++tick) {
        ticked.Tick();
        for (int s = 0; s < 4; ++s)
            stepped.SubStep(0.01 * 0.25);
    }
    EXPECT_EQ(ticked.Drawn, 10);
    EXPECT_EQ(stepped.Drawn, 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ticked.GetState()[i], stepped.GetState()[i]) << i;
    EXPECT_EQ(ticked.GetHeadX(), stepped.GetHeadX());
    EXPECT_EQ(ticked.GetHeadY(), stepped.GetHeadY());
}

// One sub-step against the plain sequence of the model's operations: rotate,
// value, greedy torques, derivative of the unrotated state, Euler step, head.
TEST(SwimmerControlLoopTest, ASubStepIsTheModelsOperationsInOrder)
{
    CTestLoop loop;
    loop.SetTargetDirection(2.5);
    for (int tick = 0; tick < 30; ++tick)
        loop.Tick();

    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNetwork(RandomSwimmerNetwork());
    double state[8], rotated[8], torques[2], derivative[8];
    for (int i = 0; i < 8; ++i)
        state[i] = loop.GetState()[i];
    double headX = loop.GetHeadX(), headY = loop.GetHeadY();

    loop.SubStep(Dt);
    swimmer.RotateState(state, Native - 2.5, rotated);
    value.SetInput(rotated);
    value.Evaluate();
    swimmer.ChooseGreedyAction(rotated, value, torques);
    swimmer.GetDerivative(state, torques, derivative);
    swimmer.EulerStep(state, derivative, Dt);
    headX += swimmer.JointVX()[0] * Dt;
    headY += swimmer.JointVY()[0] * Dt;

    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(loop.GetState()[i], state[i]) << i;
        EXPECT_EQ(loop.GetRotatedState()[i], rotated[i]) << i;
    }
    EXPECT_EQ(loop.GetTorques()[0], torques[0]);
    EXPECT_EQ(loop.GetTorques()[1], torques[1]);
    EXPECT_EQ(loop.GetHeadX(), headX);
    EXPECT_EQ(loop.GetHeadY(), headY);
}

TEST(SwimmerControlLoopTest, TheControllerFrameTurnsWithTheTarget)
{
    // Target equal to the native direction: no rotation, and the model's
    // second build of a sub-step finds the first one's system.
    CTestLoop aligned;
    aligned.SetTargetDirection(Native);
    aligned.Tick();
    const long builds = aligned.GetSwimmer().GetBuildCount();
    double before[8];
    for (int i = 0; i < 8; ++i)
        before[i] = aligned.GetState()[i];
    aligned.SubStep(Dt);
    EXPECT_EQ(aligned.GetSwimmer().GetBuildCount(), builds + 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(aligned.GetRotatedState()[i], before[i]) << i;

    // Far from it, the rotated angles leave (-π, π] unwrapped.
    CTestLoop opposite;
    opposite.SetTargetDirection(-Pi + 0.1);
    opposite.SubStep(Dt);
    EXPECT_EQ(opposite.GetRotatedState()[2], (Native - (-Pi + 0.1)) + Upright);
    EXPECT_GT(opposite.GetRotatedState()[2], Pi);
}

TEST(SwimmerControlLoopTest, APressPointsTheSwimmerFromTheHeadToThePoint)
{
    CTestLoop loop;  // 700 pixels high: 10 units
    loop.SetHead(10, 5);
    loop.PressAt(770, 280);  // (11, 6) in the view: one unit right, one up
    EXPECT_DOUBLE_EQ(loop.GetTargetDirection(), Pi / 4);
    loop.PressAt(700, 100);  // straight above the head
    EXPECT_DOUBLE_EQ(loop.GetTargetDirection(), Pi / 2);
    loop.PressAt(70, 350);   // to the left on the same row
    EXPECT_EQ(loop.GetTargetDirection(), Pi);
    EXPECT_EQ(loop.GetHeadX(), 10.0);  // nothing else changes
    EXPECT_EQ(loop.GetHeadY(), 5.0);
}

TEST(SwimmerControlLoopTest, ATickAllocatesNothing)
{
    CTestLoop loop;
    loop.Tick();
    AllocationCounter counter;
    for (int tick = 0; tick < 10; ++tick)
        loop.Tick();
    EXPECT_EQ(counter.Count(), 0);
}

}  // namespace
