#include "TrainingRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

GreedyScore Scoring(double score, double speed = 0.0)
{
    GreedyScore s;
    s.Score = score;
    s.Speed = speed;
    return s;
}

// Which check is written: one that heads within 5° of its targets (and
// steers under the plan's gate) before any that heads wider, however much
// faster; within either group the score, then speed. Before the first
// check the best is worse than any check.
TEST(TrainingRunTest, AWellSteeredCheckIsWrittenBeforeAFasterOneHeadingWider)
{
    const double degree = 1.0 / DegreesPerRadian;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    GreedyScore none;
    none.Speed = -std::numeric_limits<double>::infinity();
    none.Spread = std::numeric_limits<double>::infinity();
    auto check = [&](double score, double speed, double spread) {
        GreedyScore s = Scoring(score, speed);
        s.Spread = spread * degree;
        return s;
    };
    struct Case
    {
        GreedyScore First, Second;
        double Gate;  // degrees
    } const cases[] = {
        {check(0.7, 0.8, 4.9), check(0.9, 1.0, 6.0), 8},   // well steered first
        {check(0.8, 0.8, 1.0), check(0.7, 0.9, 4.0), 8},   // then the score
        {check(0.8, 0.8, 7.0), check(0.7, 0.9, 6.0), 8},   // the same wider
        {check(0.0, 0.9, 4.0), check(0.0, 0.8, 1.0), 8},   // then speed
        {check(0.7, 0.8, 7.0), check(0.0, 1.0, 20.0), 8},  // steering before not
        {check(0.2, 0.2, 2.0), check(0.0, 0.9, 4.0), 3},   // within a narrower gate
        {check(0.1, 0.2, 9.0), check(0.0, 0.9, nan), 8},   // NaN heads nowhere
        {check(0.0, 0.0, nan), none, 8},                    // any check before none
        {check(0.0, -1.0, 90.0), none, 8},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(WrittenBefore(c.First, c.Second, c.Gate * degree))
            << c.First.Score << " " << c.First.Spread << " " << c.Gate;
        EXPECT_FALSE(WrittenBefore(c.Second, c.First, c.Gate * degree))
            << c.Second.Score << " " << c.Second.Spread << " " << c.Gate;
    }
}

// Who takes whose weights at a check, and when: from TakeOverFrom of the
// budget on, each learner below TakeOverBelow times the leader's score
// takes the leader's (the first of the best); never before, never the
// leader itself, never when the rule is off or the leader scored nothing.
// A learner whose weights are not finite takes the best finite check's at
// any check, and is never followed. With speed leading, while every score
// is 0 the fastest leads and speeds are compared; once one steers, scores.
TEST(TrainingRunTest, TakeOverFollowsTheLeaderFromItsShareOfTheBudgetOn)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Steps = 1000;
    plan.TakeOverFrom = 0.25;
    plan.TakeOverBelow = 0.8;
    struct Case
    {
        long long Steps;
        std::vector<double> Scores;
        std::vector<int> From;
        double Below = 0.8;
        std::vector<bool> Finite = {};  // all, if empty
        std::vector<double> Speeds = {};  // with speed leading, if given
        int Islands = 1;
    } const cases[] = {
        {249, {0.5, 0.1}, {-1, -1}},                    // before a quarter of the budget
        {250, {0.5, 0.1}, {-1, 0}},                     // from it on
        {1000, {0.1, 0.5, 0.39}, {1, -1, 1}},           // 0.39 < 0.8 x 0.5
        {1000, {0.5, 0.4, 0.41}, {-1, -1, -1}},         // 0.4 is not below 0.4
        {1000, {0.3, 0.6, 0.6}, {1, -1, -1}},           // the first of the best leads
        {1000, {0.0, 0.0}, {-1, -1}},                   // nobody to follow
        {1000, {0.5, 0.1}, {-1, -1}, 0.0},              // the rule off
        {1000, {std::numeric_limits<double>::quiet_NaN(), 0.5}, {-1, -1}},  // a NaN leads nobody
        {100, {0.5, 0.0, 0.0}, {-1, 0, -1}, 0.8, {true, false, true}},   // early, gone
        {1000, {0.9, 0.5, 0.1}, {1, -1, 1}, 0.8, {false, true, true}},   // gone leads nobody
        {1000, {0.0, 0.0, 0.0}, {-1, -1, -1}, 0.8, {false, false, false}},  // nobody left
        {1000, {0.5, 0.1}, {-1, -1}, 0.0, {true, false}},                // the rule off
        {1000, {0, 0, 0}, {1, -1, 1}, 0.8, {}, {0.3, 0.5, 0.39}},        // nobody steers
        {249, {0, 0}, {-1, -1}, 0.8, {}, {0.1, 0.5}},                     // not yet due
        {1000, {0, 0.2, 0}, {1, -1, 1}, 0.8, {}, {0.9, 0.1, 0.5}},       // one steers: scores
        {1000, {0, 0}, {-1, -1}, 0.0, {}, {0.1, 0.5}},                    // the rule off
        // Islands: each follows its own leader, by score or by speed, and
        // one with nobody finite left takes the best of all.
        {1000, {0.5, 0.1, 0.2, 0.3}, {-1, 0, 3, -1}, 0.8, {}, {}, 2},
        {1000, {0, 0, 0.2, 0}, {1, -1, -1, 2}, 0.8, {}, {0.3, 0.5, 0.1, 0.9}, 2},
        {100, {0.0, 0.0, 0.5, 0.2}, {2, 2, -1, -1}, 0.8, {false, false, true, true}, {}, 2},
    };
    for (const Case& c : cases) {
        plan.TakeOverBelow = c.Below;
        plan.SpeedLeads = !c.Speeds.empty();
        plan.Islands = c.Islands;
        std::vector<GreedyScore> scores;
        for (std::size_t p = 0; p < c.Scores.size(); ++p)
            scores.push_back(Scoring(c.Scores[p], plan.SpeedLeads ? c.Speeds[p] : 0.0));
        std::vector<bool> finite = c.Finite;
        finite.resize(scores.size(), true);
        EXPECT_EQ(TakeOvers(plan, c.Steps, scores, finite), c.From)
            << c.Steps << " " << c.Scores.size();
    }
}

