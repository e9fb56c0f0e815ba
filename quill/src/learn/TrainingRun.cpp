#include "TrainingRun.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

bool Better(const GreedyScore& a, const GreedyScore& b)
{
    if (a.Score != b.Score)
        return a.Score > b.Score;
    return a.Speed > b.Speed;
}

// The words after a learner's weights in its part of a check (Check).
const int CheckTailWords = 5;

int CheckWords(const CFFNetwork& layout)
{
    return layout.GetNeuronCount() * layout.GetNeuronCount() + CheckTailWords;
}

// Two bits of learner p's own at the check of steps steps: the
// finalizer of a 64-bit mix (Stafford's variant 13) of its seed and the
// step, a counter-based generator that needs no state kept between checks.
unsigned ExploreBits(std::uint32_t seed, int p, long long steps)
{
    std::uint64_t x = (static_cast<std::uint64_t>(seed) << 32 | static_cast<std::uint32_t>(p)) ^
                      static_cast<std::uint64_t>(steps) * 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    return static_cast<unsigned>(x >> 62);
}

// A plan's constants, first in its run's state: the same options come to
// mean another plan when a length's default moves, and a state must go on
// only under the plan it was learned with.
std::array<double, CTrainingRun::PlanWords> WordsOf(const TrainingPlan& plan)
{
    const TDConstants& td = plan.Learning;
    return {static_cast<double>(plan.Segments), static_cast<double>(plan.HiddenNeurons),
            td.StepPeriod, td.Discount, td.TraceDecay, td.LearningRate, td.TrajectoryTime,
            static_cast<double>(plan.Learners), static_cast<double>(plan.Trajectories),
            static_cast<double>(plan.Steps), static_cast<double>(plan.CheckEvery),
            plan.TakeOverBelow, plan.TakeOverFrom, plan.SpeedLeads ? 1.0 : 0.0,
            plan.ExploreFactor, plan.FinalRate, plan.FallOver, plan.SteerWithin, plan.AverageTime,
            static_cast<double>(plan.AverageEvery), static_cast<double>(plan.TakeOverEvery),
            plan.RandomTorques, static_cast<double>(plan.Islands)};
}

}  // namespace

double WellWithin(double steerWithin)
{
    return std::min(WellSteered, steerWithin);
}

bool HeadsWell(const GreedyScore& score, double steerWithin)
{
    return score.Spread <= WellWithin(steerWithin);  // NaN: not
}

bool WrittenBefore(const GreedyScore& a, const GreedyScore& b, double steerWithin)
{
    const bool aWell = HeadsWell(a, steerWithin), bWell = HeadsWell(b, steerWithin);
    if (aWell != bWell)
        return aWell;
    return Better(a, b);
}

std::vector<int> TakeOvers(const TrainingPlan& plan, long long steps,
                           const std::vector<GreedyScore>& scores, const std::vector<bool>& finite)
{
    const std::size_t learners = scores.size();
    std::vector<int> from(learners, -1);
    if (plan.TakeOverBelow <= 0)
        return from;
    const std::size_t islands = static_cast<std::size_t>(std::max(1, plan.Islands));
    auto islandOf = [&](std::size_t p) { return p * islands / learners; };
    // The best and the leader of each island, and the best of all for an
    // island with no finite learner left.
    std::vector<int> best(islands + 1, -1), leader(islands + 1, -1);
    for (std::size_t p = 0; p < learners; ++p) {
        if (!finite[p])
            continue;
        const int q = static_cast<int>(p);
        for (const std::size_t i : {islandOf(p), islands}) {
            if (best[i] < 0 || Better(scores[p], scores[static_cast<std::size_t>(best[i])]))
                best[i] = q;
            if (leader[i] < 0 ||
                scores[p].Score > scores[static_cast<std::size_t>(leader[i])].Score)
                leader[i] = q;
        }
    }
    if (best[islands] < 0)
        return from;
    // A check falls at the first round to reach its step, so the last
    // check came less than CheckEvery steps before this one.
    const long long every = plan.TakeOverEvery;
    const bool crossed =
        every == 0 || steps / every != std::max(0LL, steps - plan.CheckEvery) / every;
    const bool due = crossed && steps >= plan.TakeOverFrom * plan.Steps;
    for (std::size_t p = 0; p < learners; ++p) {
        const std::size_t i = islandOf(p);
        if (!finite[p]) {
            from[p] = best[i] >= 0 ? best[i] : best[islands];
            continue;
        }
        std::size_t lead = static_cast<std::size_t>(leader[i]);
        const bool bySpeed = plan.SpeedLeads && scores[lead].Score <= 0;
        if (bySpeed)  // with every score 0, the best is the fastest
            lead = static_cast<std::size_t>(best[i]);
        auto measure = [&](std::size_t q) { return bySpeed ? scores[q].Speed : scores[q].Score; };
        if (due && measure(p) < plan.TakeOverBelow * measure(lead))
            from[p] = static_cast<int>(lead);
    }
    return from;
}

