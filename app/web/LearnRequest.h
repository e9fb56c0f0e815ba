#pragma once
// What the page asks its learner for: a swimmer of some segments learned
// from a seed, with the plan's budget and checks unless it names others.
// The page's numbers arrive as JavaScript holds them, as doubles; they are
// checked whole before a learner starts, and the first that is wrong is
// named in one line.

#include <cstdint>
#include <string>

#include "LearnLimits.h"

// The lengths the page learns: those it ships networks of, fewer than
// swimmer-train learns (LearnLimits.h). A longer body learns for longer
// (docs/training.md) than a page is likely kept open.
constexpr int LearnFewestSegments = 3;
constexpr int LearnMostSegments = 5;
static_assert(LearnLimits::FewestSegments <= LearnFewestSegments &&
              LearnMostSegments <= LearnLimits::MostSegments);

struct LearnRequest
{
    int Segments = 3;
    std::uint32_t Seed = 1;
    long long Steps = 0;       // learning steps, all learners of an island together; 0: the plan's
    long long CheckEvery = 0;  // learning steps between checks; 0: the plan's
};

// A request from the page's numbers; steps and checkEvery are NaN where the
// page names none. False, with the message and request unchanged, when a
// number is out of range or not whole.
bool MakeLearnRequest(double segments, double seed, double steps, double checkEvery,
                      LearnRequest& request, std::string& message);
