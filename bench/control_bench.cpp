// Benchmarks of the control loop with the embedded network: one sub-step
// (wrap, rotate, evaluate, choose, derive, step, carry) and one tick.
#include <benchmark/benchmark.h>

#include "Demonstration.h"
#include "FFNetwork.h"
#include "HeadlessRun.h"
#include "SwimmerNetwork.h"

namespace {

const ClientSize Client = {Demonstration::DefaultWidth, Demonstration::DefaultHeight};

// The embedded swimmer 10 s into its run, with a target away from the
// native direction so that every sub-step builds two systems.
const CFFNetwork& Loaded(CFFNetwork& network)
{
    LoadSwimmerNetwork(network);
    return network;
}

struct SwimmingLoop
{
    SwimmingLoop() : Loop(MakeDemonstrationLoop(Loaded(Network)))
    {
        Loop.Start(Client);
        Loop.PressAt(1000, 100, Client);
        for (int tick = 0; tick < 1000; ++tick)
            Loop.Tick(Client);
    }
    CFFNetwork Network;
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
