// The error of each elementary function, measured against MPFR's correctly
// rounded values at 128 bits over ten million arguments (set
// SWIMMER_ACCURACY_ARGUMENTS for another count) drawn across the function's
// range, its special regions and random bit patterns, shared out over the
// machine's cores. Each prints its maximum error in ulps and the share of
// results that are the correctly rounded ones.
#include "Elementary.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// The contract: within one ulp of the exact value. And the aim it reaches,
// held against regressions: nearly every result correctly rounded.
constexpr double MaxUlps = 1.0;
constexpr double MinCorrectlyRounded = 0.9999;

long long ArgumentCount()
{
    const char* text = std::getenv("SWIMMER_ACCURACY_ARGUMENTS");
    return text != nullptr ? std::atoll(text) : 10000000;
}

using Engine = std::mt19937_64;

double Uniform(Engine& engine, double from, double to)
{
    return from + (to - from) * (static_cast<double>(engine() >> 11) * 0x1p-53);
}

// |x| spread evenly over the binades from 2^from to 2^to, either sign.
double LogUniform(Engine& engine, int from, int to)
{
    const double x = std::ldexp(Uniform(engine, 1.0, 2.0), static_cast<int>(Uniform(engine, from, to)));
    return (engine() & 1) != 0 ? -x : x;
}

// Any finite double, each bit pattern alike.
double AnyFinite(Engine& engine)
{
    for (;;) {
        const double x = std::bit_cast<double>(engine());
        if (std::isfinite(x))
            return x;
    }
}

// A few ulps from x.
double Near(Engine& engine, double x)
{
    const auto steps = static_cast<std::int64_t>(engine() % 17) - 8;
    return std::bit_cast<double>(std::bit_cast<std::int64_t>(x) + steps);
}

struct Function
{
    const char* Name;
    bool TwoArguments;
    double (*Own)(double, double);
    int (*Reference)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
    // Argument i of the measurement: the kinds take turns.
    void (*Draw)(Engine&, long long i, double& x, double& y);
};

int ExpReference(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_exp(r, x, rnd); }
int TanhReference(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_tanh(r, x, rnd); }
int SinReference(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_sin(r, x, rnd); }
int CosReference(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_cos(r, x, rnd); }
int AtanReference(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_atan(r, x, rnd); }

// The swimmer's angles, every binade up to the largest double, and doubles
// next to multiples of pi/2, where the reduced argument cancels most.
void DrawAngle(Engine& e, long long i, double& x, double&)
{
    switch (i % 4) {
    case 0: x = Uniform(e, -10, 10); break;
    case 1: x = LogUniform(e, -30, 1024); break;
    case 2: x = Near(e, std::floor(Uniform(e, -1e6, 1e6)) * (std::numbers::pi / 2)); break;
    default: x = AnyFinite(e);
    }
}

const Function Functions[] = {
    {"exp", false, [](double x, double) { return Elementary::Exp(x); }, ExpReference,
     [](Engine& e, long long i, double& x, double&) {
         switch (i % 4) {
         case 0: x = Uniform(e, -746, 710); break;
         case 1: x = LogUniform(e, -60, 3); break;
         case 2: x = Uniform(e, -745.2, -708); break;  // subnormal results
         default: x = AnyFinite(e);
         }
     }},
    {"tanh", false, [](double x, double) { return Elementary::Tanh(x); }, TanhReference,
     [](Engine& e, long long i, double& x, double&) {
         switch (i % 4) {
         case 0: x = Uniform(e, -20, 20); break;
         case 1: x = LogUniform(e, -30, 5); break;
         case 2: x = Near(e, std::ldexp(1 + std::floor(Uniform(e, 0, 64)) / 64, static_cast<int>(Uniform(e, -5, 5)))); break;
         default: x = AnyFinite(e);
         }
     }},
    {"sin", false, [](double x, double) { return Elementary::Sin(x); }, SinReference, DrawAngle},
    {"cos", false, [](double x, double) { return Elementary::Cos(x); }, CosReference, DrawAngle},
    {"atan", false, [](double x, double) { return Elementary::Atan(x); }, AtanReference,
     [](Engine& e, long long i, double& x, double&) {
         switch (i % 3) {
         case 0: x = Uniform(e, -2, 2); break;
         case 1: x = LogUniform(e, -60, 60); break;
         default: x = AnyFinite(e);
         }
     }},
    {"atan2", true, [](double y, double x) { return Elementary::Atan2(y, x); }, mpfr_atan2,
     [](Engine& e, long long i, double& y, double& x) {
         switch (i % 4) {
         case 0: y = Uniform(e, -1, 1), x = Uniform(e, -1, 1); break;
         case 1: y = LogUniform(e, -1074, 1024), x = LogUniform(e, -1074, 1024); break;
         case 2: y = LogUniform(e, -60, 60), x = y * Uniform(e, -1.01, 1.01); break;  // near the diagonals
         default: y = AnyFinite(e), x = AnyFinite(e);
         }
     }},
    {"hypot", true, [](double x, double y) { return Elementary::Hypot(x, y); }, mpfr_hypot,
     [](Engine& e, long long i, double& x, double& y) {
         switch (i % 4) {
         case 0: x = LogUniform(e, -60, 60), y = LogUniform(e, -60, 60); break;
         case 1: x = LogUniform(e, -1074, 1024), y = LogUniform(e, -1074, 1024); break;
         case 2: x = LogUniform(e, -60, 60), y = x * Uniform(e, 0.5, 2); break;
         default: x = AnyFinite(e), y = AnyFinite(e);
         }
     }},
};

