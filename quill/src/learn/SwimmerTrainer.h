#pragma once
// CSwimmerTrainer: value functions for the swimmer of n segments, learned
// from scratch by temporal differences, with the greedy bang-bang torques of
// the current value function as the only policy.
//
// A network is the layout the value function makes for the swimmer (inputs,
// bias, an encoder pair per angle, output) with the plan's hidden neurons.
// The plan's learners learn apart, side by side: each draws its own weights
// with RandomizeParameters and its own starts, from a generator of its own
// seed, so a learner's run is the same whichever thread it runs on, and
// whatever else runs beside it. Learning is chaotic: runs from different
// seeds swim very differently, and each checkpoint of a run again
// differently, so several learners give as many chances of a good swimmer.
//
// A learner may learn several trajectories at once: in every round each
// takes one learning step with the same weights, and the weights take every
// trajectory's update, summed in the order of the trajectories.
//
// A learner's weights wander: an exponential average of them over the last
// AverageTime of simulated time is kept beside them, often the better
// swimmer of the two. The constants and the measurements behind them are in
// docs/training.md.

#include <cstdint>
#include <memory>
#include <vector>

#include "FFNetwork.h"
#include "GreedyScore.h"
#include "TemporalDifference.h"
#include "WorkerTeam.h"

// What a population's explore step changes, each learner its own: the
// learning rate η and the discount τ.
struct LearnerRates
{
    double LearningRate;
    double Discount;

    bool operator==(const LearnerRates&) const = default;
};

// How a swimmer of a given length learns.
struct TrainingPlan
{
    int Segments = 3;
    int HiddenNeurons = 14;
    TDConstants Learning = {
        0.04,   // h: more simulated time in the budget lifts the weak seeds
        1.0,    // τ: about the stroke period
        0.5,    // κ
        0.012,  // η: in proportion to h
        4.0,    // trajectory, seconds
    };
    int Learners = 2;                 // learning apart, side by side
    int Trajectories = 1;             // of each learner, their updates summed
    long long Steps = 30000000;       // learning steps, all learners together
    long long CheckEvery = 2000000;   // learning steps between checkpoints, all together
    // With TakeOverEvery > 0 the take-overs and explore steps come only at
    // the first checkpoint at or after every TakeOverEvery steps, and the
    // checkpoints between only score: they leave the learning as it was and
    // add networks to choose the best from. 0: at every checkpoint.
    long long TakeOverEvery = 0;
    // From TakeOverFrom of the budget on, at each checkpoint that may move
    // lineages (above), a learner whose checkpoint scores below
    // TakeOverBelow times the best learner's takes that learner's weights
    // (0: never).
    double TakeOverBelow = 0.8;
    double TakeOverFrom = 0.25;
    // The chance at each learning step that the torques are drawn at random,
    // each joint's at its lowest or highest, instead of the greedy ones: a
    // learner that only ever acts greedily sees only the states its gait
    // visits, and settles into the first gait it finds; a random kick now
    // and then shows it the states around, where a faster gait may start.
    // 0: always greedy, and no draw.
    double RandomTorques = 0.0;
    // While no learner's checkpoint steers (all score 0), the fastest leads
    // the take-overs, by speed, instead of none: a population whose
    // members all swim without keeping a heading then still gathers on its
    // best lineage and explores around it.
    bool SpeedLeads = false;
    // A learner that takes over also takes its source's η and τ, each
    // multiplied or divided by ExploreFactor (1: as they were), so that the
    // population searches its constants while it learns.
    double ExploreFactor = 1.0;
    // The learners fall into Islands groups that never meet: learner p of
    // P is in island p·Islands/P, and take-overs stay within an island. An
    // island of P/Islands learners on its share of the budget learns as a
    // plan of those learners alone would, to the bit, so a run of islands
    // is that many independent chances, and the best check of all is
    // written: one lineage that gathers the population too early is then
    // not the whole run.
    int Islands = 1;
    // The learning rate falls linearly over each learner's share of the
    // first FallOver of the budget, from η to FinalRate·η, and holds there:
    // a budget twice a plan's with its rate falling over the first half
    // learns and checks as that plan does to the bit up to there, and the
    // checks after it can only add to the best.
    double FinalRate = 1.0;
    double FallOver = 1.0;
    // A check steers, and its score counts, only when every run of the
    // score heads within SteerWithin of where it should (radians).
    double SteerWithin = MaxSpread;
    // Seconds of simulated time; at a constant rate the weights wander to
    // the end, and the average is what a check sees of them.
    double AverageTime = 3000.0;
    int AverageEvery = 16;            // rounds between averaging

