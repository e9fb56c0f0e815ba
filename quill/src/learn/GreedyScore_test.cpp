#include "GreedyScore.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Demonstration.h"
#include "EmbeddedNetwork.h"

namespace {

// What `swimmer-headless --ticks 3000 --summary` prints for the embedded
// swimmer: "mean speed 0.799560 units/s, mean heading -0.007242 rad". The
// run is the same control loop from the same start; printed to six places.
const double HeadlessSpeed = 0.799560;
const double HeadlessHeading = -0.007242;
const double PrintedTolerance = 1e-6;

TEST(GreedyScoreTest, ARunIsWhatTheHeadlessDriverReports)
{
    const Velocity v = SwimAndMeasure(EmbeddedSwimmer(), SwimRun{});
    EXPECT_NEAR(std::hypot(v.X, v.Y), HeadlessSpeed, PrintedTolerance);
    EXPECT_NEAR(std::atan2(v.Y, v.X), HeadlessHeading, PrintedTolerance);
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