struct Tally
{
    long long Count = 0, CorrectlyRounded = 0;
    double MaxError = 0, WorstX = 0, WorstY = 0;
};

// |own - exact| in units of the last place of the exact value's binade (of
// the least subnormal below the normal range); an infinity or NaN where the
// rounded exact value is one counts as right, and as a huge error otherwise.
double UlpError(double own, mpfr_srcptr exact, double rounded, mpfr_ptr scratch)
{
    if (std::isnan(rounded) || std::isinf(rounded) || std::isnan(own) || std::isinf(own))
        return std::bit_cast<std::uint64_t>(own) == std::bit_cast<std::uint64_t>(rounded) ||
                       (std::isnan(own) && std::isnan(rounded))
                   ? 0.0
                   : std::numeric_limits<double>::infinity();
    if (mpfr_zero_p(exact))
        return own == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    const long exponent = std::max<long>(mpfr_get_exp(exact) - 53, -1074);  // exact in [2^(e-1), 2^e)
    mpfr_set_d(scratch, own, MPFR_RNDN);
    mpfr_sub(scratch, scratch, exact, MPFR_RNDN);
    mpfr_mul_2si(scratch, scratch, -exponent, MPFR_RNDN);
    return std::fabs(mpfr_get_d(scratch, MPFR_RNDN));
}

Tally Measure(const Function& f, long long first, long long last)
{
    Tally tally;
    mpfr_t x, y, exact, scratch;
    mpfr_inits2(128, x, y, exact, (mpfr_ptr)nullptr);
    mpfr_init2(scratch, 256);
    Engine engine(static_cast<std::uint64_t>(first) * 2654435761u + 17);
    for (long long i = first; i < last; ++i) {
        double a = 0, b = 0;
        f.Draw(engine, i, a, b);
        mpfr_set_d(x, a, MPFR_RNDN);
        mpfr_set_d(y, b, MPFR_RNDN);
        f.Reference(exact, x, y, MPFR_RNDN);
        const double rounded = mpfr_get_d(exact, MPFR_RNDN);
        const double own = f.Own(a, b);
        const double error = UlpError(own, exact, rounded, scratch);
        ++tally.Count;
        if (std::bit_cast<std::uint64_t>(own) == std::bit_cast<std::uint64_t>(rounded) ||
            (std::isnan(own) && std::isnan(rounded)))
            ++tally.CorrectlyRounded;
        if (!(error <= tally.MaxError)) {
            tally.MaxError = error;
            tally.WorstX = a;
            tally.WorstY = b;
        }
    }
    mpfr_clears(x, y, exact, scratch, (mpfr_ptr)nullptr);
    mpfr_free_cache();
    return tally;
}

// For the test's name in CTest: the function's, not its bytes.
void PrintTo(const Function& f, std::ostream* out) { *out << f.Name; }

class ElementaryAccuracyTest : public ::testing::TestWithParam<Function>
{
};

TEST_P(ElementaryAccuracyTest, WithinOneUlpAndNearlyAlwaysCorrectlyRounded)
{
    const Function& f = GetParam();
    const long long count = ArgumentCount();
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // Fixed blocks of arguments, whatever the threads: the same arguments
    // on every machine.
    constexpr long long Block = 100000;
    const long long blocks = (count + Block - 1) / Block;
    std::vector<Tally> tallies(static_cast<std::size_t>(blocks));
    std::vector<std::thread> team;
    for (int t = 0; t < threads; ++t)
        team.emplace_back([&, t] {
            for (long long b = t; b < blocks; b += threads)
                tallies[static_cast<std::size_t>(b)] = Measure(f, b * Block, std::min(count, (b + 1) * Block));
        });
    for (std::thread& member : team)
        member.join();

    Tally all;
    for (const Tally& t : tallies) {
        all.Count += t.Count;
        all.CorrectlyRounded += t.CorrectlyRounded;
        if (!(t.MaxError <= all.MaxError)) {
            all.MaxError = t.MaxError;
            all.WorstX = t.WorstX;
            all.WorstY = t.WorstY;
        }
    }
    const double share = static_cast<double>(all.CorrectlyRounded) / static_cast<double>(all.Count);
    if (f.TwoArguments)
        std::printf("%-6s %lld arguments: max error %.6f ulp at (%a, %a); correctly rounded %.5f%%\n", f.Name,
                    all.Count, all.MaxError, all.WorstX, all.WorstY, 100 * share);
    else
        std::printf("%-6s %lld arguments: max error %.6f ulp at %a; correctly rounded %.5f%%\n", f.Name,
                    all.Count, all.MaxError, all.WorstX, 100 * share);
    EXPECT_LT(all.MaxError, MaxUlps) << f.Name << " at " << std::hexfloat << all.WorstX << ", " << all.WorstY;
    EXPECT_GE(share, MinCorrectlyRounded) << f.Name;
}

INSTANTIATE_TEST_SUITE_P(Functions, ElementaryAccuracyTest, ::testing::ValuesIn(Functions),
                         [](const ::testing::TestParamInfo<Function>& info) { return std::string(info.param.Name); });

}  // namespace
