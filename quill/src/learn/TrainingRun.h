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
//
// A run may be shared among the ranks of a group, each learning its block
// of the learners on its own team. At a check every rank makes every call
// here alike: the averaged networks travel to every rank, the scoring runs
// are shared out over all ranks, every rank judges the same scores and
// keeps the same best, and a taken-over lineage moves from the rank that
// has it to the rank that takes it. Any number of ranks and threads gives
// the same bits as one of each.

#include <atomic>
#include <cstdint>
#include <vector>

#include "FFNetwork.h"
#include "GreedyScore.h"
#include "RankGroup.h"
#include "SwimmerTrainer.h"
#include "WorkerTeam.h"

// What one check found.
struct TrainingCheck
{
    long long Steps = 0;
    double MeanTdError = 0.0;          // mean |δ|/h since the check before
    std::vector<GreedyScore> Scores;   // each learner's averaged network
    std::vector<LearnerRates> Rates;   // what each learner learned with up to it
};

// Whether check a is written before check b, under a plan whose checks
// steer within steerWithin: one whose every run heads within WellSteered
// (and steers) first, since that is where a user's clicks should take the
// swimmer; then the score, then plain speed. The take-overs follow the
// plan's own gate: a narrower one there starves the population of leaders.
bool WrittenBefore(const GreedyScore& a, const GreedyScore& b, double steerWithin);
// How near its target every run of a check must head for a user's clicks
// to rely on it: WellSteered, or a plan's narrower steerWithin.
double WellWithin(double steerWithin);
bool HeadsWell(const GreedyScore& score, double steerWithin);

// At a check of steps steps with these scores, the learner each learner
// takes over (-1: none): from TakeOverFrom of the budget on, at every
// check (or the first at or after every TakeOverEvery steps), a learner
// scoring below TakeOverBelow times the check's leader (the first of the
// best; with SpeedLeads, while nobody steers, the fastest, and speeds
// compared) spends the rest of the run on the leader's lineage; and at any
// check a learner whose weights are no longer finite takes the lineage of
// the best check of those that are (score, then speed), so that one
// diverged member does not end a population's run. Each island of the
// plan has its own leader and best, and a learner takes only from its own
// island, unless none of it is finite: then from the best of all. None
// when the rule is off (TakeOverBelow 0) or no learner is finite.
std::vector<int> TakeOvers(const TrainingPlan& plan, long long steps,
                           const std::vector<GreedyScore>& scores, const std::vector<bool>& finite);

// The rates each learner learns on with after a check of steps steps
// whose take-overs are from: a learner that took a lineage takes its
// source's rates, η and τ each multiplied or divided by ExploreFactor as
// a draw of its own says (from the run's seed, the learner and the step,
// so every rank draws the same for it, whatever learned where); the
// others keep theirs.
std::vector<LearnerRates> Explore(const TrainingPlan& plan, std::uint32_t seed, long long steps,
                                  const std::vector<int>& from,
                                  const std::vector<LearnerRates>& rates);

// The take-overs of a check, learner p taking learner from[p]'s lineage
// where from[p] >= 0, in the order of p on every rank alike: the rank that
// has the source sends it, the rank of the taker receives it (a rank that
// has both copies it).
void MoveLineages(CSwimmerTrainer& trainer, CRankGroup& group, const std::vector<int>& from);

class CTrainingRun
{
public:
    CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team);
    CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team,
                 CRankGroup& group);

    // Learns on towards step until (at least one round), stopping early at
    // the next check, which it then makes; true if it made one.
    bool Advance(long long until);
    // The budget is spent, the weights diverged, or a stop came.
    bool IsDone() const { return Diverged || Stopped || GetSteps() >= Plan.Steps; }
    bool HasDiverged() const { return Diverged; }
    // A check's scoring asks stop (every rank's, set on every rank) before
    // each run; once it is non-zero on any rank, the check is given up, the
    // run is stopped and keeps what it had at the check before.
    void StopWhen(const std::atomic<int>& stop) { Stop = &stop; }
    bool WasStopped() const { return Stopped; }
    // A run stopped before its first check judges what it has; true if this
    // made a check.
    bool CheckIfNone();

    const TrainingPlan& GetPlan() const { return Plan; }
    long long GetSteps() const { return Trainer.GetSteps(); }
    const TrainingCheck& GetLastCheck() const { return Last; }

    // The best check so far (WrittenBefore); a network whose weights are
    // not all finite never counts. Before the first check
    // GetBestScore().Speed is -infinity, its spread infinity and the
    // network empty.
    const GreedyScore& GetBestScore() const { return BestScore; }
    const CFFNetwork& GetBest() const { return Best; }
    int GetBestLearner() const { return BestLearner; }
    long long GetBestStep() const { return BestStep; }
    // Wall seconds spent in checks so far (scoring, and waiting for the
    // other ranks there).
    double GetCheckSeconds() const { return CheckSeconds; }

    // The whole state a run goes on from after a check, as words: on rank
    // 0, the run's and then every learner's, in order; on the other ranks
    // nothing (they send theirs to rank 0). Every rank calls it. The run's
    // own words begin with the PlanWords constants of its plan.
    static constexpr int PlanWords = 23;
    std::vector<double> SaveState();
    // Every rank takes such words back, its own learners from them; false
    // if they cannot be this plan's run, or were saved under another plan.
    bool LoadState(const std::vector<double>& words);

private:
    // A check; false if a stop gave it up.
    bool Check(const std::atomic<int>* stop);
    int RunWords() const;

    TrainingPlan Plan;
    std::uint32_t Seed;
    CWorkerTeam& Team;
    CSingleProcess Alone;
    CRankGroup& Group;
    CSwimmerTrainer Trainer;
    std::vector<int> Counts;  // words of each rank's block at a check
    std::vector<CFFNetwork> Probes;
    std::vector<const CFFNetwork*> ProbeList;
    TrainingCheck Last;
    bool Diverged = false;
    bool Stopped = false;
    const std::atomic<int>* Stop = nullptr;
    GreedyScore BestScore;
    CFFNetwork Best;
    int BestLearner = -1;
    long long BestStep = 0;
    double CheckSeconds = 0.0;
};
