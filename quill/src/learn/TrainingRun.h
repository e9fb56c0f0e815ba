#pragma once
// CTrainingRun: a whole learning run as swimmer-train makes it, and as any
// other front end must make it to get the same network. The trainer's
// learners learn side by side; every CheckEvery steps each learner's
// averaged network (the better swimmer of its two at most checks) is
// scored, a learner far behind the best of the check may take its weights,
// and the best check of all is kept.
//
// The run advances in stretches of the caller's choosing. Checks fall at
// the same steps however the stretches are cut, so the result depends on
// the plan and the seed alone: never on the stretches, the team's size or
// the timing.

#include <cstdint>
#include <vector>

#include "FFNetwork.h"
#include "GreedyScore.h"
#include "SwimmerTrainer.h"
#include "WorkerTeam.h"

// What one check found.
struct TrainingCheck
{
    long long Steps = 0;
    double MeanTdError = 0.0;          // mean |δ|/h since the check before
    std::vector<GreedyScore> Scores;   // each learner's averaged network
};

// At a check of steps steps with these scores, the learner each learner
// takes over (-1: none): from TakeOverFrom of the budget on, a learner
// scoring below TakeOverBelow times the check's leader (the first of the
// best) spends the rest of the run on the leader's lineage.
std::vector<int> TakeOvers(const TrainingPlan& plan, long long steps,
                           const std::vector<GreedyScore>& scores);

class CTrainingRun
{
public:
    CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team);

    // Learns on towards step until (at least one round), stopping early at
    // the next check, which it then makes; true if it made one.
    bool Advance(long long until);
    // The budget is spent, or the weights diverged.
    bool IsDone() const { return Diverged || GetSteps() >= Plan.Steps; }
    bool HasDiverged() const { return Diverged; }
    // A run stopped before its first check judges what it has; true if this
    // made a check.
    bool CheckIfNone();

    const TrainingPlan& GetPlan() const { return Plan; }
    long long GetSteps() const { return Trainer.GetSteps(); }
    const TrainingCheck& GetLastCheck() const { return Last; }

    // The best check so far: a swimmer that keeps one heading first, then
    // plain speed; a network whose weights are not all finite never counts.
    // Before the first check GetBestScore().Speed is -infinity and the
    // network empty.
    const GreedyScore& GetBestScore() const { return BestScore; }
    const CFFNetwork& GetBest() const { return Best; }
    int GetBestLearner() const { return BestLearner; }
    long long GetBestStep() const { return BestStep; }

private:
    void Check();

    TrainingPlan Plan;
    CWorkerTeam& Team;
    CSwimmerTrainer Trainer;
    std::vector<CFFNetwork> Probes;
    std::vector<const CFFNetwork*> ProbeList;
    TrainingCheck Last;
    bool Diverged = false;
    GreedyScore BestScore;
    CFFNetwork Best;
    int BestLearner = -1;
    long long BestStep = 0;
};