    bool operator==(const TrainingPlan&) const = default;
};

// The plan of one island for each length, its population alone
// (docs/training.md says why), with the budget and the check interval a
// front end asks for (0: the plan's).
TrainingPlan IslandPlan(int segments, long long steps, long long checkEvery);
// How many islands of that plan each length learns with, side by side.
int DefaultIslands(int segments);
// Islands of a plan side by side: their learners, budget and intervals all
// together, the budget cut to the most steps a run may take.
TrainingPlan AcrossIslands(TrainingPlan island, int islands);
// The plan chosen for each length: its islands of its island's plan.
TrainingPlan DefaultPlan(int segments);
// That plan with each island's budget and check interval a front end asks
// for (0: the plan's), so the command and the page learn alike.
TrainingPlan DefaultPlan(int segments, long long steps, long long checkEvery);

class CSwimmerTrainer
{
public:
    // The learners first to end - 1 of the plan's (all of them by default):
    // a process of several learns only its own block. Each learner is made
    // on the team member that will run it, so that the memory it writes at
    // every step lies apart from the others' (a member's own allocations),
    // never in a cache line another member writes.
    CSwimmerTrainer(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team,
                    int first = 0, int end = -1);
    ~CSwimmerTrainer();

    static int NeuronsFor(const TrainingPlan& plan);
    // A network of the plan's layout, its weights 0.
    static void LayOut(const TrainingPlan& plan, CFFNetwork& network);

    // rounds rounds of every learner, the learners shared out over the team.
    void Run(long long rounds);
    // The sum of |δ|/h and the count of steps of learner p since the last
    // call.
    void TakeTdError(int p, double& sum, long long& count);
    // Learner to takes learner from's weights and their average, and starts
    // new trajectories with them: a learner far behind the best need not
    // spend the rest of the budget on its own lineage.
    void TakeOver(int from, int to);
    // The same between processes: a lineage (the weights and their average)
    // as LineageWords() words, and a learner taking one over.
    int LineageWords() const;
    void ExportLineage(int p, double* words) const;
    void ImportLineage(int p, const double* words);
    // A learner's learned (averaged = false) or averaged network, its
    // weights rounded to single precision as a network file holds them.
    void GetRoundedNetwork(int p, bool averaged, CFFNetwork& network) const;
    // The rates learner p learns with: the plan's until an explore step
    // changes them.
    LearnerRates GetRates(int p) const;
    void SetRates(int p, const LearnerRates& rates);
    // Whether learner p's weights are all finite.
    bool IsFinite(int p) const;
    // Everything learner p will go on from, as LearnerWords() words; Load
    // takes such words back (false if they cannot be a learner's state).
    int LearnerWords() const;
    void SaveLearner(int p, double* words) const;
    bool LoadLearner(int p, const double* words);

    const TrainingPlan& GetPlan() const { return Plan; }
    int FirstLearner() const { return First; }
    int EndLearner() const { return End; }
    // Learning steps of all learners together, in every process.
    long long GetSteps() const { return Rounds * StepsPerRound(); }
    // The steps one round of every learner takes.
    long long StepsPerRound() const;
    // Rounds of every learner so far; a learner restored from its words
    // goes on from the rounds it had.
    long long GetRounds() const { return Rounds; }
    void SetRounds(long long rounds) { Rounds = rounds; }

private:
    class CLearner;
    CLearner& Own(int p) const;

    TrainingPlan Plan;
    CWorkerTeam& Team;
    int First;
    int End;
    long long Rounds = 0;
    std::vector<std::unique_ptr<CLearner>> Learners;
};
