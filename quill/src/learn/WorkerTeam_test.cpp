#include "WorkerTeam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// Every task of every round runs exactly once, on the member its number
// names, for teams smaller and larger than the round; rounds follow one
// another many times a millisecond without losing or repeating a task.
TEST(WorkerTeamTest, EveryTaskRunsOnceOnItsMemberRoundAfterRound)
{
    for (int asked = 1; asked <= 4; ++asked) {
        CWorkerTeam team(asked);
        const int members = std::min(asked, CWorkerTeam::MaxThreads());
        ASSERT_EQ(team.Size(), members);
        std::vector<int> runs(9);
        std::vector<std::thread::id> ranOn(9);
        for (int round = 0; round < 500; ++round) {
            const int count = round % 10;
            auto task = [&](int i) {
                ++runs[static_cast<std::size_t>(i)];
                ranOn[static_cast<std::size_t>(i)] = std::this_thread::get_id();
            };
            team.Run(count, task);
        }
        for (int i = 0; i < 9; ++i) {
            // Task i is in every round whose count exceeds i: 50 rounds of
            // each count 0..9.
            EXPECT_EQ(runs[static_cast<std::size_t>(i)], 50 * (9 - i)) << members << " " << i;
            // Member 0 is the caller; tasks share a thread exactly when
            // their numbers agree modulo the team's size.
            if (i % members == 0) {
                EXPECT_EQ(ranOn[static_cast<std::size_t>(i)], std::this_thread::get_id());
            }
            for (int j = 0; j < i; ++j)
                EXPECT_EQ(ranOn[static_cast<std::size_t>(i)] == ranOn[static_cast<std::size_t>(j)],
                          i % members == j % members)
                    << members << ": " << i << ", " << j;
        }
    }
}

// What one round's tasks write, the next round's read: the team is a
// barrier between rounds.
TEST(WorkerTeamTest, ARoundSeesEverythingTheRoundBeforeWrote)
{
    CWorkerTeam team(3);
    std::vector<long> values(6, 0);
    for (int round = 0; round < 300; ++round) {
        std::vector<long> before = values;
        auto shift = [&](int i) {
            values[static_cast<std::size_t>(i)] = before[static_cast<std::size_t>((i + 1) % 6)] + 1;
        };
        team.Run(6, shift);
    }
    for (long value : values)
        EXPECT_EQ(value, 300);
}

}  // namespace
