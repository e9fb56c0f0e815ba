#include "SwimmerTrainer.h"

#include <gtest/gtest.h>

#include <vector>

#include "AllocationCounter.h"
#include "GreedyScore.h"
#include "LearnLimits.h"
#include "TrainingRun.h"

namespace {

bool SameWeights(const CFFNetwork& a, const CFFNetwork& b)
{
    const int n = a.GetNeuronCount();
    if (b.GetNeuronCount() != n)
        return false;
    for (int i = 0; i < n * n; ++i)
        if (a.GetWeights()[i] != b.GetWeights()[i])
            return false;
    return true;
}

// What is learned depends on the seed and the plan alone: the same seed
// learns the same weights to the bit on teams of one, two and three threads
// (three learners shared out unevenly, one of them with two trajectories'
// updates summed, random torques drawn now and then), another seed others,
// and so does the same seed acting greedily throughout. Learning allocates
// nothing.
TEST(SwimmerTrainerTest, LearningDependsOnTheSeedAloneNotOnTheThreads)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Learners = 3;
    plan.Trajectories = 2;
    plan.RandomTorques = 0.2;
    TrainingPlan greedy = plan;
    greedy.RandomTorques = 0.0;
    CWorkerTeam one(1), two(2), three(3);
    CSwimmerTrainer a(plan, 7, one), b(plan, 7, two), c(plan, 7, three), d(plan, 8, two),
        e(greedy, 7, two);
    for (CSwimmerTrainer* trainer : {&a, &b, &c, &d, &e})
        trainer->Run(400);
    AllocationCounter counter;
    b.Run(100);
    EXPECT_EQ(counter.Count(), 0);
    for (CSwimmerTrainer* trainer : {&a, &c, &d, &e})
        trainer->Run(100);
    EXPECT_EQ(b.GetSteps(), 500 * 3 * 2);
    for (int p = 0; p < plan.Learners; ++p)
        for (bool averaged : {false, true}) {
            CFFNetwork na, nb, nc, nd, ne;
            a.GetRoundedNetwork(p, averaged, na);
            b.GetRoundedNetwork(p, averaged, nb);
            c.GetRoundedNetwork(p, averaged, nc);
            d.GetRoundedNetwork(p, averaged, nd);
            e.GetRoundedNetwork(p, averaged, ne);
            EXPECT_EQ(na.GetNeuronCount(), CSwimmerTrainer::NeuronsFor(plan));
            EXPECT_TRUE(SameWeights(na, nb)) << p << " averaged " << averaged;
            EXPECT_TRUE(SameWeights(na, nc)) << p << " averaged " << averaged;
            EXPECT_FALSE(SameWeights(na, nd)) << p << " averaged " << averaged;
            EXPECT_FALSE(SameWeights(na, ne)) << p << " averaged " << averaged;
        }
    for (int p = 0; p < plan.Learners; ++p) {
        double sumA = 0, sumB = 0;
        long long countA = 0, countB = 0;
        a.TakeTdError(p, sumA, countA);
        b.TakeTdError(p, sumB, countB);
        EXPECT_EQ(sumA, sumB);
        EXPECT_EQ(countA, 500 * 2);
        EXPECT_EQ(countA, countB);
        EXPECT_TRUE(a.IsFinite(p));
    }
}

// The scores of a checkpoint are the networks' alone: the runs shared out
// over one thread or three give the same figures to the bit.
TEST(SwimmerTrainerTest, ScoresDependOnTheNetworksAloneNotOnTheThreads)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Learners = 1;
    CWorkerTeam one(1), three(3);
    CSwimmerTrainer trainer(plan, 5, one);
    trainer.Run(2000);
    CFFNetwork learned, averaged;
    trainer.GetRoundedNetwork(0, false, learned);
    trainer.GetRoundedNetwork(0, true, averaged);
    const CFFNetwork* networks[] = {&learned, &averaged};
    GreedyScore alone[2], shared[2];
    ScoreGreedySwimmers(networks, 2, plan.Segments, one, alone);
    ScoreGreedySwimmers(networks, 2, plan.Segments, three, shared);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(alone[k].Speed, shared[k].Speed) << k;
        EXPECT_EQ(alone[k].NativeDirection, shared[k].NativeDirection) << k;
        EXPECT_EQ(alone[k].Spread, shared[k].Spread) << k;
        EXPECT_EQ(alone[k].Score, shared[k].Score) << k;
    }
    EXPECT_EQ(ScoreGreedySwimmer(averaged, plan.Segments).Speed, alone[1].Speed);
}

