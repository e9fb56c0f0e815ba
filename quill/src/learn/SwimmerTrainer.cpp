#include "SwimmerTrainer.h"

#include <algorithm>
#include <cmath>

#include "Elementary.h"
#include "FFNetworkVF.h"
#include "Random.h"
#include "Swimmer.h"

TrainingPlan DefaultPlan(int segments)
{
    TrainingPlan plan;
    plan.Segments = segments;
    if (segments >= 4) {
        // A longer body turns more slowly: its value must look further
        // ahead to see a turn pay. Values grow with τ, and so do the TD
        // errors: the rate shrinks with it to keep the steps of the
        // weights as large as at τ = 1, and falls towards the end, where
        // the greedy swimmer's heading would wander from check to check.
        plan.Learning.Discount = 2.0;
        plan.Learning.LearningRate = 0.0045;
        plan.FinalRate = 0.1;
        plan.Steps = 60000000;
        // The falling rate already calms the weights at the end; the
        // longer average of three segments steered worse here.
        plan.AverageTime = 1000.0;
    }
    return plan;
}

TrainingPlan DefaultPlan(int segments, long long steps, long long checkEvery)
{
    TrainingPlan plan = DefaultPlan(segments);
    if (steps)
        plan.Steps = steps;
    if (checkEvery)
        plan.CheckEvery = checkEvery;
    return plan;
}

namespace {

// The trace is sized from the parameter count, so the layout comes first.
CFFNetworkVF& Holding(CFFNetworkVF& valueFunction, const CFFNetwork& weights)
{
    valueFunction.SetNetwork(weights);
    return valueFunction;
}

// The greedy torques of the value function being learned.
class CGreedyController : public CController
{
public:
    explicit CGreedyController(CSwimmer& swimmer) : Swimmer(swimmer) {}
    void ChooseAction(const double* state, CValueFunction& valueFunction, double* action) override
    {
        Swimmer.ChooseGreedyAction(state, valueFunction, action);
    }

private:
    CSwimmer& Swimmer;
};

// One trajectory: its own swimmer (whose cached system is per state), its
// own copy of the learner's weights, its own starts.
struct CTrajectory
{
    CTrajectory(const TrainingPlan& plan, const CFFNetwork& weights, const CRandom& rng)
        : Swimmer(plan.Segments),
          ValueFunction(Swimmer),
          Controller(Swimmer),
          Rng(rng),
          Learner(Swimmer, Holding(ValueFunction, weights), Controller, Rng, plan.Learning)
    {
    }

    CSwimmer Swimmer;
    CFFNetworkVF ValueFunction;
    CGreedyController Controller;
    CRandom Rng;
    CTDLearner Learner;
};

// The seed of learner p's generator; learner 0 takes the run's own.
std::uint32_t LearnerSeed(std::uint32_t seed, int learner)
{
    return seed + 0x9E3779B9u * static_cast<std::uint32_t>(learner);
}

}  // namespace

// A learner: its trajectories, the sum of their updates, the average of
// its weights. Nothing allocates after construction.
class CSwimmerTrainer::CLearner
{
public:
    CLearner(const TrainingPlan& plan, std::uint32_t seed)
        : Plan(plan),
          AverageRate(1.0 - Elementary::Exp(-plan.AverageEvery * plan.Trajectories *
                                     plan.Learning.StepPeriod / plan.AverageTime))
    {
        // The weights are drawn first, then the same generator goes on to
        // draw the first trajectory's starts; every other trajectory draws
        // from a generator of its own seed.
        CRandom rng(seed);
        CSwimmer swimmer(plan.Segments);
        CFFNetworkVF drawn(swimmer);
        drawn.SetNeurons(NeuronsFor(plan));
        drawn.RandomizeParameters(rng);
        Average.CopyFrom(drawn.GetNetwork());
        for (int k = 0; k < plan.Trajectories; ++k) {
            const CRandom own = k == 0 ? rng : CRandom(LearnerSeed(seed, k));
            Trajectories.push_back(std::make_unique<CTrajectory>(plan, drawn.GetNetwork(), own));
        }
        Sum.Resize(drawn.GetParameterCount());
    }

