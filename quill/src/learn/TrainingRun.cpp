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

}  // namespace

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
    int leader = 0;
    for (int p = 0; p < learners; ++p) {
        const GreedyScore& score = Last.Scores[static_cast<std::size_t>(p)];
        if (Better(score, BestScore)) {
            BestScore = score;
            BestStep = Last.Steps;
            BestLearner = p;
            Best.CopyFrom(Probes[static_cast<std::size_t>(p)]);
        }
        if (score.Score > Last.Scores[static_cast<std::size_t>(leader)].Score)
            leader = p;
    }
    // From TakeOverFrom of the budget on, a learner far behind the leader
    // of this check spends the rest of the run on the leader's lineage.
    if (Plan.TakeOverBelow > 0 && Last.Steps >= Plan.TakeOverFrom * Plan.Steps)
        for (int p = 0; p < learners; ++p)
            if (Last.Scores[static_cast<std::size_t>(p)].Score <
                Plan.TakeOverBelow * Last.Scores[static_cast<std::size_t>(leader)].Score)
                Trainer.TakeOver(leader, p);
}
