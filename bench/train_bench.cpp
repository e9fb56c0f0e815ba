// Benchmark of one learning step of swimmer-train (trajectory step with two
// evaluations, update along the trace, new trace, a share of the weight
// averaging), to set beside BM_SubStep of the control loop.
#include <benchmark/benchmark.h>

#include "SwimmerTrainer.h"

namespace {

void BM_LearningStep(benchmark::State& state)
{
    CSwimmerTrainer trainer(3, 1);
    for (int step = 0; step < 100000; ++step)  // past the random start
        trainer.Step();
    for (auto _ : state)
        trainer.Step();
    benchmark::DoNotOptimize(trainer.GetSteps());
}
BENCHMARK(BM_LearningStep);

}  // namespace
