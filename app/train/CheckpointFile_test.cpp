#include "CheckpointFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Checkpoint Example()
{
    return {"1.2.3",
            {"--seed", "7", "--steps=400"},
            "steps,best\n1,0.5\n",
            {0.0, -0.0, 1.0 / 3.0, std::numeric_limits<double>::infinity(), 4294967295.0}};
}

// What is written reads back to the same bits, -0 and infinity included.
TEST(CheckpointFileTest, ReadsBackWhatItWrites)
{
    Checkpoint read;
    ASSERT_EQ(ReadCheckpoint(CheckpointBytes(Example()), read), "");
    EXPECT_EQ(read.Version, "1.2.3");
    EXPECT_EQ(read.Options, Example().Options);
    EXPECT_EQ(read.Curve, Example().Curve);
    ASSERT_EQ(read.Words.size(), 5u);
    EXPECT_TRUE(std::signbit(read.Words[1]));
    for (std::size_t i = 0; i < read.Words.size(); ++i)
        EXPECT_EQ(read.Words[i], Example().Words[i]) << i;
}

// Anything but a whole checkpoint is refused and says why.
TEST(CheckpointFileTest, RefusesWhatIsNotAWholeCheckpoint)
{
    const std::string whole = CheckpointBytes(Example());
    std::string flipped = whole;
    flipped[flipped.size() / 2] ^= 1;
    std::string renamed = whole;
    renamed.replace(renamed.find("version"), 7, "VERSION");
    // An option of two lines puts the fields out of order under a sum that
    // matches them.
    Checkpoint unordered = Example();
    unordered.Options = {"--seed\n7"};
    const struct
    {
        std::string Bytes;
        const char* Why;
    } cases[] = {
        {"", "is not a swimmer-train checkpoint"},
        {"steps,best\n", "is not a swimmer-train checkpoint"},
        {whole.substr(0, whole.size() - 1), "is cut short"},
        {whole.substr(0, whole.size() / 2), "is cut short"},
        {flipped, "is damaged"},
        {renamed, "is damaged"},
        {CheckpointBytes(unordered), "is not a swimmer-train checkpoint (its fields"},
    };
    for (const auto& c : cases) {
        Checkpoint read;
        EXPECT_EQ(ReadCheckpoint(c.Bytes, read).rfind(c.Why, 0), 0u) << c.Why;
    }
}

}  // namespace
