#include "GreedyScore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "Demonstration.h"
#include "SwimmerControlLoop.h"

namespace {

const int Directions = 8;
const long long TurnTick = ScoreTicks / 2;
const double Turn = 2.0 * std::numbers::pi / 3.0;
// The view does not change how the swimmer swims (the head wraps, the
// centre of mass is measured unwrapped); the demonstration's will do.
const ClientSize View = {Demonstration::DefaultWidth, Demonstration::DefaultHeight};

Velocity Measure(CSwimmerControlLoop& loop, const SwimRun& run)
{
    loop.Start(View);
    loop.SetTargetDirection(run.Target);
    const long long quarterStart = run.Ticks - run.Ticks / 4;
    Point quarter = CentreOfMass(loop);
    for (long long tick = 1; tick <= run.Ticks; ++tick) {
        if (tick == run.TurnTick)
            loop.SetTargetDirection(run.TurnedTarget);
        loop.Tick(View);
        if (tick == quarterStart)
            quarter = CentreOfMass(loop);
    }
    const Point end = CentreOfMass(loop);
    const double seconds =
        static_cast<double>(run.Ticks - quarterStart) * CSwimmerControlLoop::TickPeriod;
    return {(end.X - quarter.X) / seconds, (end.Y - quarter.Y) / seconds};
}

}  // namespace

Velocity SwimAndMeasure(const SwimmerNetwork& swimmer, const SwimRun& run)
{
    CSwimmerControlLoop loop = MakeDemonstration<CSwimmerControlLoop>(swimmer);
    return Measure(loop, run);
}

GreedyScore ScoreGreedySwimmer(const CFFNetwork& network, int segments)
{
    const double pi = std::numbers::pi;
    CSwimmerControlLoop loop(segments, network, 0.0, Demonstration::PixelsPerUnit);
    const int runs = 2 * Directions;
    Velocity own[2 * Directions];  // in the network's frame
    double sumX = 0, sumY = 0;
    for (int r = 0; r < runs; ++r) {
        SwimRun run;
        run.Target = 2 * pi * (r % Directions) / Directions;
        run.TurnedTarget = run.Target;
        if (r >= Directions) {
            run.TurnTick = TurnTick;
            run.TurnedTarget += (r % 2 ? -1 : 1) * Turn;
        }
        const Velocity v = Measure(loop, run);
        // Turned back by the target the run ended with.
        const double c = std::cos(run.TurnedTarget), s = std::sin(run.TurnedTarget);
        own[r] = {v.X * c + v.Y * s, v.Y * c - v.X * s};
        sumX += own[r].X;
        sumY += own[r].Y;
    }
    GreedyScore score;
    score.NativeDirection = std::atan2(sumY, sumX);
    const double c = std::cos(score.NativeDirection), s = std::sin(score.NativeDirection);
    double slowest = std::numeric_limits<double>::infinity();
    for (int r = 0; r < runs; ++r) {
        const double along = own[r].X * c + own[r].Y * s;
        score.Speed += along / runs;
        slowest = std::min(slowest, along);
        const double off = std::fabs(
            std::remainder(std::atan2(own[r].Y, own[r].X) - score.NativeDirection, 2 * pi));
        if (!(off <= score.Spread))
            score.Spread = off;  // NaN too
    }
    score.Slowest = slowest;
    score.Score = std::isfinite(score.Speed) && score.Spread <= MaxSpread ? slowest : 0.0;
    return score;
}