std::vector<LearnerRates> Explore(const TrainingPlan& plan, std::uint32_t seed, long long steps,
                                  const std::vector<int>& from,
                                  const std::vector<LearnerRates>& rates)
{
    std::vector<LearnerRates> next = rates;
    const double f = plan.ExploreFactor;
    for (std::size_t p = 0; p < from.size(); ++p) {
        if (from[p] < 0)
            continue;
        // The steps of one island, so that an island draws as the plan of
        // its learners alone would.
        const unsigned bits =
            ExploreBits(seed, static_cast<int>(p), steps / std::max(1, plan.Islands));
        const LearnerRates& source = rates[static_cast<std::size_t>(from[p])];
        next[p].LearningRate = bits & 1 ? source.LearningRate * f : source.LearningRate / f;
        next[p].Discount = bits & 2 ? source.Discount * f : source.Discount / f;
    }
    return next;
}

CTrainingRun::CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team)
    : CTrainingRun(plan, seed, team, Alone)
{
}

CTrainingRun::CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team,
                           CRankGroup& group)
    : Plan(plan),
      Seed(seed),
      Team(team),
      Group(group),
      Trainer(plan, seed, team, CRankGroup::FirstOf(plan.Learners, group.Rank(), group.Size()),
              CRankGroup::FirstOf(plan.Learners, group.Rank() + 1, group.Size())),
      Probes(static_cast<std::size_t>(plan.Learners))
{
    for (CFFNetwork& probe : Probes) {
        CSwimmerTrainer::LayOut(plan, probe);
        ProbeList.push_back(&probe);
    }
    const int block = CheckWords(Probes.front());
    Counts = group.BlockCounts(plan.Learners, block);
    Last.Scores.resize(Probes.size());
    Last.Rates.assign(Probes.size(), {plan.Learning.LearningRate, plan.Learning.Discount});
    // Worse than any check's, so the first finite one is written.
    BestScore.Speed = -std::numeric_limits<double>::infinity();
    BestScore.Spread = std::numeric_limits<double>::infinity();
}

// A stretch ends after whole rounds, at the first round to reach its
// target; a target never lies beyond the next check, so the check always
// falls at the first round that reaches its step, however the stretches
// before it were cut.
bool CTrainingRun::Advance(long long until)
{
    if (IsDone())
        return false;
    const long long before = GetSteps();
    const long long nextCheck = (before / Plan.CheckEvery + 1) * Plan.CheckEvery;
    const long long target = std::min({Plan.Steps, nextCheck, std::max(until, before + 1)});
    const long long perRound = Trainer.StepsPerRound();
    Trainer.Run((target - before + perRound - 1) / perRound);
    const long long after = GetSteps();
    if (after / Plan.CheckEvery == before / Plan.CheckEvery && after < Plan.Steps)
        return false;
    Stopped = !Check(Stop);
    return !Stopped;
}

// Judging what there is asks for no stop: it is what a stop wants.
bool CTrainingRun::CheckIfNone()
{
    if (BestLearner >= 0)
        return false;
    Check(nullptr);
    return true;
}

