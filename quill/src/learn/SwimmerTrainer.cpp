#include "SwimmerTrainer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Elementary.h"
#include "FatalCheck.h"
#include "FFNetworkVF.h"
#include "LearnLimits.h"
#include "Random.h"
#include "RankGroup.h"
#include "Swimmer.h"

TrainingPlan IslandPlan(int segments, long long steps, long long checkEvery)
{
    TrainingPlan plan;
    plan.Segments = segments;
    if (segments >= 4) {
        // A longer body turns more slowly: its value must look further
        // ahead to see a turn pay. Values grow with τ, and so do the TD
        // errors: the rate shrinks with it to keep the steps of the
        // weights as large as at τ = 1, and falls towards the end, where
        // the greedy swimmer's heading would wander from check to check.
        // The step is the one these plans were found at.
        plan.Learning.StepPeriod = 0.03;
        plan.Learning.Discount = 2.0;
        plan.Learning.LearningRate = 0.0045;
        plan.FinalRate = 0.1;
        plan.Steps = 60000000;
        // The falling rate already calms the weights at the end; the
        // longer average of three segments steered worse here.
        plan.AverageTime = 1000.0;
        // Two learners left the weak seeds to luck (four segments, seed 4,
        // steered no check). A population of four, explored, lifts every
        // seed tried; a check steers only within 5°, so that the heading
        // it is chosen for is the one a user sees: under 8° four segments'
        // seed 3 headed 5.5° off plain, five segments' seed 1 6.0° off
        // after the clicks.
        plan.Learners = 4;
        plan.TakeOverFrom = 0.1;
        plan.ExploreFactor = 1.25;
        plan.SteerWithin = WellSteered;
    }
    if (segments == 4) {
        // Four segments still gain after those 60 M steps: over twice the
        // budget, the rate falling over the first half as before and
        // holding at 0.1·η after, the two slow seeds of eight swam half as
        // fast again and the one that steered no check came within 1.4°.
        // Up to the half every check is the 60 M plan's to the bit, so the
        // best can only gain; a rate falling over all 120 M drew other
        // lineages, and lost seeds that plan steered.
        plan.Steps = 120000000;
        plan.FallOver = 0.5;
        plan.TakeOverFrom = 0.05;
    }
    if (segments >= 5) {
        // Five segments and longer found their best checks early, in the
        // first half of a budget over which the rate fell to 0.1·η: the
        // budget is that half, the rate falls only to 0.55·η and the
        // take-overs start at the same step, aiming at the same checks in
        // half the time. Up to that half the two rates differ in their last
        // bit only; on six segments four seeds of five made the same checks,
        // and on one that bit grew into another run. On four segments it
        // did worse.
        plan.FinalRate = 0.55;
        plan.TakeOverFrom = 0.2;
    }
    if (segments == 5) {
        // One seed of twelve steered no check, so its four learners never
        // took over: each learned apart on the plan's η and τ to the end,
        // and the best swam 0.33 units/s 9° off. With the fastest leading
        // while nobody steers the population gathers and explores then too,
        // and the weakest of twelve seeds swam 0.58 units/s within 3°; the
        // price is paid by seeds that, left apart longer, would have found
        // faster gaits (the fastest seed went from 1.02 to 0.59 units/s).
        plan.SpeedLeads = true;
    }
    if (segments >= 6) {
        // Longer still: τ = 3 s steers where 2 s did not (η·τ kept). At
        // that rate single lineages grow their TD errors until they
        // diverge, and few checks steer: the population searches η and τ.
        // Over 120 M steps falling to 0.1·η two seeds of three steered no
        // check, or only slowly; over 240 M all three steered, each at a
        // check before 120 M, which this half of that schedule makes in
        // about 10 minutes on two cores. That was under the score's 8°;
        // 5° was not tried. On the same budget two learners steered no
        // check on those seeds, eight on one: four stay.
        plan.Learning.Discount = 3.0;
        plan.Learning.LearningRate = 0.003;
        plan.Steps = 120000000;
        plan.CheckEvery = 4000000;
        plan.SteerWithin = MaxSpread;
    }
    if (segments >= 8) {
        // A learning step is one explicit Euler step of h, and the chain's
        // fastest mode quickens as it grows: at h = 0.03 s eight segments
        // went to infinity within 80 k steps whatever the rate, ten within
        // 50 k, and ten still at 0.025 s; at 0.02 s nine and ten held for a
        // million steps. η in proportion to h, as at three segments.
        plan.Learning.StepPeriod = 0.02;
        plan.Learning.LearningRate = 0.002;
    }
    if (steps)
        plan.Steps = steps;
    if (checkEvery)
        plan.CheckEvery = checkEvery;
    return plan;
}

