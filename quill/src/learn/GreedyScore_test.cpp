#include "GreedyScore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Demonstration.h"
#include "EmbeddedNetwork.h"

namespace {

// The figures swimmer-headless --ticks 3000 --summary prints to six places
// for the embedded swimmer, plain and with --click 500:100:100 --click
// 1500:1300:650: the same control loop from the same start.
const double PrintedTolerance = 1e-6;

TEST(GreedyScoreTest, ARunIsWhatTheHeadlessDriverReports)
{
    struct
    {
        std::vector<SwimRun::Press> Presses;
        double Speed, Heading;
    } const runs[] = {
        {{}, 0.799560, -0.007242},
        {{{500, 100, 100}, {1500, 1300, 650}}, 0.893528, -0.594200},
    };
    for (const auto& expected : runs) {
        SwimRun run;
        run.Presses = expected.Presses;
        const Velocity v = SwimAndMeasure(EmbeddedSwimmer(), run);
        EXPECT_NEAR(std::hypot(v.X, v.Y), expected.Speed, PrintedTolerance);
        EXPECT_NEAR(std::atan2(v.Y, v.X), expected.Heading, PrintedTolerance);
    }
}

// The embedded network was trained to swim at 0.22 rad, and it keeps one
// heading whatever the target and however a click turns it.
TEST(GreedyScoreTest, TheEmbeddedNetworkSwimsAtItsNativeDirectionFromEveryStart)
{
    const GreedyScore score = ScoreGreedySwimmer(EmbeddedNetwork(), Demonstration::Segments);
    EXPECT_NEAR(score.NativeDirection, Demonstration::NativeDirection, 2.0 / DegreesPerRadian);
    EXPECT_LE(score.Spread, MaxSpread);
    EXPECT_EQ(score.Score, score.Slowest);
    EXPECT_GT(score.Slowest, 0.6);
    EXPECT_GE(score.Speed, score.Slowest);
}

}  // namespace
