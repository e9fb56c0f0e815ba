#include "LearnRequest.h"

#include <cmath>
#include <limits>

namespace {

// The budgets any front end may ask for, exact as the page's doubles.
constexpr double MostSteps = static_cast<double>(LearnLimits::MostSteps);
static_assert(static_cast<long long>(MostSteps) == LearnLimits::MostSteps);
constexpr double MostSeed = std::numeric_limits<std::uint32_t>::max();

std::string Whole(double value) { return std::to_string(static_cast<unsigned long long>(value)); }

bool IsWholeWithin(double value, double least, double most)
{
    return std::isfinite(value) && value == std::floor(value) && value >= least && value <= most;
}

}  // namespace

bool MakeLearnRequest(double segments, double seed, double steps, double checkEvery,
                      LearnRequest& request, std::string& message)
{
    if (!IsWholeWithin(segments, LearnFewestSegments, LearnMostSegments)) {
        message = "segments must be " + std::to_string(LearnFewestSegments) + " to " +
                  std::to_string(LearnMostSegments);
        return false;
    }
    if (!IsWholeWithin(seed, 0.0, MostSeed)) {
        message = "seed must be a whole number from 0 to " + Whole(MostSeed);
        return false;
    }
    const char* const names[] = {"steps", "checkEvery"};
    const double counts[] = {steps, checkEvery};
    for (int i = 0; i < 2; ++i)
        if (!std::isnan(counts[i]) && !IsWholeWithin(counts[i], 1.0, MostSteps)) {
            message = std::string(names[i]) + " must be a whole number from 1 to " +
                      Whole(MostSteps) + ", or left out for the plan's";
            return false;
        }
    request.Segments = static_cast<int>(segments);
    request.Seed = static_cast<std::uint32_t>(seed);
    request.Steps = std::isnan(steps) ? 0 : static_cast<long long>(steps);
    request.CheckEvery = std::isnan(checkEvery) ? 0 : static_cast<long long>(checkEvery);
    return true;
}
