// Benchmarks of the control loop with the embedded network: one sub-step
// (wrap, rotate, evaluate, choose, derive, step, carry) and one tick.
#include <benchmark/benchmark.h>

#include "HeadlessRun.h"
#include "SwimmerNetwork.h"
#include "nn/FFNetwork.h"

namespace {

const CFFNetwork& Embedded()
{
    static CFFNetwork network;
    if (network.GetNeuronCount() == 0)
        network.Load(SwimmerNetworkNeurons, SwimmerNetworkKinds, SwimmerNetworkWeights);
    return network;
}

// Starts from a swimming state, 10 s into the run, with a target away from
// the native direction so that every sub-step builds two systems.
void SwimFor10Seconds(CHeadlessSwimmer& swimmer)
{
    swimmer.PressAt(1000, 100);
    for (int tick = 0; tick < 1000; ++tick)
        swimmer.Tick();
}

void BM_SubStep(benchmark::State& state)
{
    CHeadlessSwimmer swimmer(Embedded(), 1400, 700);
    SwimFor10Seconds(swimmer);
    for (auto _ : state)
        swimmer.SubStep(0.0025);
    benchmark::DoNotOptimize(swimmer.GetState()[0]);
}
BENCHMARK(BM_SubStep);

void BM_Tick(benchmark::State& state)
{
    CHeadlessSwimmer swimmer(Embedded(), 1400, 700);
    SwimFor10Seconds(swimmer);
    for (auto _ : state)
        swimmer.Tick();
    benchmark::DoNotOptimize(swimmer.GetState()[0]);
}
BENCHMARK(BM_Tick);

}  // namespace
