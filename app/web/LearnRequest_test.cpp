#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "LearnRequest.h"

namespace {

const double None = std::numeric_limits<double>::quiet_NaN();
const double Infinity = std::numeric_limits<double>::infinity();

}  // namespace

// Every number at the edges of its range and just past them: the wrong
// one is named, nothing of the request changes, the message is one line.
TEST(LearnRequestTest, TheFirstWrongNumberIsNamedAndNothingChanges)
{
    struct Case
    {
        double Segments, Seed, Steps, CheckEvery;
        const char* Named;  // nullptr: accepted
    };
    const Case cases[] = {
        {3, 0, None, None, nullptr},
        {5, 4294967295.0, 1, 1, nullptr},
        {4, 7, 9007199254740992.0, 20000, nullptr},
        {2, 1, None, None, "segments"},
        {6, 1, None, None, "segments"},
        {3.5, 1, None, None, "segments"},
        {None, 1, None, None, "segments"},
        {3, -1, None, None, "seed"},
        {3, 4294967296.0, None, None, "seed"},
        {3, 0.5, None, None, "seed"},
        {3, Infinity, None, None, "seed"},
        {3, 1, 0, None, "steps"},
        {3, 1, -Infinity, None, "steps"},
        {3, 1, 9007199254740994.0, None, "steps"},
        {3, 1, 20000.5, None, "steps"},
        {3, 1, None, 0, "checkEvery"},
        {3, 1, None, Infinity, "checkEvery"},
        {7, -1, 0, 0, "segments"},  // the first of several
    };
    for (const Case& c : cases) {
        LearnRequest request;
        request.Seed = 99;
        std::string message;
        const bool made =
            MakeLearnRequest(c.Segments, c.Seed, c.Steps, c.CheckEvery, request, message);
        const std::string what = std::to_string(c.Segments) + ", " + std::to_string(c.Seed) +
                                 ", " + std::to_string(c.Steps) + ", " +
                                 std::to_string(c.CheckEvery);
        if (c.Named == nullptr) {
            ASSERT_TRUE(made) << what << ": " << message;
            EXPECT_EQ(request.Segments, c.Segments) << what;
            EXPECT_EQ(request.Seed, c.Seed) << what;
            EXPECT_EQ(request.Steps, std::isnan(c.Steps) ? 0 : c.Steps) << what;
            EXPECT_EQ(request.CheckEvery, std::isnan(c.CheckEvery) ? 0 : c.CheckEvery) << what;
        } else {
            ASSERT_FALSE(made) << what;
            EXPECT_EQ(message.rfind(std::string(c.Named) + " must be", 0), 0u) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
            EXPECT_EQ(request.Seed, 99u) << what;
        }
    }
}
