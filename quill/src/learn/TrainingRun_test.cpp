#include "TrainingRun.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

GreedyScore Scoring(double score)
{
    GreedyScore s;
    s.Score = score;
    return s;
}

// Who takes whose weights at a check, and when: from TakeOverFrom of the
// budget on, each learner below TakeOverBelow times the leader's score
// takes the leader's (the first of the best); never before, never the
// leader itself, never when the rule is off or the leader scored nothing.
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
    } const cases[] = {
        {249, {0.5, 0.1}, {-1, -1}},                    // before a quarter of the budget
        {250, {0.5, 0.1}, {-1, 0}},                     // from it on
        {1000, {0.1, 0.5, 0.39}, {1, -1, 1}},           // 0.39 < 0.8 x 0.5
        {1000, {0.5, 0.4, 0.41}, {-1, -1, -1}},         // 0.4 is not below 0.4
        {1000, {0.3, 0.6, 0.6}, {1, -1, -1}},           // the first of the best leads
        {1000, {0.0, 0.0}, {-1, -1}},                   // nobody to follow
        {1000, {0.5, 0.1}, {-1, -1}, 0.0},              // the rule off
        {1000, {std::numeric_limits<double>::quiet_NaN(), 0.5}, {-1, -1}},  // a NaN leads nobody
    };
    for (const Case& c : cases) {
        plan.TakeOverBelow = c.Below;
        std::vector<GreedyScore> scores;
        for (double s : c.Scores)
            scores.push_back(Scoring(s));
        EXPECT_EQ(TakeOvers(plan, c.Steps, scores), c.From) << c.Steps << " " << c.Scores.size();
    }
}

// Weights driven to NaN end the run at the check that finds them, and no
// such network is ever kept as the best: with both learners gone the run
// has nothing to keep; with one gone at the same check, the other's
// network is kept. (The learning rates are far above the plan's; which
// learners diverge is the same in every build.)
TEST(TrainingRunTest, ADivergedRunEndsAtItsCheckAndKeepsOnlyFiniteNetworks)
{
    struct Case
    {
        double Rate;
        bool Kept;
    } const cases[] = {{0.13, false}, {0.15, true}};
    for (const Case& c : cases) {
        TrainingPlan plan = DefaultPlan(3, 20000, 5000);
        plan.Learning.LearningRate = c.Rate;
        CWorkerTeam team(1);
        CTrainingRun run(plan, 1, team);
        while (!run.IsDone())
            run.Advance(plan.Steps);
        EXPECT_TRUE(run.HasDiverged()) << c.Rate;
        EXPECT_EQ(run.GetSteps(), 5000) << c.Rate;
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