// Each learner's part of a check: its averaged network's weights, then the
// sum of its TD errors and their count, whether its own weights are all
// finite, and its rates.
bool CTrainingRun::Check(const std::atomic<int>* stop)
{
    const auto started = std::chrono::steady_clock::now();
    const int learners = Plan.Learners;
    const int block = CheckWords(Probes.front());
    const int weights = block - CheckTailWords;
    std::vector<double> words(static_cast<std::size_t>(learners) * block);
    for (int p = Trainer.FirstLearner(); p < Trainer.EndLearner(); ++p) {
        double* own = &words[static_cast<std::size_t>(p) * block];
        CFFNetwork& probe = Probes[static_cast<std::size_t>(p)];
        Trainer.GetRoundedNetwork(p, true, probe);
        std::copy_n(probe.GetWeights(), weights, own);
        long long count = 0;
        Trainer.TakeTdError(p, own[weights], count);
        own[weights + 1] = static_cast<double>(count);
        own[weights + 2] = Trainer.IsFinite(p) ? 1.0 : 0.0;
        const LearnerRates rates = Trainer.GetRates(p);
        own[weights + 3] = rates.LearningRate;
        own[weights + 4] = rates.Discount;
    }
    Group.ShareBlocks(words.data(), Counts.data());

    double errorSum = 0.0;
    long long errorCount = 0;
    std::vector<bool> finite(static_cast<std::size_t>(learners));
    for (int p = 0; p < learners; ++p) {
        const double* part = &words[static_cast<std::size_t>(p) * block];
        std::copy_n(part, weights, Probes[static_cast<std::size_t>(p)].GetWeights());
        errorSum += part[weights];
        errorCount += static_cast<long long>(part[weights + 1]);
        finite[static_cast<std::size_t>(p)] = part[weights + 2] != 0.0;
        Last.Rates[static_cast<std::size_t>(p)] = {part[weights + 3], part[weights + 4]};
    }
    if (!ScoreGreedySwimmers(ProbeList.data(), learners, Plan.Segments, Team, Group,
                             Last.Scores.data(), Plan.SteerWithin, stop))
        return false;
    Last.Steps = GetSteps();
    Last.MeanTdError =
        errorCount ? errorSum / static_cast<double>(errorCount) / Plan.Learning.StepPeriod : 0.0;
    for (int p = 0; p < learners; ++p) {
        const GreedyScore& score = Last.Scores[static_cast<std::size_t>(p)];
        const CFFNetwork& probe = Probes[static_cast<std::size_t>(p)];
        // A network whose weights went to infinity or NaN still swims (its
        // torques fall to the lower bounds), and may even score.
        if (AllWeightsFinite(probe) && WrittenBefore(score, BestScore, Plan.SteerWithin)) {
            BestScore = score;
            BestStep = Last.Steps;
            BestLearner = p;
            Best.CopyFrom(probe);
        }
    }
    const std::vector<int> from = TakeOvers(Plan, Last.Steps, Last.Scores, finite);
    MoveLineages(Trainer, Group, from);
    const std::vector<LearnerRates> rates = Explore(Plan, Seed, Last.Steps, from, Last.Rates);
    for (int p = Trainer.FirstLearner(); p < Trainer.EndLearner(); ++p)
        Trainer.SetRates(p, rates[static_cast<std::size_t>(p)]);
    // The run diverged if a learner's weights are not all finite after the
    // take-overs: a learner that took a lineage has its source's.
    for (int p = 0; p < learners; ++p) {
        const int now = from[static_cast<std::size_t>(p)] >= 0 ? from[static_cast<std::size_t>(p)] : p;
        Diverged = Diverged || !finite[static_cast<std::size_t>(now)];
    }
    CheckSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}