// A take-over copies the leader's weights and their average to the learner
// behind, and nothing back; the learner then learns on from its own
// generator, so the two lineages part again. A learner whose weights
// diverged learns on as finitely as its source from the lineage it takes.
TEST(SwimmerTrainerTest, ATakeOverCopiesTheWeightsAndTheirAverage)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.AverageEvery = 1;
    CWorkerTeam team(1);
    CSwimmerTrainer trainer(plan, 3, team);
    trainer.Run(300);
    CFFNetwork leader[2], behind[2], after[2];
    for (int averaged = 0; averaged < 2; ++averaged) {
        trainer.GetRoundedNetwork(0, averaged, leader[averaged]);
        trainer.GetRoundedNetwork(1, averaged, behind[averaged]);
        ASSERT_FALSE(SameWeights(leader[averaged], behind[averaged]));
    }
    trainer.TakeOver(0, 1);
    for (int averaged = 0; averaged < 2; ++averaged) {
        trainer.GetRoundedNetwork(0, averaged, after[averaged]);
        EXPECT_TRUE(SameWeights(after[averaged], leader[averaged])) << averaged;
        trainer.GetRoundedNetwork(1, averaged, after[averaged]);
        EXPECT_TRUE(SameWeights(after[averaged], leader[averaged])) << averaged;
    }
    trainer.Run(50);
    trainer.GetRoundedNetwork(0, false, after[0]);
    trainer.GetRoundedNetwork(1, false, after[1]);
    EXPECT_FALSE(SameWeights(after[0], after[1]));

    trainer.SetRates(1, {0.9, 1.0});
    for (int stretch = 0; stretch < 100 && trainer.IsFinite(1); ++stretch)
        trainer.Run(10);
    ASSERT_FALSE(trainer.IsFinite(1));
    trainer.TakeOver(0, 1);
    trainer.SetRates(1, trainer.GetRates(0));
    trainer.Run(50);
    EXPECT_TRUE(trainer.IsFinite(0));
    EXPECT_TRUE(trainer.IsFinite(1));
}

// A run cut into stretches of any length checks at the same steps and keeps
// the same best network as one left to run to its end: the page's worker
// and the command stop at different places. Three trajectories make rounds
// of three steps, which do not divide the check interval.
TEST(SwimmerTrainerTest, ARunChecksAtTheSameStepsHoweverItIsCut)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Learners = 1;
    plan.Trajectories = 3;
    plan.Steps = 2000;
    plan.CheckEvery = 1000;
    CWorkerTeam team(1);
    CTrainingRun whole(plan, 5, team), cut(plan, 5, team);
    std::vector<long long> wholeChecks, cutChecks;
    while (!whole.IsDone())
        if (whole.Advance(plan.Steps))
            wholeChecks.push_back(whole.GetLastCheck().Steps);
    while (!cut.IsDone())
        if (cut.Advance(cut.GetSteps() + 7))
            cutChecks.push_back(cut.GetLastCheck().Steps);
    EXPECT_EQ(wholeChecks, (std::vector<long long>{1002, 2001}));
    EXPECT_EQ(cutChecks, wholeChecks);
    EXPECT_EQ(cut.GetBestStep(), whole.GetBestStep());
    EXPECT_EQ(cut.GetBestScore().Speed, whole.GetBestScore().Speed);
    EXPECT_TRUE(SameWeights(cut.GetBest(), whole.GetBest()));
    EXPECT_FALSE(cut.CheckIfNone());
}

