#include "ScriptedRun.h"

#include <algorithm>

#include "SwimmerView.h"

namespace {

// Where a click at pixel (x, y) of the default view lands, computed as
// CSwimmerControlLoop::ViewPoint computes it, so that the bits agree.
Point DefaultViewPoint(unsigned x, unsigned y)
{
    const double scale = SwimmerView::PixelsPerUnit;
    return {x / scale, SwimmerView::DefaultClient.Height / scale - y / scale};
}

}  // namespace

std::vector<ScriptedClick> FirstClicks()
{
    return {{500, DefaultViewPoint(100, 100)}, {1500, DefaultViewPoint(1300, 650)}};
}

SwimMeasure RunScript(CSwimmerControlLoop& loop, ClientSize view, const SwimScript& script,
                      const std::function<bool(long long)>& afterTick)
{
    loop.Start(view);
    loop.SetTargetDirection(script.Target);
    // Events in tick order; those of one tick in the order given.
    auto byTick = [](const auto& a, const auto& b) { return a.Tick < b.Tick; };
    std::vector<ScriptedTurn> turns = script.Turns;
    std::vector<ScriptedClick> clicks = script.Clicks;
    std::stable_sort(turns.begin(), turns.end(), byTick);
    std::stable_sort(clicks.begin(), clicks.end(), byTick);

    SwimMeasure measure;
    measure.Start = CentreOfMass(loop);
    measure.Quarter = measure.Start;
    const long long quarterStart = script.Ticks - script.Ticks / 4;
    measure.QuarterSeconds = static_cast<double>(script.Ticks - quarterStart) * CSwimmerControlLoop::TickPeriod;
    std::size_t nextTurn = 0, nextClick = 0;
    bool going = !afterTick || afterTick(0);
    for (long long tick = 1; going && tick <= script.Ticks; ++tick) {
        for (; nextTurn < turns.size() && turns[nextTurn].Tick <= tick; ++nextTurn)
            loop.SetTargetDirection(turns[nextTurn].Direction);
        for (; nextClick < clicks.size() && clicks[nextClick].Tick <= tick; ++nextClick)
            loop.AimAt(clicks[nextClick].At);
        loop.Tick(view);
        if (tick == quarterStart)
            measure.Quarter = CentreOfMass(loop);
        going = !afterTick || afterTick(tick);
    }
    measure.End = CentreOfMass(loop);
    return measure;
}