int DefaultIslands(int segments)
{
    // Five segments' population gathers on one lineage early, and two
    // seeds of fourteen swam their best checks under 0.6 units/s. Two
    // islands of four found nothing better on either; with three, one
    // seed's third island steered at 1.00 units/s, and with four the other
    // seed's fourth at 0.62. Islands never meet, so the first K of K + 1
    // are the K alone, and the check written scores at least as well as
    // their best: every one of its runs, the user's two among them, heads
    // within 5° and is at least as fast as that best's slowest. So a seed
    // fewer islands carry is carried still, at four times the plan's time
    // (about 18 minutes on two cores).
    return segments == 5 ? 4 : 1;
}

TrainingPlan AcrossIslands(TrainingPlan island, int islands)
{
    island.Islands = islands;
    island.Learners *= islands;
    island.Steps = std::min(island.Steps, LearnLimits::MostSteps / islands) * islands;
    island.CheckEvery *= islands;
    island.TakeOverEvery *= islands;
    return island;
}

TrainingPlan DefaultPlan(int segments) { return DefaultPlan(segments, 0, 0); }

TrainingPlan DefaultPlan(int segments, long long steps, long long checkEvery)
{
    return AcrossIslands(IslandPlan(segments, steps, checkEvery), DefaultIslands(segments));
}

namespace {

// The trace is sized from the parameter count, so the layout comes first.
CFFNetworkVF& Holding(CFFNetworkVF& valueFunction, const CFFNetwork& weights)
{
    valueFunction.SetNetwork(weights);
    return valueFunction;
}

// The greedy torques of the value function being learned, or, by chance,
// torques drawn from the trajectory's generator: first whether, then each
// joint's end of its range in joint order.
class CGreedyController : public CController
{
public:
    CGreedyController(CSwimmer& swimmer, CRandom& rng, double chance)
        : Swimmer(swimmer), Rng(rng), Chance(chance)
    {
    }
    void ChooseAction(const double* state, CValueFunction& valueFunction, double* action) override
    {
        if (Chance > 0.0 && Rng.Real01() < Chance) {
            for (int j = 0; j < Swimmer.GetActionDimension(); ++j)
                action[j] = Rng.Real01() < 0.5 ? Swimmer.ActionMin(j) : Swimmer.ActionMax(j);
            return;
        }
        Swimmer.ChooseGreedyAction(state, valueFunction, action);
    }

private:
    CSwimmer& Swimmer;
    CRandom& Rng;
    double Chance;
};

// One trajectory: its own swimmer (whose cached system is per state), its
// own copy of the learner's weights, its own starts.
struct CTrajectory
{
    CTrajectory(const TrainingPlan& plan, const CFFNetwork& weights, const CRandom& rng)
        : Swimmer(plan.Segments),
          ValueFunction(Swimmer),
          Rng(rng),
          Controller(Swimmer, Rng, plan.RandomTorques),
          Learner(Swimmer, Holding(ValueFunction, weights), Controller, Rng, plan.Learning)
    {
    }

    CSwimmer Swimmer;
    CFFNetworkVF ValueFunction;
    CRandom Rng;  // the starts, and the random torques between
    CGreedyController Controller;
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
          Rates{plan.Learning.LearningRate, plan.Learning.Discount},
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
        // At FinalRate 1 the scale is exactly 1: a constant rate's bits;
        // at FallOver 1 the share is exactly the budget's.
        const double share = static_cast<double>(Plan.Steps) * Plan.FallOver / Plan.Learners;
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

