// Benchmarks of the embedded value-function network.
#include <benchmark/benchmark.h>

#include <vector>

#include "EmbeddedSwimmer.h"
#include "Swimmer.h"
#include "FFNetwork.h"
#include "FFNetworkVF.h"

namespace {

// The start state of the program, as the controller sees it: every segment
// at 1.5707963265 + 0.22, at rest.
const double RotatedStart[] = {0, 0, 1.7907963265, 0, 1.7907963265, 0, 1.7907963265, 0};

struct Embedded
{
    Embedded() : Value(Swimmer)
    {
        LoadEmbeddedNetwork(Network);
        Value.SetNetwork(Network);
        Value.ScaleState(RotatedStart, X.data());
        X[8] = 1.0;
    }
    CFFNetwork Network;
    CSwimmer Swimmer{3};
    CFFNetworkVF Value;
    std::vector<double> X = std::vector<double>(30, 0.0), Y = X, D1 = X, D2 = X, T = X, S = X;
};

void BM_Forward(benchmark::State& state)
{
    Embedded e;
    for (auto _ : state) {
        e.Network.Forward(e.X.data(), e.Y.data(), e.D1.data(), e.D2.data());
        benchmark::DoNotOptimize(e.Y.data());
    }
}
BENCHMARK(BM_Forward);

void BM_InputDerivative(benchmark::State& state)
{
    Embedded e;
    e.Network.Forward(e.X.data(), e.Y.data(), e.D1.data(), e.D2.data());
    for (auto _ : state) {
        e.Network.InputDerivative(3, e.D1.data(), e.T.data(), e.S.data());
        benchmark::DoNotOptimize(e.T.data());
    }
}
BENCHMARK(BM_InputDerivative);

// What one sub-step asks of the value function: a value and the five
// partial derivatives the greedy torque choice reads.
void BM_EvaluateAndGradient(benchmark::State& state)
{
    Embedded e;
    for (auto _ : state) {
        e.Value.SetInput(RotatedStart);
        benchmark::DoNotOptimize(e.Value.Evaluate());
        for (int i : {0, 1, 7, 5, 3})
            benchmark::DoNotOptimize(e.Value.GetStateDerivative(i));
    }
}
BENCHMARK(BM_EvaluateAndGradient);

}  // namespace
