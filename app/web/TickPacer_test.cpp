#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TickPacer.h"

namespace {

// Frames at 60 Hz, the most common refresh rate.
constexpr double FrameMs = 1000.0 / 60.0;

}  // namespace

TEST(TickPacerTest, FramesAtAnyRateGiveOneTickPerTenMilliseconds)
{
    for (const double frameMs : {FrameMs, 1000.0 / 144.0, 1000.0 / 30.0, 10.0}) {
        CTickPacer pacer;
        int total = 0;
        int most = 0;
        // Frame times on a grid that lands exactly on 1000 ms.
        const int frames = static_cast<int>(1000.0 / frameMs + 0.5);
        for (int frame = 0; frame <= frames; ++frame) {
            const double now = 5000.0 + 1000.0 * frame / frames;
            const int ticks = pacer.Advance(now);
            pacer.Ran(ticks, now);
            total += ticks;
            most = std::max(most, ticks);
        }
        EXPECT_EQ(total, 100) << frameMs << " ms frames";
        // No frame makes up for more than the periods it waited for.
        EXPECT_EQ(most, static_cast<int>(std::ceil(frameMs / CTickPacer::PeriodMs))) << frameMs;
        EXPECT_EQ(pacer.GetDropped(), 0.0);
        EXPECT_EQ(pacer.TicksPerSecond(6000.0), 100);
        // A second later with no frame, nothing ran in the last second.
        EXPECT_EQ(pacer.TicksPerSecond(7000.0), 0);
    }
}

TEST(TickPacerTest, AGapGivesTenTicksAndDropsTheRestWithoutCatchingUp)
{
    CTickPacer pacer;
    EXPECT_EQ(pacer.Advance(100.0), 0);  // the first frame sets the origin
    EXPECT_EQ(pacer.Advance(130.0), 3);
    // A hidden tab: five seconds without a frame are 500 periods.
    EXPECT_EQ(pacer.Advance(5130.0), CTickPacer::MaxOutstanding);
    EXPECT_EQ(pacer.GetDropped(), 490.0);
    // Then the pace is the wall clock's again, from where it is now.
    EXPECT_EQ(pacer.Advance(5150.0), 2);
    // Ten periods exactly still fit, eleven drop one.
    EXPECT_EQ(pacer.Advance(5250.0), 10);
    EXPECT_EQ(pacer.GetDropped(), 490.0);
    EXPECT_EQ(pacer.Advance(5360.0), 10);
    EXPECT_EQ(pacer.GetDropped(), 491.0);
}

TEST(TickPacerTest, PeriodsCountOnAFixedGridAndAClockGoingBackGivesNothing)
{
    CTickPacer pacer;
    pacer.Advance(0.0);
    // 9.9 ms, then 0.2 ms more: the period ends at 10 ms, not 9.9 + 10.
    EXPECT_EQ(pacer.Advance(9.9), 0);
    EXPECT_EQ(pacer.Advance(10.1), 1);
    EXPECT_EQ(pacer.Advance(5.0), 0);
    EXPECT_EQ(pacer.Advance(19.9), 0);
    EXPECT_EQ(pacer.Advance(20.0), 1);
    EXPECT_EQ(pacer.GetDropped(), 0.0);
}

TEST(TickPacerTest, TicksPerSecondCountsOnlyTheLastSecond)
{
    CTickPacer pacer;
    pacer.Ran(7, 100.0);
    pacer.Ran(5, 900.0);
    EXPECT_EQ(pacer.TicksPerSecond(1000.0), 12);
    EXPECT_EQ(pacer.TicksPerSecond(1100.0), 5);  // the ticks at 100 ms are a second old
    // More ticks than the ring holds: the oldest go, the count stays right
    // for the second the ring covers.
    for (int i = 0; i < 300; ++i)
        pacer.Ran(1, 2000.0 + i);
    EXPECT_EQ(pacer.TicksPerSecond(2299.0), 128);
}