void MoveLineages(CSwimmerTrainer& trainer, CRankGroup& group, const std::vector<int>& from)
{
    const int learners = static_cast<int>(from.size());
    const int me = group.Rank();
    const int size = trainer.LineageWords();
    std::vector<double> lineage(static_cast<std::size_t>(size));
    for (int p = 0; p < learners; ++p) {
        const int q = from[static_cast<std::size_t>(p)];
        if (q < 0)
            continue;
        const int source = group.OwnerOf(q, learners);
        const int taker = group.OwnerOf(p, learners);
        if (source == me) {
            trainer.ExportLineage(q, lineage.data());
            if (taker != me)
                group.Send(taker, lineage.data(), size);
        }
        if (taker == me) {
            if (source != me)
                group.Receive(source, lineage.data(), size);
            trainer.ImportLineage(p, lineage.data());
        }
    }
}

// The run's own words: the plan's, rounds, diverged, the best learner and
// step, the best score's five numbers, the best network's weights.
int CTrainingRun::RunWords() const
{
    return PlanWords + 9 + Probes.front().GetNeuronCount() * Probes.front().GetNeuronCount();
}

std::vector<double> CTrainingRun::SaveState()
{
    const int learners = Plan.Learners;
    const std::size_t each = static_cast<std::size_t>(Trainer.LearnerWords());
    const int me = Group.Rank();
    std::vector<double> learner(each);
    std::vector<double> words;
    if (me == 0) {
        const std::array<double, PlanWords> plan = WordsOf(Plan);
        words.assign(plan.begin(), plan.end());
        words.insert(words.end(),
                     {static_cast<double>(Trainer.GetRounds()), Diverged ? 1.0 : 0.0,
                      static_cast<double>(BestLearner), static_cast<double>(BestStep),
                      BestScore.Speed, BestScore.NativeDirection, BestScore.Spread,
                      BestScore.Slowest, BestScore.Score});
        const std::size_t weights = words.size();
        words.resize(static_cast<std::size_t>(RunWords()));
        if (BestLearner >= 0)
            std::copy(Best.GetWeights(), Best.GetWeights() + (words.size() - weights),
                      words.begin() + static_cast<std::ptrdiff_t>(weights));
    }
    for (int p = 0; p < learners; ++p) {
        const int owner = Group.OwnerOf(p, learners);
        if (owner == me)
            Trainer.SaveLearner(p, learner.data());
        if (owner == me && me != 0)
            Group.Send(0, learner.data(), static_cast<int>(each));
        if (owner != me && me == 0)
            Group.Receive(owner, learner.data(), static_cast<int>(each));
        if (me == 0)
            words.insert(words.end(), learner.begin(), learner.end());
    }
    return words;
}

bool CTrainingRun::LoadState(const std::vector<double>& words)
{
    const std::size_t each = static_cast<std::size_t>(Trainer.LearnerWords());
    const std::size_t own = static_cast<std::size_t>(RunWords());
    const std::array<double, PlanWords> plan = WordsOf(Plan);
    bool fits = words.size() == own + each * static_cast<std::size_t>(Plan.Learners) &&
                std::equal(plan.begin(), plan.end(), words.begin());
    const double* run = fits ? words.data() + PlanWords : nullptr;
    fits = fits && IsWholeWord(run[0], static_cast<double>(Plan.Steps / Trainer.StepsPerRound())) &&
           (run[1] == 0 || run[1] == 1) && IsWholeWord(run[2] + 1, Plan.Learners) &&
           IsWholeWord(run[3], static_cast<double>(Plan.Steps));
    if (fits) {
        Trainer.SetRounds(static_cast<long long>(run[0]));
        Diverged = run[1] != 0;
        BestLearner = static_cast<int>(run[2]);
        BestStep = static_cast<long long>(run[3]);
        BestScore = {run[4], run[5], run[6], run[7], run[8]};
        if (BestLearner >= 0) {
            Best.CopyFrom(Probes.front());
            std::copy(run + 9, words.data() + own, Best.GetWeights());
        }
        for (int p = Trainer.FirstLearner(); p < Trainer.EndLearner() && fits; ++p)
            fits = Trainer.LoadLearner(p, &words[own + each * static_cast<std::size_t>(p)]);
    }
    // Every rank reads the same words, but checks only its own learners'.
    return !Group.AnyRank(!fits);
}
