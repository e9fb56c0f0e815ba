#include "ScriptedRun.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestLoop.h"

namespace {

bool SameBits(const SwimMeasure& a, const SwimMeasure& b)
{
    const double x[] = {a.Start.X, a.Start.Y, a.Quarter.X, a.Quarter.Y, a.End.X, a.End.Y, a.QuarterSeconds};
    const double y[] = {b.Start.X, b.Start.Y, b.Quarter.X, b.Quarter.Y, b.End.X, b.End.Y, b.QuarterSeconds};
    return std::memcmp(x, y, sizeof x) == 0;
}

SwimScript Script(long long ticks, std::vector<ScriptedClick> clicks = {}, std::vector<ScriptedTurn> turns = {})
{
    SwimScript script;
    script.Ticks = ticks;
    script.Clicks = std::move(clicks);
    script.Turns = std::move(turns);
    return script;
}

// The learner scores in the view's units (one pixel a unit) what a user
// sees at 70 pixels a unit: the same bits, plain, after the user's first
// clicks, and after a turn; and a click at a pixel lands where FirstClicks
// says it does.
TEST(ScriptedRunTest, UnitsAndPixelsSwimTheSameBits)
{
    const SwimmerNetwork& swimmer = RandomSwimmer();
    const SwimScript scripts[] = {Script(600), Script(1800, FirstClicks()), Script(600, {}, {{200, 2.5}})};
    for (const SwimScript& script : scripts) {
        CSwimmerControlLoop pixels = MakeOnView<CSwimmerControlLoop>(swimmer);
        CSwimmerControlLoop units(swimmer.Segments, swimmer.Network, swimmer.NativeDirection, 1.0);
        const SwimMeasure a = RunScript(pixels, SwimmerView::DefaultClient, script);
        const SwimMeasure b = RunScript(units, SwimmerView::DefaultInUnits, script);
        EXPECT_TRUE(SameBits(a, b)) << script.Ticks;
        EXPECT_EQ(std::memcmp(&pixels.GetState()[0], &units.GetState()[0],
                              sizeof(double) * pixels.GetState().Size()),
                  0);
    }
    CSwimmerControlLoop pixels = MakeOnView<CSwimmerControlLoop>(swimmer);
    const std::vector<ScriptedClick> first = FirstClicks();
    const unsigned at[][2] = {{100, 100}, {1300, 650}};
    for (int i = 0; i < 2; ++i) {
        const Point p = pixels.ViewPoint(at[i][0], at[i][1], SwimmerView::DefaultClient);
        EXPECT_EQ(std::memcmp(&p, &first[i].At, sizeof p), 0) << i;
    }
}

// Events come in tick order whatever the order given (a tick's turns
// before its clicks); afterTick sees the start and every tick, and stops
// the run where it says so.
TEST(ScriptedRunTest, EventsInTickOrderAndTheHostMayStopTheRun)
{
    const SwimmerNetwork& swimmer = RandomSwimmer();
    const Point left = {1.0, 5.0}, up = {10.0, 9.5};
    CSwimmerControlLoop ordered = MakeOnView<CSwimmerControlLoop>(swimmer);
    CSwimmerControlLoop shuffled = MakeOnView<CSwimmerControlLoop>(swimmer);
    const SwimMeasure a = RunScript(ordered, SwimmerView::DefaultClient,
                                    Script(300, {{100, left}, {200, up}}, {{200, 1.0}}));
    const SwimMeasure b = RunScript(shuffled, SwimmerView::DefaultClient,
                                    Script(300, {{200, up}, {100, left}}, {{200, 1.0}}));
    EXPECT_TRUE(SameBits(a, b));
    EXPECT_EQ(ordered.GetTargetDirection(), shuffled.GetTargetDirection());
    EXPECT_NE(ordered.GetTargetDirection(), 1.0);  // the click after the turn

    std::vector<long long> seen;
    CSwimmerControlLoop stopped = MakeOnView<CSwimmerControlLoop>(swimmer);
    const SwimMeasure cut = RunScript(stopped, SwimmerView::DefaultClient, Script(300),
                                      [&seen](long long tick) {
                                          seen.push_back(tick);
                                          return tick < 40;
                                      });
    ASSERT_EQ(seen.size(), 41u);
    for (long long tick = 0; tick <= 40; ++tick)
        EXPECT_EQ(seen[static_cast<std::size_t>(tick)], tick);
    const Point end = CentreOfMass(stopped);
    EXPECT_EQ(std::memcmp(&cut.End, &end, sizeof end), 0);
}

}  // namespace
