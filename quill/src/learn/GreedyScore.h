#pragma once
// How well a value function makes the swimmer swim, and where to, judged as
// a user sees it: the network's greedy swimmer in the control loop itself
// (RunScript), from the loop's start for ScoreTicks ticks, the speed that
// of the loop's centre of mass over the last quarter.
//
// First, where the network swims on its own: a loop built with native
// direction 0 sees the view turned by minus the target, so a velocity v in
// the view is v turned by minus the target in the network's own frame.
// Sixteen runs: eight with targets 2πj/8, and the same eight with the
// target changed half-way by ±2π/3, as a click changes it. The native
// direction is the direction of their summed velocities in the network's
// frame; each run's speed is its velocity along it.
//
// Then, with that native direction, the two runs a user makes first: the
// program's start, swimming to the right, and the user's first two clicks
// (FirstClicks). Each is judged by its speed along its target and how far
// off it heads.
//
// A swimmer that settles to different headings from different starts would
// not follow a click faithfully, so the score counts only when every run
// heads within MaxSpread (or the gate a learning plan sets) of where it
// should: it is then the slowest run's speed, since a click can put the
// controller in any of these situations, and 0 otherwise.

#include <atomic>

#include "Angles.h"
#include "FFNetwork.h"
#include "RankGroup.h"
#include "WorkerTeam.h"

struct GreedyScore
{
    double Speed = 0.0;            // mean velocity along the native direction, units/s
    double NativeDirection = 0.0;  // radians
    double Spread = 0.0;           // the largest heading away from where a run should head
    double Slowest = 0.0;          // the slowest run's velocity along its direction
    double Score = 0.0;            // Slowest, or 0 if the spread is too wide or not finite
};

constexpr double MaxSpread = 8.0 / DegreesPerRadian;
// How near its target a swimmer written for a user should head.
constexpr double WellSteered = 5.0 / DegreesPerRadian;
constexpr long long ScoreTicks = 3000;

GreedyScore ScoreGreedySwimmer(const CFFNetwork& network, int segments);
// The scores of count networks, their runs shared out over the team; the
// same scores whatever the team's size.
void ScoreGreedySwimmers(const CFFNetwork* const* networks, int count, int segments,
                         CWorkerTeam& team, GreedyScore* scores);
// The same with the runs shared out over the ranks of a group, each rank's
// block of them over its team, every network known to every rank; every
// rank gets every score, the same whatever the ranks and teams. Where stop
// is given (on every rank), each run first asks it: once it is non-zero on
// any rank, the runs left are skipped, and every rank returns false with
// scores not to be used; a stop comes in a run's time, not a check's. A
// score counts only within maxSpread.
bool ScoreGreedySwimmers(const CFFNetwork* const* networks, int count, int segments,
                         CWorkerTeam& team, CRankGroup& group, GreedyScore* scores,
                         double maxSpread, const std::atomic<int>* stop = nullptr);
