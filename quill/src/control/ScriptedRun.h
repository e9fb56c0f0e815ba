#pragma once
// A run of the control loop by script, as a user makes one and as the
// tools measure one: from the loop's start on a view, tick after tick, the
// target turned before some ticks (by a click at a point of the view, or
// straight to a direction), and the centre of mass measured over the last
// quarter of the run.

#include <functional>
#include <vector>

#include "SwimmerControlLoop.h"

// A click as a script holds it: just before tick Tick (1 to the script's
// ticks), the target turns towards a point of the view, in units, y up
// (where a click at a pixel lands: CSwimmerControlLoop::ViewPoint).
struct ScriptedClick
{
    long long Tick;
    Point At;
};

// Just before tick Tick, the target turns straight to Direction (radians).
struct ScriptedTurn
{
    long long Tick;
    double Direction;
};

struct SwimScript
{
    long long Ticks = 0;
    double Target = 0.0;                // the target direction from the start
    std::vector<ScriptedTurn> Turns;    // a tick's turns come before its clicks
    std::vector<ScriptedClick> Clicks;  // a tick's clicks in the order given
};

// The two clicks a user makes first, on the default view: towards its top
// left 5 s in and towards its bottom right 15 s in, at the pixels (100, 100)
// and (1300, 650) of its 1400 x 700 (swimmer-headless --click 500:100:100
// --click 1500:1300:650).
std::vector<ScriptedClick> FirstClicks();

struct Velocity
{
    double X, Y;
};

struct SwimMeasure
{
    Point Start, Quarter, End;    // the centre of mass at the start, when the last quarter begins, at the end
    double QuarterSeconds = 0.0;  // simulated seconds of the last quarter

    // The mean velocity over the last quarter, units/s.
    Velocity QuarterVelocity() const
    {
        return {(End.X - Quarter.X) / QuarterSeconds, (End.Y - Quarter.Y) / QuarterSeconds};
    }
};

// Starts loop on the view, sets the script's target, and runs its ticks.
// afterTick(tick), if given, sees the loop at tick 0 (the start) and after
// every tick, and ends the run where it returns false.
SwimMeasure RunScript(CSwimmerControlLoop& loop, ClientSize view, const SwimScript& script,
                      const std::function<bool(long long)>& afterTick = nullptr);