    // Every trajectory steps with the same weights; then every copy of the
    // weights takes the sum of the updates, in the order of the
    // trajectories, and every trajectory carries its trace on.
    void Round()
    {
        Sum.Zero();
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            CTDLearner& learner = trajectory->Learner;
            ErrorSum += std::fabs(learner.Advance());
            const double factor = learner.GetUpdateFactor();
            const CVector& trace = learner.GetTrace();
            for (int i = Sum.Size() - 1; i >= 0; --i)
                Sum[i] += factor * trace[i];
        }
        // At FinalRate 1 the scale is exactly 1: a constant rate's bits.
        const double share = static_cast<double>(Plan.Steps) / Plan.Learners;
        const double scale =
            1.0 - (1.0 - Plan.FinalRate) * std::min(1.0, static_cast<double>(Steps) / share);
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            trajectory->Learner.Learn(Sum, scale);
            trajectory->Learner.CarryTrace();
        }
        ErrorCount += Plan.Trajectories;
        Steps += Plan.Trajectories;
        if (++Rounds % Plan.AverageEvery == 0) {
            const CFFNetwork& learned = GetNetwork();
            const int n = learned.GetNeuronCount();
            const double* w = learned.GetWeights();
            double* a = Average.GetWeights();
            for (int i = n * n - 1; i >= 0; --i)
                a[i] += (w[i] - a[i]) * AverageRate;
        }
    }

    void TakeOver(const CLearner& other)
    {
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            trajectory->ValueFunction.SetNetwork(other.GetNetwork());
            trajectory->Learner.Restart();
        }
        Average.CopyFrom(other.Average);
    }

    // Every copy holds the same weights.
    const CFFNetwork& GetNetwork() const { return Trajectories.front()->ValueFunction.GetNetwork(); }
    const CFFNetwork& GetAverage() const { return Average; }

    const TrainingPlan& Plan;
    std::vector<std::unique_ptr<CTrajectory>> Trajectories;
    CVector Sum;
    CFFNetwork Average;
    double AverageRate;
    long long Rounds = 0;
    long long Steps = 0;
    double ErrorSum = 0.0;
    long long ErrorCount = 0;
};

CSwimmerTrainer::CSwimmerTrainer(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team)
    : Plan(plan), Team(team)
{
    for (int p = 0; p < plan.Learners; ++p)
        Learners.push_back(std::make_unique<CLearner>(Plan, LearnerSeed(seed, p)));
}

CSwimmerTrainer::~CSwimmerTrainer() = default;

int CSwimmerTrainer::NeuronsFor(const TrainingPlan& plan)
{
    return CFFNetworkVF::MinimumNeurons(CSwimmer(plan.Segments)) + plan.HiddenNeurons;
}

void CSwimmerTrainer::Run(long long rounds)
{
    auto learn = [this, rounds](int p) {
        CLearner& learner = *Learners[static_cast<std::size_t>(p)];
        for (long long round = 0; round < rounds; ++round)
            learner.Round();
    };
    Team.Run(Plan.Learners, learn);
}

void CSwimmerTrainer::TakeOver(int from, int to)
{
    Learners[static_cast<std::size_t>(to)]->TakeOver(*Learners[static_cast<std::size_t>(from)]);
}

long long CSwimmerTrainer::GetSteps() const
{
    long long steps = 0;
    for (const std::unique_ptr<CLearner>& learner : Learners)
        steps += learner->Steps;
    return steps;
}

long long CSwimmerTrainer::StepsPerRound() const
{
    return static_cast<long long>(Plan.Learners) * Plan.Trajectories;
}

double CSwimmerTrainer::TakeMeanTdError()
{
    double sum = 0.0;
    long long count = 0;
    for (std::unique_ptr<CLearner>& learner : Learners) {
        sum += learner->ErrorSum;
        count += learner->ErrorCount;
        learner->ErrorSum = 0.0;
        learner->ErrorCount = 0;
    }
    return count ? sum / static_cast<double>(count) / Plan.Learning.StepPeriod : 0.0;
}

void CSwimmerTrainer::GetRoundedNetwork(int learner, bool averaged, CFFNetwork& network) const
{
    const CLearner& from = *Learners[static_cast<std::size_t>(learner)];
    network.CopyFrom(averaged ? from.GetAverage() : from.GetNetwork());
    const int n = network.GetNeuronCount();
    double* w = network.GetWeights();
    for (int i = n * n - 1; i >= 0; --i)
        w[i] = static_cast<double>(static_cast<float>(w[i]));
}

bool CSwimmerTrainer::IsFinite() const
{
    for (const std::unique_ptr<CLearner>& learner : Learners)
        if (!AllWeightsFinite(learner->GetNetwork()))
            return false;
    return true;
}
