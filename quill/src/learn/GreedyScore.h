#pragma once
// How well a value function makes the swimmer swim, and where to: the
// greedy swimmer of the network, unrotated, at the control loop's sub-step,
// for 30 s from twelve starts. Six start at rest with every segment upright
// and the body turned by 2πj/6; six more start alike and are turned by
// ±2π/3 half-way, as a click turns what the controller sees. Over the last
// quarter of each run the centre of mass has a velocity; the native
// direction is the direction of their sum, and the score the mean velocity
// along it.
//
// A swimmer that settles to different headings from different starts would
// not follow a click faithfully, so the score counts only when every run
// heads within MaxSpread of the native direction, and is 0 otherwise.

#include <numbers>

#include "FFNetwork.h"

struct GreedyScore
{
    double Speed = 0.0;            // mean velocity along the native direction, units/s
    double NativeDirection = 0.0;  // radians
    double Spread = 0.0;           // the largest heading away from it, radians
    double Slowest = 0.0;          // the slowest run's velocity along it
    double Score = 0.0;            // Slowest, or 0 if the spread is too wide or not finite
};

constexpr double MaxSpread = 8.0 * std::numbers::pi / 180.0;

GreedyScore ScoreGreedySwimmer(const CFFNetwork& network, int segments);
