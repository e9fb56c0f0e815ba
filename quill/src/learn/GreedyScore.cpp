#include "GreedyScore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "Elementary.h"
#include "ScriptedRun.h"
#include "SwimmerView.h"

namespace {

const int Directions = 8;
const int Runs = 2 * Directions;
const long long TurnTick = ScoreTicks / 2;
const double Turn = 2.0 * std::numbers::pi / 3.0;
// The runs a user makes first, with the native direction found: the start,
// and the two clicks.
const int UserRuns = 2;
// The score swims in the view's units: a loop at one pixel a unit on the
// default view, 20 x 10 units. The view does not change how the swimmer
// swims (the head wraps, the centre of mass is measured unwrapped), and a
// click at a point swims the same bits at any scale.
const ClientSize View = SwimmerView::DefaultInUnits;
const double UnitScale = 1.0;

SwimScript ScoreScript(int r)
{
    SwimScript script;
    script.Ticks = ScoreTicks;
    script.Target = 2 * std::numbers::pi * (r % Directions) / Directions;
    if (r >= Directions)
        script.Turns = {{TurnTick, script.Target + (r % 2 ? -1 : 1) * Turn}};
    return script;
}

// The velocity along the target a run ended with, and across it: the
// view's turned back by that target.
Velocity Along(const CSwimmerControlLoop& loop, const SwimMeasure& measure)
{
    const Velocity v = measure.QuarterVelocity();
    const auto [s, c] = Elementary::SinCos(loop.GetTargetDirection());
    return {v.X * c + v.Y * s, v.Y * c - v.X * s};
}

// A run's velocity in the network's own frame: a loop of native direction
// 0 sees the view turned by minus the target.
Velocity OwnVelocity(const CFFNetwork& network, int segments, int r)
{
    CSwimmerControlLoop loop(segments, network, 0.0, UnitScale);
    const SwimMeasure measure = RunScript(loop, View, ScoreScript(r));
    return Along(loop, measure);
}

// A user's run, with the native direction found.
Velocity UserVelocity(const CFFNetwork& network, int segments, double native, int u)
{
    CSwimmerControlLoop loop(segments, network, native, UnitScale);
    SwimScript script;
    script.Ticks = ScoreTicks;
    if (u == 1)
        script.Clicks = FirstClicks();
    const SwimMeasure measure = RunScript(loop, View, script);
    return Along(loop, measure);
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
void Judge(GreedyScore& score, const Velocity* user, double maxSpread)
{
    for (int u = 0; u < UserRuns; ++u) {
        score.Slowest = std::min(score.Slowest, user[u].X);
        const double off = HeadingOff(user[u]);
        if (!(off <= score.Spread))
            score.Spread = off;  // NaN too
    }
    score.Score = std::isfinite(score.Speed) && score.Spread <= maxSpread ? score.Slowest : 0.0;
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
    CSingleProcess alone;
    ScoreGreedySwimmers(networks, count, segments, team, alone, scores, MaxSpread);
}

namespace {

// Runs tasks of run(task) → velocity, each rank its block of them on its
// team; every rank gets every velocity, or none if stop came.
template <typename Run>
bool RunShared(int tasks, CWorkerTeam& team, CRankGroup& group, const std::atomic<int>* stop,
               Run run, std::vector<Velocity>& velocities)
{
    std::vector<double> words(2 * static_cast<std::size_t>(tasks));
    const int first = CRankGroup::FirstOf(tasks, group.Rank(), group.Size());
    const int end = CRankGroup::FirstOf(tasks, group.Rank() + 1, group.Size());
    auto own = [&](int i) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed) != 0)
            return;
        const Velocity v = run(first + i);
        words[2 * static_cast<std::size_t>(first + i)] = v.X;
        words[2 * static_cast<std::size_t>(first + i) + 1] = v.Y;
    };
    team.Run(end - first, own);
    if (stop != nullptr && group.AnyRank(stop->load() != 0))
        return false;
    group.ShareBlocks(words.data(), group.BlockCounts(tasks, 2).data());
    velocities.clear();
    for (int task = 0; task < tasks; ++task)
        velocities.push_back({words[2 * static_cast<std::size_t>(task)],
                              words[2 * static_cast<std::size_t>(task) + 1]});
    return true;
}

}  // namespace

bool ScoreGreedySwimmers(const CFFNetwork* const* networks, int count, int segments,
                         CWorkerTeam& team, CRankGroup& group, GreedyScore* scores,
                         double maxSpread, const std::atomic<int>* stop)
{
    std::vector<Velocity> own, user;
    if (!RunShared(count * Runs, team, group, stop, [&](int task) {
            return OwnVelocity(*networks[task / Runs], segments, task % Runs);
        }, own))
        return false;
    for (int k = 0; k < count; ++k)
        scores[k] = Summarise(&own[static_cast<std::size_t>(k) * Runs]);

    if (!RunShared(count * UserRuns, team, group, stop, [&](int task) {
            const int k = task / UserRuns;
            return UserVelocity(*networks[k], segments, scores[k].NativeDirection, task % UserRuns);
        }, user))
        return false;
    for (int k = 0; k < count; ++k)
        Judge(scores[k], &user[static_cast<std::size_t>(k) * UserRuns], maxSpread);
    return true;
}