// A budget twice a plan's, its rate falling over the first half and
// holding after, checks as the plan does up to there, to the bit (the
// take-overs and the explore steps too), and then learns on: its best can
// only be as good as the plan's or better.
TEST(SwimmerTrainerTest, ARateThatFallsOverHalfTheBudgetRepeatsThatHalf)
{
    TrainingPlan half = DefaultPlan(3);
    half.Steps = 2000;
    half.CheckEvery = 1000;
    half.FinalRate = 0.1;
    half.TakeOverFrom = 0.5;
    half.TakeOverBelow = 1.0;  // the slower takes over at every check
    half.SpeedLeads = true;
    half.ExploreFactor = 1.25;
    TrainingPlan twice = half;
    twice.Steps = 2 * half.Steps;
    twice.FallOver = 0.5;
    twice.TakeOverFrom = half.TakeOverFrom / 2;
    CWorkerTeam team(2);
    CTrainingRun plan(half, 7, team), longer(twice, 7, team);
    while (!plan.IsDone()) {
        ASSERT_TRUE(plan.Advance(plan.GetSteps() + half.CheckEvery));
        ASSERT_TRUE(longer.Advance(plan.GetSteps()));
        const TrainingCheck &a = plan.GetLastCheck(), &b = longer.GetLastCheck();
        ASSERT_EQ(a.Steps, b.Steps);
        EXPECT_EQ(a.MeanTdError, b.MeanTdError) << a.Steps;
        EXPECT_EQ(a.Rates, b.Rates) << a.Steps;
        for (std::size_t p = 0; p < a.Scores.size(); ++p)
            EXPECT_EQ(a.Scores[p].Speed, b.Scores[p].Speed) << a.Steps;
    }
    const LearnerRates start = {half.Learning.LearningRate, half.Learning.Discount};
    EXPECT_NE(plan.GetLastCheck().Rates, std::vector<LearnerRates>(2, start));
    EXPECT_EQ(plan.GetBestStep(), longer.GetBestStep());
    EXPECT_TRUE(SameWeights(plan.GetBest(), longer.GetBest()));
    EXPECT_FALSE(longer.IsDone());
}

// Checks between the take-overs only score: with a check every 1000 steps
// and the take-overs every 2000, every check of the plan that checks every
// 2000 comes out the same (its take-overs and explore steps too), and the
// best can only be as good or better.
TEST(SwimmerTrainerTest, ChecksThatOnlyScoreLeaveTheLearningAsItWas)
{
    TrainingPlan plan = DefaultPlan(3, 6000, 2000);
    plan.TakeOverFrom = 0.0;
    plan.TakeOverBelow = 1.0;  // the slower takes over at every check due
    plan.SpeedLeads = true;
    plan.ExploreFactor = 1.25;
    TrainingPlan denser = plan;
    denser.CheckEvery = 1000;
    denser.TakeOverEvery = 2000;
    CWorkerTeam team(2);
    CTrainingRun sparse(plan, 7, team), dense(denser, 7, team);
    while (!sparse.IsDone()) {
        ASSERT_TRUE(sparse.Advance(sparse.GetSteps() + plan.CheckEvery));
        while (dense.GetSteps() < sparse.GetSteps())
            dense.Advance(sparse.GetSteps());
        const TrainingCheck &a = sparse.GetLastCheck(), &b = dense.GetLastCheck();
        ASSERT_EQ(a.Steps, b.Steps);
        EXPECT_EQ(a.Rates, b.Rates) << a.Steps;
        for (std::size_t p = 0; p < a.Scores.size(); ++p)
            EXPECT_EQ(a.Scores[p].Speed, b.Scores[p].Speed) << a.Steps;
    }
    const LearnerRates start = {plan.Learning.LearningRate, plan.Learning.Discount};
    EXPECT_NE(sparse.GetLastCheck().Rates, std::vector<LearnerRates>(2, start));
    EXPECT_FALSE(WrittenBefore(sparse.GetBestScore(), dense.GetBestScore(), plan.SteerWithin));
}