    // The weights and their average, n² words each.
    void ExportLineage(double* words) const
    {
        const int n2 = WeightCount();
        std::copy_n(GetNetwork().GetWeights(), n2, words);
        std::copy_n(Average.GetWeights(), n2, words + n2);
    }

    // Every trajectory starts afresh from the weights taken.
    void ImportLineage(const double* words)
    {
        const int n2 = WeightCount();
        CFFNetwork taken;
        taken.CopyFrom(GetNetwork());
        std::copy_n(words, n2, taken.GetWeights());
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            trajectory->ValueFunction.SetNetwork(taken);
            trajectory->Learner.Restart();
        }
        std::copy_n(words + n2, n2, Average.GetWeights());
    }

    void SetRates(const LearnerRates& rates)
    {
        Rates = rates;
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories)
            trajectory->Learner.SetRates(rates.LearningRate, rates.Discount);
    }

    int Words() const
    {
        const int progress = Trajectories.front()->Learner.ProgressWords();
        return 6 + 2 * WeightCount() + Plan.Trajectories * (2 + CRandom::TableSize + progress);
    }

    void Save(double* words) const
    {
        *words++ = static_cast<double>(Rounds);
        *words++ = static_cast<double>(Steps);
        *words++ = ErrorSum;
        *words++ = static_cast<double>(ErrorCount);
        *words++ = Rates.LearningRate;
        *words++ = Rates.Discount;
        ExportLineage(words);
        words += 2 * WeightCount();
        for (const std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            const CRandom& rng = trajectory->Rng;
            *words++ = rng.FirstIndex;
            *words++ = rng.SecondIndex;
            words = std::copy_n(rng.Table, CRandom::TableSize, words);
            trajectory->Learner.SaveProgress(words);
            words += trajectory->Learner.ProgressWords();
        }
    }

    // A learner that refuses its words is left half loaded: it is not
    // used after that.
    bool Load(const double* words)
    {
        const double rounds = words[0], steps = words[1], count = words[3];
        const LearnerRates rates = {words[4], words[5]};
        if (!IsWholeWord(rounds) || !IsWholeWord(steps) || !IsWholeWord(count) ||
            !(rates.LearningRate > 0 && rates.LearningRate <= 1) ||
            !(rates.Discount > 0 && rates.Discount < std::numeric_limits<double>::infinity()))
            return false;
        Rounds = static_cast<long long>(rounds);
        Steps = static_cast<long long>(steps);
        ErrorSum = words[2];
        ErrorCount = static_cast<long long>(count);
        SetRates(rates);
        ImportLineage(words + 6);
        const double* at = words + 6 + 2 * WeightCount();
        for (std::unique_ptr<CTrajectory>& trajectory : Trajectories) {
            CRandom& rng = trajectory->Rng;
            const double lastIndex = CRandom::TableSize - 1;
            if (!IsWholeWord(at[0], lastIndex) || !IsWholeWord(at[1], lastIndex))
                return false;
            rng.FirstIndex = static_cast<int>(*at++);
            rng.SecondIndex = static_cast<int>(*at++);
            for (std::uint32_t& word : rng.Table) {
                if (!IsWholeWord(*at, 4294967295.0))
                    return false;
                word = static_cast<std::uint32_t>(*at++);
            }
            if (!trajectory->Learner.LoadProgress(at))
                return false;
            at += trajectory->Learner.ProgressWords();
        }
        return true;
    }

    // Every copy holds the same weights.
    const CFFNetwork& GetNetwork() const { return Trajectories.front()->ValueFunction.GetNetwork(); }
    const CFFNetwork& GetAverage() const { return Average; }
    int WeightCount() const { return Average.GetNeuronCount() * Average.GetNeuronCount(); }


    const TrainingPlan& Plan;
    LearnerRates Rates;
    std::vector<std::unique_ptr<CTrajectory>> Trajectories;
    CVector Sum;
    CFFNetwork Average;
    double AverageRate;
    long long Rounds = 0;
    long long Steps = 0;
    double ErrorSum = 0.0;
    long long ErrorCount = 0;
};

