// Benchmarks of the swimmer dynamics.
#include <benchmark/benchmark.h>

#include "Swimmer.h"

namespace {

const double Upright[] = {0.1, -0.2, 1.5, 0.3, 1.6, -0.4, 1.7, 0.5};
const double Torques[] = {5, -5};

// The derivative of a state whose system is already factorized: one solve.
void BM_GetDerivativeCached(benchmark::State& state)
{
    CSwimmer swimmer(3);
    double d[8];
    swimmer.GetDerivative(Upright, Torques, d);
    for (auto _ : state) {
        swimmer.GetDerivative(Upright, Torques, d);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_GetDerivativeCached);

// The derivative of a new state: build, factorize and solve.
void BM_GetDerivativeFresh(benchmark::State& state)
{
    CSwimmer swimmer(3);
    double x[8], d[8];
    for (int i = 0; i < 8; ++i)
        x[i] = Upright[i];
    for (auto _ : state) {
        x[3] = -x[3];  // alternate between two states: every call builds
        swimmer.GetDerivative(x, Torques, d);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_GetDerivativeFresh);

}  // namespace
