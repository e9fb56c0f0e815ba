#include "SwimmerControlLoop.h"

#include "Elementary.h"

CSwimmerControlLoop::CSwimmerControlLoop(int segments, const CFFNetwork& network,
                                         double nativeDirection, double scale)
    : Segments(segments),
      Scale(scale),
      Swimmer(segments),
      ValueFunction(Swimmer),
      State(2 * segments + 2),
      RotatedState(2 * segments + 2),
      Torques(segments - 1),
      StateDerivative(2 * segments + 2),
      NativeDirection(nativeDirection)
{
    ValueFunction.SetNetwork(network);
    Torques.Zero();
    State.Zero();
    RotatedState.Zero();
    StateDerivative.Zero();
}

CSwimmerControlLoop::~CSwimmerControlLoop() = default;

void CSwimmerControlLoop::Start(ClientSize client)
{
    TargetDirection = 0.0;
    HeadX = ViewWidth(client) * 0.5;
    HeadY = ViewHeight(client) * 0.5 - 1.0;
    WrappedAwayX = 0.0;
    WrappedAwayY = 0.0;
    State[0] = 0.0;
    State[1] = 0.0;
    for (int i = 1; i <= Segments; ++i) {
        State[2 * i] = UprightAngle;
        State[2 * i + 1] = 0.0;
    }
}

void CSwimmerControlLoop::Tick(ClientSize client)
{
    for (int step = 0; step < SubStepsPerTick; ++step)
        SubStep(SubStepPeriod, client);
}

// One sub-step, in the order that makes it what it is: the torques are
// chosen for the state before the step, in the controller's frame, and
// applied unchanged in the view's frame (the dynamics do not depend on the
// frame); the head moves with the velocity joint 0 had before the step.
void CSwimmerControlLoop::SubStep(double dt, ClientSize client)
{
    WrapHead(client);
    Swimmer.RotateState(State, NativeDirection - TargetDirection, RotatedState);
    ValueFunction.SetInput(RotatedState);
    ValueFunction.Evaluate();  // the derivative queries below read this evaluation
    Swimmer.ChooseGreedyAction(RotatedState, ValueFunction, Torques);
    Swimmer.GetDerivative(State, Torques, StateDerivative);
    Swimmer.EulerStep(State, StateDerivative, dt);
    HeadX += Swimmer.JointVX()[0] * dt;
    HeadY += Swimmer.JointVY()[0] * dt;
}

// A head beyond an edge reappears exactly on the opposite edge; NaN fails
// both tests and lands at 0.
void CSwimmerControlLoop::WrapHead(ClientSize client)
{
    const double oldX = HeadX;
    const double oldY = HeadY;
    const double width = ViewWidth(client);
    if (!(HeadX <= width))
        HeadX = 0.0;
    else if (!(HeadX >= 0.0))
        HeadX = width;
    const double height = ViewHeight(client);
    if (!(HeadY <= height))
        HeadY = 0.0;
    else if (!(HeadY >= 0.0))
        HeadY = height;
    if (HeadX != oldX)
        WrappedAwayX += oldX - HeadX;
    if (HeadY != oldY)
        WrappedAwayY += oldY - HeadY;
}

void CSwimmerControlLoop::AimAt(Point point)
{
    TargetDirection = Elementary::Atan2(point.Y - HeadY, point.X - HeadX);
}

void CSwimmerControlLoop::SetHead(double x, double y)
{
    HeadX = x;
    HeadY = y;
}

void CSwimmerControlLoop::SetState(const double* state)
{
    for (int i = 2 * Segments + 1; i >= 0; --i)
        State[i] = state[i];
}

// The centre of segment i lies at Σ_(j<i) e_j + e_i/2 from the head; the
// centre of mass is the mean of the centres.
Point CentreOfMass(const CSwimmerControlLoop& loop)
{
    const CVector& state = loop.GetState();
    const int segments = loop.GetSegments();
    double jointX = 0.0, jointY = 0.0, sumX = 0.0, sumY = 0.0;
    for (int i = 1; i <= segments; ++i) {
        const auto [s, c] = Elementary::SinCos(state[2 * i]);
        sumX += jointX + 0.5 * c;
        sumY += jointY + 0.5 * s;
        jointX += c;
        jointY += s;
    }
    return {loop.GetUnwrappedHeadX() + sumX / segments, loop.GetUnwrappedHeadY() + sumY / segments};
}