CSwimmerTrainer::CSwimmerTrainer(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team,
                                 int first, int end)
    : Plan(plan), Team(team), First(first), End(end < 0 ? plan.Learners : end)
{
    Learners.resize(static_cast<std::size_t>(End - First));
    auto make = [this, seed](int i) {
        Learners[static_cast<std::size_t>(i)] =
            std::make_unique<CLearner>(Plan, LearnerSeed(seed, First + i));
    };
    Team.Run(End - First, make);
}

CSwimmerTrainer::~CSwimmerTrainer() = default;

int CSwimmerTrainer::NeuronsFor(const TrainingPlan& plan)
{
    return CFFNetworkVF::MinimumNeurons(CSwimmer(plan.Segments)) + plan.HiddenNeurons;
}

CSwimmerTrainer::CLearner& CSwimmerTrainer::Own(int p) const
{
    FATAL_CHECK(p < First || p >= End);
    return *Learners[static_cast<std::size_t>(p - First)];
}

void CSwimmerTrainer::LayOut(const TrainingPlan& plan, CFFNetwork& network)
{
    CSwimmer swimmer(plan.Segments);
    CFFNetworkVF layout(swimmer);
    layout.SetNeurons(NeuronsFor(plan));
    network.CopyFrom(layout.GetNetwork());
}

void CSwimmerTrainer::Run(long long rounds)
{
    auto learn = [this, rounds](int i) {
        CLearner& learner = *Learners[static_cast<std::size_t>(i)];
        for (long long round = 0; round < rounds; ++round)
            learner.Round();
    };
    Team.Run(End - First, learn);
    Rounds += rounds;
}

void CSwimmerTrainer::TakeOver(int from, int to)
{
    std::vector<double> lineage(static_cast<std::size_t>(LineageWords()));
    ExportLineage(from, lineage.data());
    ImportLineage(to, lineage.data());
}

int CSwimmerTrainer::LineageWords() const
{
    const int n = NeuronsFor(Plan);
    return 2 * n * n;
}

void CSwimmerTrainer::ExportLineage(int p, double* words) const
{
    Own(p).ExportLineage(words);
}

void CSwimmerTrainer::ImportLineage(int p, const double* words)
{
    Own(p).ImportLineage(words);
}

long long CSwimmerTrainer::StepsPerRound() const
{
    return static_cast<long long>(Plan.Learners) * Plan.Trajectories;
}

void CSwimmerTrainer::TakeTdError(int p, double& sum, long long& count)
{
    CLearner& learner = Own(p);
    sum = learner.ErrorSum;
    count = learner.ErrorCount;
    learner.ErrorSum = 0.0;
    learner.ErrorCount = 0;
}

void CSwimmerTrainer::GetRoundedNetwork(int p, bool averaged, CFFNetwork& network) const
{
    const CLearner& from = Own(p);
    network.CopyFrom(averaged ? from.GetAverage() : from.GetNetwork());
    const int n = network.GetNeuronCount();
    double* w = network.GetWeights();
    for (int i = n * n - 1; i >= 0; --i)
        w[i] = static_cast<double>(static_cast<float>(w[i]));
}

LearnerRates CSwimmerTrainer::GetRates(int p) const
{
    return Own(p).Rates;
}

void CSwimmerTrainer::SetRates(int p, const LearnerRates& rates)
{
    Own(p).SetRates(rates);
}

bool CSwimmerTrainer::IsFinite(int p) const
{
    return AllWeightsFinite(Own(p).GetNetwork());
}

int CSwimmerTrainer::LearnerWords() const
{
    if (First < End)
        return Own(First).Words();
    // A process without learners still knows their size: make one.
    return CLearner(Plan, 0).Words();
}

void CSwimmerTrainer::SaveLearner(int p, double* words) const
{
    Own(p).Save(words);
}

bool CSwimmerTrainer::LoadLearner(int p, const double* words)
{
    return Own(p).Load(words);
}
