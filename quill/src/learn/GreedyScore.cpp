#include "GreedyScore.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <numbers>
#include <vector>

#include "Demonstration.h"
#include "Elementary.h"
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
        for (const SwimRun::Press& press : run.Presses)
            if (press.Tick == tick)
                loop.PressAt(press.X, press.Y, View);
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

namespace {

const int Runs = 2 * Directions;
// The runs a user makes first, with the native direction found: the start,
// and two clicks, 5 s in towards the top left of the view and 15 s in
// towards its bottom right.
const int UserRuns = 2;
const SwimRun::Press Clicks[] = {{500, 100, 100}, {1500, 1300, 650}};

SwimRun ScoreRun(int r)
{
    SwimRun run;
    run.Target = 2 * std::numbers::pi * (r % Directions) / Directions;
    run.TurnedTarget = run.Target;
    if (r >= Directions) {
        run.TurnTick = TurnTick;
        run.TurnedTarget += (r % 2 ? -1 : 1) * Turn;
    }
    return run;
}

// A run's velocity in the network's own frame: the view's turned back by
// the target the run ended with.
Velocity OwnVelocity(const CFFNetwork& network, int segments, int r)
{
    CSwimmerControlLoop loop(segments, network, 0.0, Demonstration::PixelsPerUnit);
    const SwimRun run = ScoreRun(r);
    const Velocity v = Measure(loop, run);
    const auto [s, c] = Elementary::SinCos(run.TurnedTarget);
    return {v.X * c + v.Y * s, v.Y * c - v.X * s};
}

// A user's run: the velocity along the target the run ended with, and
// across it.
Velocity UserVelocity(const CFFNetwork& network, int segments, double native, int u)
{
    CSwimmerControlLoop loop(segments, network, native, Demonstration::PixelsPerUnit);
    SwimRun run;
    if (u == 1)
        run.Presses.assign(std::begin(Clicks), std::end(Clicks));
    const Velocity v = Measure(loop, run);
    const double target = loop.GetTargetDirection();
    const auto [s, c] = Elementary::SinCos(target);
    return {v.X * c + v.Y * s, v.Y * c - v.X * s};
}

double HeadingOff(const Velocity& along)
{
    return std::fabs(Elementary::Atan2(along.Y, along.X));
}

// The native direction and the spread of the sixteen runs.
GreedyScore Summarise(const Velocity* own)
{
    const double pi = std::numbers::pi;
    double sumX = 0, sumY = 0;
    for (int r = 0; r < Runs; ++r) {
        sumX += own[r].X;
        sumY += own[r].Y;
    }
    GreedyScore score;
    score.NativeDirection = Elementary::Atan2(sumY, sumX);
    const auto [s, c] = Elementary::SinCos(score.NativeDirection);
    double slowest = std::numeric_limits<double>::infinity();
    for (int r = 0; r < Runs; ++r) {
        const double along = own[r].X * c + own[r].Y * s;
        score.Speed += along / Runs;
        slowest = std::min(slowest, along);
        const double off = std::fabs(
            std::remainder(Elementary::Atan2(own[r].Y, own[r].X) - score.NativeDirection, 2 * pi));
        if (!(off <= score.Spread))
            score.Spread = off;  // NaN too
    }
    score.Slowest = slowest;
    return score;
}

// The users' runs, along their targets, join the slowest and the spread.
void Judge(GreedyScore& score, const Velocity* user)
{
    for (int u = 0; u < UserRuns; ++u) {
        score.Slowest = std::min(score.Slowest, user[u].X);
        const double off = HeadingOff(user[u]);
        if (!(off <= score.Spread))
            score.Spread = off;  // NaN too
    }
    score.Score = std::isfinite(score.Speed) && score.Spread <= MaxSpread ? score.Slowest : 0.0;
}

}  // namespace

GreedyScore ScoreGreedySwimmer(const CFFNetwork& network, int segments)
{
    CWorkerTeam alone(1);
    const CFFNetwork* networks[] = {&network};
    GreedyScore score;
    ScoreGreedySwimmers(networks, 1, segments, alone, &score);
    return score;
}

void ScoreGreedySwimmers(const CFFNetwork* const* networks, int count, int segments,
                         CWorkerTeam& team, GreedyScore* scores)
{
    std::vector<Velocity> own(static_cast<std::size_t>(count) * Runs);
    auto runOwn = [&](int task) {
        own[static_cast<std::size_t>(task)] = OwnVelocity(*networks[task / Runs], segments, task % Runs);
    };
    team.Run(count * Runs, runOwn);
    for (int k = 0; k < count; ++k)
        scores[k] = Summarise(&own[static_cast<std::size_t>(k) * Runs]);

    std::vector<Velocity> user(static_cast<std::size_t>(count) * UserRuns);
    auto runUser = [&](int task) {
        const int k = task / UserRuns;
        user[static_cast<std::size_t>(task)] =
            UserVelocity(*networks[k], segments, scores[k].NativeDirection, task % UserRuns);
    };
    team.Run(count * UserRuns, runUser);
    for (int k = 0; k < count; ++k)
        Judge(scores[k], &user[static_cast<std::size_t>(k) * UserRuns]);
}
