#include "GreedyScore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Demonstration.h"
#include "EmbeddedNetwork.h"
#include "ScriptedRun.h"
#include "SwimmerView.h"

namespace {

// The figures swimmer-headless --ticks 3000 --summary prints to six places
// for the embedded swimmer, plain and with --click 500:100:100 --click
// 1500:1300:650: the user's runs of the score, in the view's units.
const double PrintedTolerance = 1e-6;

TEST(GreedyScoreTest, TheUsersRunsAreWhatTheHeadlessDriverReports)
{
    struct
    {
        std::vector<ScriptedClick> Clicks;
        double Speed, Heading;
    } const runs[] = {
        {{}, 0.799560, -0.007242},
        {FirstClicks(), 0.893528, -0.594200},
    };
    const SwimmerNetwork& swimmer = EmbeddedSwimmer();
    for (const auto& expected : runs) {
        CSwimmerControlLoop loop(swimmer.Segments, swimmer.Network, swimmer.NativeDirection, 1.0);
        SwimScript script;
        script.Ticks = ScoreTicks;
        script.Clicks = expected.Clicks;
        const Velocity v = RunScript(loop, SwimmerView::DefaultInUnits, script).QuarterVelocity();
        EXPECT_NEAR(std::hypot(v.X, v.Y), expected.Speed, PrintedTolerance);
        EXPECT_NEAR(std::atan2(v.Y, v.X), expected.Heading, PrintedTolerance);
    }
}

// The embedded network was trained to swim at 0.22 rad, and it keeps one
// heading whatever the target and however a click turns it; under a gate
// narrower than its spread it does not count as steering.
TEST(GreedyScoreTest, TheEmbeddedNetworkSwimsAtItsNativeDirectionFromEveryStart)
{
    const GreedyScore score = ScoreGreedySwimmer(EmbeddedNetwork(), Demonstration::Segments);
    EXPECT_NEAR(score.NativeDirection, Demonstration::NativeDirection, 2.0 / DegreesPerRadian);
    EXPECT_LE(score.Spread, MaxSpread);
    EXPECT_EQ(score.Score, score.Slowest);
    EXPECT_GT(score.Slowest, 0.6);
    EXPECT_GE(score.Speed, score.Slowest);

    CWorkerTeam team(1);
    CSingleProcess alone;
    const CFFNetwork* networks[] = {&EmbeddedNetwork()};
    GreedyScore gated;
    ScoreGreedySwimmers(networks, 1, Demonstration::Segments, team, alone, &gated,
                        score.Spread / 2);
    EXPECT_EQ(gated.Score, 0.0);
    EXPECT_EQ(gated.Slowest, score.Slowest);
}

}  // namespace
