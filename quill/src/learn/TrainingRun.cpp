#include "TrainingRun.h"

#include <algorithm>
#include <limits>

namespace {

bool Better(const GreedyScore& a, const GreedyScore& b)
{
    if (a.Score != b.Score)
        return a.Score > b.Score;
    return a.Speed > b.Speed;
}

int Leader(const std::vector<GreedyScore>& scores)
{
    int leader = 0;
    for (int p = 0; p < static_cast<int>(scores.size()); ++p)
        if (scores[static_cast<std::size_t>(p)].Score > scores[static_cast<std::size_t>(leader)].Score)
            leader = p;
    return leader;
}

}  // namespace

std::vector<int> TakeOvers(const TrainingPlan& plan, long long steps,
                           const std::vector<GreedyScore>& scores)
{
    std::vector<int> from(scores.size(), -1);
    if (plan.TakeOverBelow > 0 && steps >= plan.TakeOverFrom * plan.Steps) {
        const int leader = Leader(scores);
        const double bar = plan.TakeOverBelow * scores[static_cast<std::size_t>(leader)].Score;
        for (std::size_t p = 0; p < scores.size(); ++p)
            if (scores[p].Score < bar)
                from[p] = leader;
    }
    return from;
}

CTrainingRun::CTrainingRun(const TrainingPlan& plan, std::uint32_t seed, CWorkerTeam& team)
    : Plan(plan),
      Team(team),
      Trainer(plan, seed, team),
      Probes(static_cast<std::size_t>(plan.Learners))
{
    for (const CFFNetwork& probe : Probes)
        ProbeList.push_back(&probe);
    Last.Scores.resize(Probes.size());
    BestScore.Speed = -std::numeric_limits<double>::infinity();
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
    Check();
    Diverged = !Trainer.IsFinite();
    return true;
}

bool CTrainingRun::CheckIfNone()
{
    if (BestLearner >= 0)
        return false;
    Check();
    return true;
}

void CTrainingRun::Check()
{
    const int learners = Plan.Learners;
    for (int p = 0; p < learners; ++p)
        Trainer.GetRoundedNetwork(p, true, Probes[static_cast<std::size_t>(p)]);
    ScoreGreedySwimmers(ProbeList.data(), learners, Plan.Segments, Team, Last.Scores.data());
    Last.Steps = GetSteps();
    Last.MeanTdError = Trainer.TakeMeanTdError();
    for (int p = 0; p < learners; ++p) {
        const GreedyScore& score = Last.Scores[static_cast<std::size_t>(p)];
        const CFFNetwork& probe = Probes[static_cast<std::size_t>(p)];
        // A network whose weights went to infinity or NaN still swims (its
        // torques fall to the lower bounds), and may even score.
        if (AllWeightsFinite(probe) && Better(score, BestScore)) {
            BestScore = score;
            BestStep = Last.Steps;
            BestLearner = p;
            Best.CopyFrom(probe);
        }
    }
    const std::vector<int> from = TakeOvers(Plan, Last.Steps, Last.Scores);
    for (int p = 0; p < learners; ++p)
        if (from[static_cast<std::size_t>(p)] >= 0)
            Trainer.TakeOver(from[static_cast<std::size_t>(p)], p);
}