// Between the checks that move lineages, checks only score: a take-over
// comes at the first check at or after each multiple of TakeOverEvery,
// wherever the checks fall and however a round overshoots them; a learner
// gone non-finite takes the best lineage at once, at any check.
TEST(TrainingRunTest, TakeOversComeAtTheFirstCheckOfEachStretch)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Steps = 2000;
    plan.TakeOverFrom = 0.0;
    plan.TakeOverEvery = 400;
    const std::vector<GreedyScore> scores = {Scoring(0.5, 0.0), Scoring(0.1, 0.0)};
    const std::vector<int> none = {-1, -1}, taken = {-1, 0};
    struct Case
    {
        long long CheckEvery;
        std::vector<long long> Due, NotDue;
    } const cases[] = {
        {100, {400, 800, 1200, 402}, {100, 300, 500, 1000, 1301}},
        {300, {600, 900, 1200, 1800, 1805}, {300, 1500}},
    };
    for (const Case& c : cases) {
        plan.CheckEvery = c.CheckEvery;
        for (long long steps : c.Due)
            EXPECT_EQ(TakeOvers(plan, steps, scores, {true, true}), taken)
                << c.CheckEvery << " " << steps;
        for (long long steps : c.NotDue) {
            EXPECT_EQ(TakeOvers(plan, steps, scores, {true, true}), none)
                << c.CheckEvery << " " << steps;
            EXPECT_EQ(TakeOvers(plan, steps, scores, {true, false}), taken) << steps;
        }
    }
}

// The explore step: a learner that took a lineage learns on with its
// source's η and τ, each multiplied or divided by the factor (exactly the
// source's at 1); the others keep theirs. Over a run's checks every learner
// draws each of the four changes, apart from the others.
TEST(TrainingRunTest, ATakerExploresAroundItsSourcesRates)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.ExploreFactor = 1.25;
    const std::vector<LearnerRates> rates = {{0.01, 1.0}, {0.02, 2.0}, {0.03, 3.0}};
    const std::vector<int> from = {-1, 2, 2};
    std::set<std::pair<int, std::pair<bool, bool>>> seen;
    std::set<std::vector<double>> together;
    for (long long check = 1; check <= 64; ++check) {
        const std::vector<LearnerRates> next = Explore(plan, 7, check * 1000, from, rates);
        ASSERT_EQ(next.size(), 3u);
        EXPECT_EQ(next[0], rates[0]);
        for (int p = 1; p <= 2; ++p) {
            const LearnerRates& own = next[static_cast<std::size_t>(p)];
            const double rate = own.LearningRate / 0.03, discount = own.Discount / 3.0;
            for (double change : {rate, discount})
                EXPECT_TRUE(std::fabs(change - 1.25) < 1e-15 || std::fabs(change - 0.8) < 1e-15)
                    << change;
            seen.insert({p, {rate > 1, discount > 1}});
        }
        together.insert({next[1].LearningRate, next[1].Discount, next[2].LearningRate,
                         next[2].Discount});
    }
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_GT(together.size(), 8u);
    plan.ExploreFactor = 1.0;
    EXPECT_EQ(Explore(plan, 7, 1000, from, rates),
              (std::vector<LearnerRates>{rates[0], rates[2], rates[2]}));
}

// Weights driven to NaN end the run at the check that finds no learner
// left with finite weights, and no such network is ever kept as the best:
// with both learners gone at once the run has nothing to keep; with one
// gone, the other's lineage goes on in both to the end of the budget, or,
// with take-overs off, the run ends there and keeps the other's network. (The
// learning rates are far above the plan's; which learners diverge is the
// same in every build.)
TEST(TrainingRunTest, ADivergedRunEndsAtItsCheckAndKeepsOnlyFiniteNetworks)
{
    struct Case
    {
        double Rate;
        double Below;
        long long End;
        bool Kept;
    } const cases[] = {{0.13, 0.8, 5000, false}, {0.15, 0.8, 20000, true}, {0.15, 0.0, 5000, true}};
    for (const Case& c : cases) {
        TrainingPlan plan = DefaultPlan(3, 20000, 5000);
        plan.Learning.StepPeriod = 0.03;  // the step the cases' rates were found at
        plan.Learning.LearningRate = c.Rate;
        plan.TakeOverBelow = c.Below;
        CWorkerTeam team(1);
        CTrainingRun run(plan, 1, team);
        while (!run.IsDone())
            run.Advance(plan.Steps);
        EXPECT_EQ(run.HasDiverged(), c.End < plan.Steps) << c.Rate;
        EXPECT_EQ(run.GetSteps(), c.End) << c.Rate;
        EXPECT_EQ(run.GetBestLearner() >= 0, c.Kept) << c.Rate;
        if (c.Kept) {
            EXPECT_TRUE(AllWeightsFinite(run.GetBest())) << c.Rate;
        } else {
            run.CheckIfNone();  // as a stopped command asks: still nothing to keep
            EXPECT_LT(run.GetBestLearner(), 0) << c.Rate;
        }
    }
}

}  // namespace