// Islands never meet: the first of two, on twice the budget, checks as
// the plan of its learners alone does, to the bit (its take-overs and
// explore steps too), while the second explores apart; the best of both
// can only be as good as that plan's or better.
TEST(SwimmerTrainerTest, AnIslandLearnsAsThePlanOfItsLearnersAlone)
{
    TrainingPlan alone = DefaultPlan(3, 4000, 1000);
    alone.TakeOverFrom = 0.0;
    alone.TakeOverBelow = 1.0;  // the slower takes over at every check
    alone.SpeedLeads = true;
    alone.ExploreFactor = 1.25;
    TrainingPlan islands = alone;
    islands.Islands = 2;
    islands.Learners = 2 * alone.Learners;
    islands.Steps = 2 * alone.Steps;
    islands.CheckEvery = 2 * alone.CheckEvery;
    CWorkerTeam team(2);
    CTrainingRun one(alone, 7, team), two(islands, 7, team);
    const std::size_t learners = static_cast<std::size_t>(alone.Learners);
    while (!one.IsDone()) {
        ASSERT_TRUE(one.Advance(one.GetSteps() + alone.CheckEvery));
        ASSERT_TRUE(two.Advance(2 * one.GetSteps()));
        const TrainingCheck &a = one.GetLastCheck(), &b = two.GetLastCheck();
        ASSERT_EQ(2 * a.Steps, b.Steps);
        for (std::size_t p = 0; p < learners; ++p) {
            EXPECT_EQ(a.Rates[p], b.Rates[p]) << a.Steps;
            EXPECT_EQ(a.Scores[p].Speed, b.Scores[p].Speed) << a.Steps;
        }
    }
    const std::vector<LearnerRates>& last = two.GetLastCheck().Rates;
    EXPECT_NE(std::vector<LearnerRates>(last.begin() + 2, last.end()),
              std::vector<LearnerRates>(last.begin(), last.begin() + 2));
    EXPECT_FALSE(WrittenBefore(one.GetBestScore(), two.GetBestScore(), alone.SteerWithin));
}

// Every length a swimmer may be learned for has a plan that lays
// out a network and learns with finite, positive constants; longer swimmers
// look further ahead, learn for longer and let the rate fall.
TEST(SwimmerTrainerTest, EveryLengthHasAWorkablePlan)
{
    const TrainingPlan three = DefaultPlan(3);
    for (int segments = LearnLimits::FewestSegments; segments <= LearnLimits::MostSegments;
         ++segments) {
        const TrainingPlan plan = DefaultPlan(segments);
        EXPECT_EQ(plan.Segments, segments);
        EXPECT_GE(plan.HiddenNeurons, 1) << segments;
        EXPECT_GE(plan.Trajectories, 1) << segments;
        EXPECT_GE(plan.Learners, 1) << segments;
        // Its islands alike: each the same learners, budget and checks.
        for (long long count : {static_cast<long long>(plan.Learners), plan.Steps, plan.CheckEvery})
            EXPECT_EQ(count % plan.Islands, 0) << segments;
        EXPECT_GE(plan.Steps, plan.CheckEvery) << segments;
        EXPECT_GT(plan.CheckEvery, 0) << segments;
        for (double constant : {plan.Learning.StepPeriod, plan.Learning.Discount,
                                plan.Learning.TraceDecay, plan.Learning.LearningRate,
                                plan.Learning.TrajectoryTime, plan.AverageTime, plan.FinalRate,
                                plan.FallOver, plan.SteerWithin})
            EXPECT_GT(constant, 0.0) << segments;
        EXPECT_LE(plan.FinalRate, 1.0) << segments;
        EXPECT_LE(plan.FallOver, 1.0) << segments;
        EXPECT_GE(plan.ExploreFactor, 1.0) << segments;
        if (segments > 3) {
            EXPECT_GT(plan.Learning.Discount, three.Learning.Discount) << segments;
            EXPECT_GT(plan.Steps, three.Steps) << segments;
            EXPECT_LT(plan.FinalRate, 1.0) << segments;
        }
    }
}

}  // namespace
