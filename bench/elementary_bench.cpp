// The project's elementary functions against the C library's, in one
// binary: the time of a call when the calls are independent (throughput,
// over an array of arguments), and when each waits for the one before
// (latency: a neuron's tanh waits for the sums of the neurons before it).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Elementary.h"

namespace {

using Function = double (*)(double);

double OwnExp(double x) { return Elementary::Exp(x); }
double LibraryExp(double x) { return std::exp(x); }
double OwnTanh(double x) { return Elementary::Tanh(x); }
double LibraryTanh(double x) { return std::tanh(x); }
double OwnSin(double x) { return Elementary::Sin(x); }
double LibrarySin(double x) { return std::sin(x); }
double OwnCos(double x) { return Elementary::Cos(x); }
double LibraryCos(double x) { return std::cos(x); }
// Both of one angle, as the swimmer's equations and its network's encoders
// ask for them.
double OwnSinCos(double x)
{
    const Elementary::SinAndCos both = Elementary::SinCos(x);
    return both.Sin + both.Cos;
}
double LibrarySinCos(double x) { return std::sin(x) + std::cos(x); }
double OwnAtan(double x) { return Elementary::Atan(x); }
double LibraryAtan(double x) { return std::atan(x); }
double OwnAtan2(double x) { return Elementary::Atan2(x, 0.75); }
double LibraryAtan2(double x) { return std::atan2(x, 0.75); }
double OwnHypot(double x) { return Elementary::Hypot(x, 0.75); }
double LibraryHypot(double x) { return std::hypot(x, 0.75); }

// Arguments spread over [from, to] by an integer generator.
std::vector<double> Arguments(double from, double to)
{
    std::vector<double> x(4096);
    std::uint64_t state = 1;
    for (double& v : x) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        v = from + (to - from) * static_cast<double>(state >> 11) * 0x1p-53;
    }
    return x;
}

void Throughput(benchmark::State& state, Function f, double from, double to)
{
    const std::vector<double> x = Arguments(from, to);
    for (auto _ : state)
        for (double v : x)
            benchmark::DoNotOptimize(f(v));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(x.size()));
}

// Each argument depends on the result before: from + (to - from) spread by
// the result's last bits, so that the chain wanders over the range.
void Latency(benchmark::State& state, Function f, double from, double to)
{
    double x = from;
    const double width = to - from;
    for (auto _ : state)
        for (int i = 0; i < 4096; ++i) {
            const double y = f(x) * 1e4;
            x = from + width * (y - std::floor(y));
        }
    benchmark::DoNotOptimize(x);
    state.SetItemsProcessed(state.iterations() * 4096);
}

#define SWIMMER_ELEMENTARY_BENCH(name, own, library, from, to)              \
    BENCHMARK_CAPTURE(Throughput, name##_own, own, from, to);               \
    BENCHMARK_CAPTURE(Throughput, name##_library, library, from, to);       \
    BENCHMARK_CAPTURE(Latency, name##_own, own, from, to);                  \
    BENCHMARK_CAPTURE(Latency, name##_library, library, from, to)

// Each over the arguments it meets in the sub-step or the learner.
SWIMMER_ELEMENTARY_BENCH(tanh, OwnTanh, LibraryTanh, -3.0, 3.0);
SWIMMER_ELEMENTARY_BENCH(sincos, OwnSinCos, LibrarySinCos, -5.0, 5.0);
SWIMMER_ELEMENTARY_BENCH(sin, OwnSin, LibrarySin, -5.0, 5.0);
SWIMMER_ELEMENTARY_BENCH(cos, OwnCos, LibraryCos, -5.0, 5.0);
SWIMMER_ELEMENTARY_BENCH(exp, OwnExp, LibraryExp, -5.0, 5.0);
SWIMMER_ELEMENTARY_BENCH(atan, OwnAtan, LibraryAtan, -4.0, 4.0);
SWIMMER_ELEMENTARY_BENCH(atan2, OwnAtan2, LibraryAtan2, -4.0, 4.0);
SWIMMER_ELEMENTARY_BENCH(hypot, OwnHypot, LibraryHypot, -4.0, 4.0);

}  // namespace
