#include "SwimmerControlLoop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "AllocationCounter.h"
#include "Demonstration.h"
#include "TestLoop.h"

namespace {

const double Pi = std::numbers::pi;
const double Upright = CSwimmerControlLoop::UprightAngle;
const double Native = Demonstration::NativeDirection;
const double Dt = 0.01 * 0.25;

TEST(SwimmerControlLoopTest, StartsUprightAtRestBelowTheMiddleOfTheView)
{
    TestLoop loop;
    EXPECT_EQ(loop.Loop.GetHeadX(), 10.0);
    EXPECT_EQ(loop.Loop.GetHeadY(), 4.0);
    EXPECT_EQ(loop.Loop.GetTargetDirection(), 0.0);
    const double start[] = {0, 0, Upright, 0, Upright, 0, Upright, 0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(loop.Loop.GetState()[i], start[i]) << i;
    EXPECT_EQ(loop.Loop.GetTorques()[0], 0.0);
    EXPECT_EQ(loop.Loop.GetTorques()[1], 0.0);

    // The controller sees every angle turned by the native direction.
    loop.SubStep();
    EXPECT_EQ(loop.Loop.GetRotatedState()[0], 0.0);
    EXPECT_EQ(loop.Loop.GetRotatedState()[1], 0.0);
    for (int i = 2; i < 8; i += 2)
        EXPECT_EQ(loop.Loop.GetRotatedState()[i], Native + Upright) << i;
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
        TestLoop loop;
        loop.Loop.SetHead(c.X, c.Y);
        loop.SubStep();
        const double vx = loop.Loop.GetSwimmer().JointVX()[0], vy = loop.Loop.GetSwimmer().JointVY()[0];
        EXPECT_EQ(loop.Loop.GetHeadX(), c.WrappedX + vx * Dt) << c.X << ", " << c.Y;
        EXPECT_EQ(loop.Loop.GetHeadY(), c.WrappedY + vy * Dt) << c.X << ", " << c.Y;
    }

    TestLoop minimised;  // an empty client area keeps the head in the corner
    minimised.Client.Width = minimised.Client.Height = 0;
    minimised.SubStep();
    minimised.SubStep();
    const double vx = minimised.Loop.GetSwimmer().JointVX()[0];
    EXPECT_EQ(minimised.Loop.GetHeadX(), 0 + vx * Dt);
}

// The unwrapped head, and the jumps the wrap took away, add up.
TEST(SwimmerControlLoopTest, TheUnwrappedHeadIgnoresTheWrapping)
{
    TestLoop wrapping, roomy;
    wrapping.Client.Width = 35;  // half a unit: the head starts beyond it
    roomy.Client.Width = 70000;
    wrapping.Loop.SetHead(10, 4);
    roomy.Loop.SetHead(10, 4);
    for (int tick = 0; tick < 50; ++tick) {
        wrapping.Tick();
        roomy.Tick();
    }
    EXPECT_NEAR(wrapping.Loop.GetUnwrappedHeadX(), roomy.Loop.GetUnwrappedHeadX(), 1e-12);
    EXPECT_NEAR(wrapping.Loop.GetUnwrappedHeadY(), roomy.Loop.GetUnwrappedHeadY(), 1e-12);
    EXPECT_LE(wrapping.Loop.GetHeadX(), 0.5 + 0.05);
}

// A tick is four sub-steps of 0.01 × 0.25 s; simulated time does not
// depend on how long a tick takes.
TEST(SwimmerControlLoopTest, ATickIsFourSubStepsOfAQuarterPeriod)
{
    TestLoop ticked, stepped;
    for (int tick = 0; tick < 10; ++tick) {
        ticked.Tick();
        for (int s = 0; s < 4; ++s)
            stepped.Loop.SubStep(Dt, stepped.Client);
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ticked.Loop.GetState()[i], stepped.Loop.GetState()[i]) << i;
    EXPECT_EQ(ticked.Loop.GetHeadX(), stepped.Loop.GetHeadX());
    EXPECT_EQ(ticked.Loop.GetHeadY(), stepped.Loop.GetHeadY());
}

// The controller works in its own frame, so the same stroke swims towards
// any target: a swimmer turned by a and steered a further towards a swims
// the turned path of the unturned one. This holds only if the rotation, the
// greedy choice in the controller frame and the view-frame integration
// agree; it breaks if the derivative or the carried head took the rotated
// state. Rounding of the turned angles is all that separates the two.
TEST(SwimmerControlLoopTest, ATurnedSwimmerSteeredTurnedSwimsTheTurnedPath)
{
    const double turn = 2.5;
    const double tolerance = 1e-9;  // units: rounding of angles near 2π over 50 ticks
    TestLoop plain, turned;
    turned.Client = plain.Client = {70000, 70000};  // no wrap in 50 ticks
    plain.Loop.SetHead(500, 500);
    turned.Loop.SetHead(500, 500);
    plain.Loop.SetTargetDirection(Native);
    turned.Loop.SetTargetDirection(Native + turn);
    for (int tick = 0; tick < 10; ++tick)
        plain.Tick();  // a state that is swimming, not the symmetric start
    double state[8];
    plain.Loop.GetSwimmer().RotateState(plain.Loop.GetState(), turn, state);
    turned.Loop.SetState(state);
    const double startX = plain.Loop.GetHeadX(), startY = plain.Loop.GetHeadY();

    const double c = std::cos(turn), s = std::sin(turn);
    for (int tick = 0; tick < 50; ++tick) {
        plain.Tick();
        turned.Tick();
        const double dx = plain.Loop.GetHeadX() - startX, dy = plain.Loop.GetHeadY() - startY;
        ASSERT_NEAR(turned.Loop.GetHeadX() - 500, c * dx - s * dy, tolerance) << tick;
        ASSERT_NEAR(turned.Loop.GetHeadY() - 500, s * dx + c * dy, tolerance) << tick;
        for (int j = 0; j < 2; ++j)
            ASSERT_EQ(turned.Loop.GetTorques()[j], plain.Loop.GetTorques()[j]) << tick;
    }
}

TEST(SwimmerControlLoopTest, TheControllerFrameTurnsWithTheTarget)
{
    // Target equal to the native direction: no rotation, and the model's
    // second build of a sub-step finds the first one's system.
    TestLoop aligned;
    aligned.Loop.SetTargetDirection(Native);
    aligned.Tick();
    const long builds = aligned.Loop.GetSwimmer().GetBuildCount();
    double before[8];
    for (int i = 0; i < 8; ++i)
        before[i] = aligned.Loop.GetState()[i];
    aligned.SubStep();
    EXPECT_EQ(aligned.Loop.GetSwimmer().GetBuildCount(), builds + 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(aligned.Loop.GetRotatedState()[i], before[i]) << i;

    // Far from it, the rotated angles leave (-π, π] unwrapped.
    TestLoop opposite;
    opposite.Loop.SetTargetDirection(-Pi + 0.1);
    opposite.SubStep();
    EXPECT_EQ(opposite.Loop.GetRotatedState()[2], (Native - (-Pi + 0.1)) + Upright);
    EXPECT_GT(opposite.Loop.GetRotatedState()[2], Pi);
}

TEST(SwimmerControlLoopTest, APressPointsTheSwimmerFromTheHeadToThePoint)
{
    TestLoop loop;  // 700 pixels high: 10 units
    loop.Loop.SetHead(10, 5);
    loop.Loop.PressAt(770, 280, loop.Client);  // (11, 6) in the view: one unit right, one up
    EXPECT_DOUBLE_EQ(loop.Loop.GetTargetDirection(), Pi / 4);
    loop.Loop.PressAt(700, 100, loop.Client);  // straight above the head
    EXPECT_DOUBLE_EQ(loop.Loop.GetTargetDirection(), Pi / 2);
    loop.Loop.PressAt(70, 350, loop.Client);   // to the left on the same row
    EXPECT_EQ(loop.Loop.GetTargetDirection(), Pi);
    EXPECT_EQ(loop.Loop.GetHeadX(), 10.0);  // nothing else changes
    EXPECT_EQ(loop.Loop.GetHeadY(), 5.0);
}

TEST(SwimmerControlLoopTest, ATickAllocatesNothing)
{
    TestLoop loop;
    loop.Tick();
    AllocationCounter counter;
    for (int tick = 0; tick < 10; ++tick)
        loop.Tick();
    EXPECT_EQ(counter.Count(), 0);
}

}  // namespace
