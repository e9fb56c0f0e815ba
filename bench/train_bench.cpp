// Benchmark of one learning step of swimmer-train (trajectory step with two
// evaluations, update along the trace, new trace, a share of the weight
// averaging), to set beside BM_SubStep of the control loop.
#include <benchmark/benchmark.h>

#include "SwimmerTrainer.h"
#include "WorkerTeam.h"

namespace {

// One trajectory on one thread: the cost of a learning step itself.
void BM_LearningStep(benchmark::State& state)
{
    TrainingPlan plan = DefaultPlan(3);
    plan.Learners = 1;
    plan.Trajectories = 1;
    CWorkerTeam team(1);
    CSwimmerTrainer trainer(plan, 1, team);
    trainer.Run(100000);  // past the random start
    for (auto _ : state)
        trainer.Run(1);
    benchmark::DoNotOptimize(trainer.GetSteps());
}
BENCHMARK(BM_LearningStep);

// A thousand rounds of the default plan's learners on a team of the given
// threads: the items are learning steps, so items per second is the pace
// of learning.
void BM_LearningRound(benchmark::State& state)
{
    const TrainingPlan plan = DefaultPlan(static_cast<int>(state.range(0)));
    CWorkerTeam team(static_cast<int>(state.range(1)));
    CSwimmerTrainer trainer(plan, 1, team);
    trainer.Run(20000);
    for (auto _ : state)
        trainer.Run(1000);
    state.SetItemsProcessed(state.iterations() * 1000 * trainer.StepsPerRound());
}
BENCHMARK(BM_LearningRound)->ArgsProduct({{3, 4, 5}, {1, 2}})->UseRealTime();

}  // namespace

namespace {

// A round of the team with nothing to do: what sharing a round out costs.
void BM_TeamRound(benchmark::State& state)
{
    CWorkerTeam team(static_cast<int>(state.range(0)));
    int sink[8] = {};
    auto task = [&](int i) { sink[i] += 1; };
    for (auto _ : state)
        team.Run(2, task);
    benchmark::DoNotOptimize(sink[0]);
}
BENCHMARK(BM_TeamRound)->Arg(1)->Arg(2)->UseRealTime();

}  // namespace
