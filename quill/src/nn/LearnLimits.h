#pragma once
// What a swimmer may be learned for, whoever asks: swimmer-train's options
// and the page's learn requests both take their bounds from here, the page
// a narrower range of its own within them. It sits beside what a trained
// swimmer is rather than with the learner, which the page's own module does
// not link.

namespace LearnLimits {

// One segment has no joint to drive. Ten is beyond the longest swimmer the
// plans were tried on (eight segments, docs/training.md), and within the
// twenty a network file holds.
constexpr int FewestSegments = 2;
constexpr int MostSegments = 10;

// The most learning steps of a budget, and between two checks: 2^53, the
// last of the whole numbers a double holds exactly. The page's numbers are
// JavaScript's doubles, and the curve's simulated time and the progress are
// reckoned in doubles; a budget that large would take over a thousand years
// anyway.
constexpr long long MostSteps = 9007199254740992;

}  // namespace LearnLimits
