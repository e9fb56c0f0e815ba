// Benchmarks of the control loop with the embedded network: one sub-step
// (wrap, rotate, evaluate, choose, derive, step, carry) and one tick.
#include <benchmark/benchmark.h>

#include "EmbeddedSwimmer.h"
#include "SwimmerControlLoop.h"
#include "SwimmerNetwork.h"
#include "SwimmerView.h"

namespace {

const ClientSize Client = SwimmerView::DefaultClient;

// The embedded swimmer 10 s into its run, with a target away from the
// native direction so that every sub-step builds two systems.
const SwimmerNetwork& Loaded(SwimmerNetwork& swimmer)
{
    LoadEmbeddedSwimmer(swimmer);
    return swimmer;
}

struct SwimmingLoop
{
    SwimmingLoop() : Loop(MakeOnView<CSwimmerControlLoop>(Loaded(Swimmer)))
    {
        Loop.Start(Client);
        Loop.PressAt(1000, 100, Client);
        for (int tick = 0; tick < 1000; ++tick)
            Loop.Tick(Client);
    }
    SwimmerNetwork Swimmer;
    CSwimmerControlLoop Loop;
};

void BM_SubStep(benchmark::State& state)
{
    SwimmingLoop swimming;
    for (auto _ : state)
        swimming.Loop.SubStep(CSwimmerControlLoop::SubStepPeriod, Client);
    benchmark::DoNotOptimize(swimming.Loop.GetState()[0]);
}
BENCHMARK(BM_SubStep);

void BM_Tick(benchmark::State& state)
{
    SwimmingLoop swimming;
    for (auto _ : state)
        swimming.Loop.Tick(Client);
    benchmark::DoNotOptimize(swimming.Loop.GetState()[0]);
}
BENCHMARK(BM_Tick);

}  // namespace
