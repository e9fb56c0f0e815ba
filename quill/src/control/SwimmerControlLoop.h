#pragma once
// CSwimmerControlLoop: the swimmer under greedy control, one timer tick at a
// time, without any platform. Each tick is four explicit sub-steps of
// 0.0025 s; in each, the controller looks at the swimmer through a frame
// turned so that the direction its value function favours (the native
// direction) lines up with the target direction, picks the torques there,
// and the dynamics are integrated in the view's own frame, where the head is
// carried along and wrapped at the edges of the view.
//
// The view frame has its origin at the bottom-left corner, y up, lengths in
// segment lengths. The host that drives the loop (a window, the headless
// driver, a page) hands in the size of its client area at every call that
// needs it, as it is then: a window may change size between ticks. The loop
// never calls back into its host; the host draws after a tick.

#include "FFNetworkVF.h"
#include "Swimmer.h"
#include "SwimmerView.h"
#include "Vector.h"

class CFFNetwork;

// A point of the view, or of the plane it shows, in length units, y up.
struct Point
{
    double X, Y;
};

class CSwimmerControlLoop
{
public:
    static constexpr int SubStepsPerTick = 4;
    static constexpr double TickPeriod = 0.01;  // seconds of simulated time
    // 0.01 / 4 scales by a power of two, so it is exactly 0.01 × 0.25.
    static constexpr double SubStepPeriod = TickPeriod / SubStepsPerTick;
    // A host that paces ticks by a clock lets at most this many wait; the
    // periods that arrive beyond them are dropped, so a host that falls
    // behind slows the swimmer down rather than making it catch up.
    static constexpr int MaxWaitingTicks = 10;
    // Every segment's angle at the start: slightly less than π/2, pointing
    // straight up.
    static constexpr double UprightAngle = 1.5707963265;

    // A swimmer of the given segments, valued by a copy of the network; at
    // rest with zero torques until Start places it in the view.
    CSwimmerControlLoop(int segments, const CFFNetwork& network, double nativeDirection,
                        double scale);
    ~CSwimmerControlLoop();

    CSwimmerControlLoop(const CSwimmerControlLoop&) = delete;
    CSwimmerControlLoop& operator=(const CSwimmerControlLoop&) = delete;

    // The start: swimming to the right, head half a view across and one unit
    // below the middle, every segment pointing straight up, at rest.
    void Start(ClientSize client);
    // Advances the simulation by one tick period.
    void Tick(ClientSize client);
    // A quarter of a tick: wrap, rotate, evaluate, choose, derive, step, carry.
    void SubStep(double dt, ClientSize client);
    // From now on swim in the direction from the head towards a point.
    void AimAt(Point point);
    // A left-button press at client pixel (x, y), y downwards: AimAt the
    // point of the view there.
    void PressAt(unsigned x, unsigned y, ClientSize client) { AimAt(ViewPoint(x, y, client)); }
    // The point of the view at client pixel (x, y), y downwards.
    Point ViewPoint(unsigned x, unsigned y, ClientSize client) const
    {
        return {x / Scale, ViewHeight(client) - y / Scale};
    }

    // The view, in length units.
    double ViewWidth(ClientSize client) const { return static_cast<double>(client.Width) / Scale; }
    double ViewHeight(ClientSize client) const { return static_cast<double>(client.Height) / Scale; }

    int GetSegments() const { return Segments; }
    double GetScale() const { return Scale; }
    double GetNativeDirection() const { return NativeDirection; }
    double GetHeadX() const { return HeadX; }
    double GetHeadY() const { return HeadY; }
    // The head's position had it never wrapped: HeadX plus every jump the
    // wrapping took away.
    double GetUnwrappedHeadX() const { return HeadX + WrappedAwayX; }
    double GetUnwrappedHeadY() const { return HeadY + WrappedAwayY; }
    double GetTargetDirection() const { return TargetDirection; }
    const CVector& GetState() const { return State; }
    const CVector& GetRotatedState() const { return RotatedState; }
    const CVector& GetTorques() const { return Torques; }
    CSwimmer& GetSwimmer() { return Swimmer; }

    // For tests and tools that need to set up a situation directly.
    void SetHead(double x, double y);
    // The view-frame state, 2n+2 doubles.
    void SetState(const double* state);
    void SetTargetDirection(double direction) { TargetDirection = direction; }

private:
    void WrapHead(ClientSize client);

    int Segments;
    double Scale;  // pixels per length unit
    CSwimmer Swimmer;
    CFFNetworkVF ValueFunction;
    CVector State;            // view frame
    double TargetDirection = 0.0;
    CVector RotatedState;     // controller frame
    CVector Torques;
    CVector StateDerivative;  // of State
    double HeadX = 0.0;
    double HeadY = 0.0;
    double NativeDirection;
    double WrappedAwayX = 0.0;
    double WrappedAwayY = 0.0;
};

// Where the swimmer's centre of mass is, unwrapped, in length units.
Point CentreOfMass(const CSwimmerControlLoop& loop);
