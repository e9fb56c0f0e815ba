#include "Elementary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "DoubleDouble.h"

namespace {

using Elementary::Internal::BitsOf;

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double LeastSubnormal = std::numeric_limits<double>::denorm_min();
constexpr double Pi = std::numbers::pi;

// Same value and, for zeros, the same sign; any NaN matches any NaN.
::testing::AssertionResult SameValue(double expected, double actual)
{
    if (std::isnan(expected) && std::isnan(actual))
        return ::testing::AssertionSuccess();
    if (BitsOf(expected) == BitsOf(actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << std::hexfloat << expected << ", got "
                                         << actual;
}

struct Case
{
    const char* Name;
    double (*Function)(double, double);
    double X, Y, Expected;
};

double Exp(double x, double) { return Elementary::Exp(x); }
double Tanh(double x, double) { return Elementary::Tanh(x); }
double Sin(double x, double) { return Elementary::Sin(x); }
double Cos(double x, double) { return Elementary::Cos(x); }
double Atan(double x, double) { return Elementary::Atan(x); }
double Atan2(double y, double x) { return Elementary::Atan2(y, x); }
double Hypot(double x, double y) { return Elementary::Hypot(x, y); }

// What the IEEE functions return at their special arguments, and a few
// values whose correct rounding is known (from MPFR) at the edges of each
// function's range: where the results underflow, overflow, or need the
// exact argument reduction.
const Case SpecialCases[] = {
    {"exp", Exp, NaN, 0, NaN},
    {"exp", Exp, Inf, 0, Inf},
    {"exp", Exp, -Inf, 0, 0.0},
    {"exp", Exp, 0.0, 0, 1.0},
    {"exp", Exp, -0.0, 0, 1.0},
    {"exp", Exp, LeastSubnormal, 0, 1.0},
    {"exp", Exp, 1.0, 0, 0x1.5bf0a8b145769p+1},
    {"exp", Exp, 709.78271289338397, 0, 0x1.fffffffffff2ap+1023},  // the last finite result
    {"exp", Exp, 709.78271289338409, 0, Inf},
    {"exp", Exp, -708.5, 0, 0x0.e6cf6d08897acp-1022},               // subnormal, rounded once
    {"exp", Exp, -745.13321910194111, 0, LeastSubnormal},          // the last nonzero result
    {"exp", Exp, -745.13321910194122, 0, 0.0},
    {"tanh", Tanh, NaN, 0, NaN},
    {"tanh", Tanh, Inf, 0, 1.0},
    {"tanh", Tanh, -Inf, 0, -1.0},
    {"tanh", Tanh, -0.0, 0, -0.0},
    {"tanh", Tanh, -LeastSubnormal, 0, -LeastSubnormal},
    {"tanh", Tanh, -20.0, 0, -1.0},
    {"sin", Sin, NaN, 0, NaN},
    {"sin", Sin, Inf, 0, NaN},
    {"sin", Sin, -Inf, 0, NaN},
    {"sin", Sin, -0.0, 0, -0.0},
    {"sin", Sin, LeastSubnormal, 0, LeastSubnormal},
    {"sin", Sin, 0x1.921fb54442d18p+1, 0, 0x1.1a62633145c07p-53},   // pi rounded: pi minus it
    {"sin", Sin, 1e22, 0, -0x1.b453ab76bf397p-1},
    {"sin", Sin, 1e300, 0, -0x1.a2c16b010e385p-1},
    {"sin", Sin, 0x1.fffffffffffffp+1023, 0, 0x1.452fc98b34e97p-8},
    {"cos", Cos, NaN, 0, NaN},
    {"cos", Cos, -Inf, 0, NaN},
    {"cos", Cos, -0.0, 0, 1.0},
    {"cos", Cos, 0x1.921fb54442d18p+0, 0, 0x1.1a62633145c07p-54},   // pi/2 rounded
    {"cos", Cos, 1e22, 0, 0x1.0be2cef01c8f4p-1},
    {"cos", Cos, 0x1.fffffffffffffp+1023, 0, -0x1.fffe62ecfab75p-1},
    {"atan", Atan, NaN, 0, NaN},
    {"atan", Atan, -0.0, 0, -0.0},
    {"atan", Atan, Inf, 0, Pi / 2},
    {"atan", Atan, -Inf, 0, -Pi / 2},
    {"atan", Atan, 1e300, 0, Pi / 2},
    {"atan2", Atan2, NaN, 1.0, NaN},
    {"atan2", Atan2, 1.0, NaN, NaN},
    {"atan2", Atan2, 0.0, -0.0, Pi},
    {"atan2", Atan2, -0.0, -0.0, -Pi},
    {"atan2", Atan2, 0.0, 0.0, 0.0},
    {"atan2", Atan2, -0.0, 0.0, -0.0},
    {"atan2", Atan2, -0.0, -1.0, -Pi},
    {"atan2", Atan2, 1.0, -0.0, Pi / 2},
    {"atan2", Atan2, -1.0, 0.0, -Pi / 2},
    {"atan2", Atan2, Inf, -Inf, 3 * Pi / 4},
    {"atan2", Atan2, -Inf, Inf, -Pi / 4},
    {"atan2", Atan2, -1.0, -Inf, -Pi},
    {"atan2", Atan2, 1.0, Inf, 0.0},
    {"atan2", Atan2, -Inf, 1.0, -Pi / 2},
    {"atan2", Atan2, 1.0, -1e300, Pi},                       // within 2^-1000 of pi
    {"atan2", Atan2, 3 * LeastSubnormal, 4 * LeastSubnormal, 0x1.4978fa3269ee1p-1},  // atan(3/4)
    {"hypot", Hypot, Inf, NaN, Inf},
    {"hypot", Hypot, NaN, -Inf, Inf},
    {"hypot", Hypot, NaN, 1.0, NaN},
    {"hypot", Hypot, -0.0, 0.0, 0.0},
    {"hypot", Hypot, -3.0, 4.0, 5.0},
    {"hypot", Hypot, 1e308, -1e308, 0x1.92c80954c51f5p+1023},  // sqrt(2) 1e308, no overflow on the way
    {"hypot", Hypot, 3 * LeastSubnormal, 4 * LeastSubnormal, 5 * LeastSubnormal},
    {"hypot", Hypot, std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), Inf},
};

TEST(ElementaryTest, SpecialArgumentsGiveWhatTheIeeeFunctionsGive)
{
    for (const Case& c : SpecialCases)
        EXPECT_TRUE(SameValue(c.Expected, c.Function(c.X, c.Y)))
            << c.Name << "(" << std::hexfloat << c.X << ", " << c.Y << ")";
}

// Arguments that meet every route of the reductions and tables: a sweep
// with many points per binade, table boundaries and their neighbours, and
// multiples of pi/2 rounded (where the remainder cancels most).
std::vector<double> Sweep(double from, double to, int count)
{
    std::vector<double> points;
    const double ratio = std::pow(to / from, 1.0 / count);
    for (double x = from; x < to; x *= ratio)
        points.push_back(x);
    return points;
}

std::vector<double> Neighbours(double x)
{
    return {std::nextafter(x, 0.0), x, std::nextafter(x, Inf)};
}

// sin is odd, cos even, exactly: the reduction and the table keep the
// symmetry bit for bit. And the shared reduction changes nothing: SinCos is
// exactly Sin and Cos.
TEST(ElementaryTest, SinCosIsSinAndCosAndTheSymmetriesAreExact)
{
    std::vector<double> points = Sweep(0x1p-30, 0x1p+1000, 20000);
    for (int k = 1; k < 2000; ++k)
        for (double x : Neighbours(k * (Pi / 2)))
            points.push_back(x);
    for (double x : points) {
        const Elementary::SinAndCos both = Elementary::SinCos(x);
        ASSERT_TRUE(SameValue(Elementary::Sin(x), both.Sin)) << std::hexfloat << x;
        ASSERT_TRUE(SameValue(Elementary::Cos(x), both.Cos)) << std::hexfloat << x;
        ASSERT_TRUE(SameValue(-both.Sin, Elementary::Sin(-x))) << std::hexfloat << x;
        ASSERT_TRUE(SameValue(both.Cos, Elementary::Cos(-x))) << std::hexfloat << x;
        ASSERT_TRUE(SameValue(-Elementary::Tanh(x), Elementary::Tanh(-x))) << std::hexfloat << x;
        ASSERT_TRUE(SameValue(-Elementary::Atan(x), Elementary::Atan(-x))) << std::hexfloat << x;
        const double pythagoras = both.Sin * both.Sin + both.Cos * both.Cos;
        ASSERT_NEAR(pythagoras, 1.0, 4e-16) << std::hexfloat << x;
    }
}

// Correctly rounded functions are monotonic, and a fault at the seams of a
// table or a route (a wrong entry, an off-by-one index, a threshold on the
// wrong side) shows as a step the wrong way between neighbours.
TEST(ElementaryTest, MonotonicAcrossEverySeam)
{
    std::vector<double> points = Sweep(0x1p-40, 30.0, 200000);
    for (int e = -30; e <= 5; ++e)  // tanh's binades and their 64ths
        for (int part = 0; part < 64; ++part)
            for (double x : Neighbours(std::ldexp(1.0 + part / 64.0, e)))
                points.push_back(x);
    for (int k = -128 * 40; k <= 128 * 40; ++k)  // exp's steps of ln2/128
        for (double x : Neighbours(k * (std::numbers::ln2 / 128)))
            points.push_back(x);
    std::sort(points.begin(), points.end());
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double a = points[i - 1], b = points[i];
        ASSERT_LE(Elementary::Tanh(a), Elementary::Tanh(b)) << std::hexfloat << a << " " << b;
        ASSERT_LE(Elementary::Exp(a), Elementary::Exp(b)) << std::hexfloat << a << " " << b;
        ASSERT_LE(Elementary::Atan(a), Elementary::Atan(b)) << std::hexfloat << a << " " << b;
        if (a >= 0 && b < Pi / 2) {
            ASSERT_LE(Elementary::Hypot(a, 1.0), Elementary::Hypot(b, 1.0)) << std::hexfloat << a << " " << b;
            ASSERT_LE(Elementary::Sin(a), Elementary::Sin(b)) << std::hexfloat << a << " " << b;
            ASSERT_GE(Elementary::Cos(a), Elementary::Cos(b)) << std::hexfloat << a << " " << b;
        }
    }
}

// The bits of each function over a fixed set of arguments, folded into one
// 64-bit FNV-1a hash: every build must give the values this build gives.
// The arguments come from an integer generator, exact everywhere; the
// golden hashes are those of the native build, whose results the accuracy
// test compares with correctly rounded ones.
std::uint64_t HashOf(double (*function)(double, double), double scale, bool twoArguments)
{
    std::uint64_t state = 12345, hash = 14695981039346656037ull;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) * 0x1p-53 * 2 - 1;  // in [-1, 1)
    };
    for (int i = 0; i < 20000; ++i) {
        const double x = next() * scale;
        const double y = twoArguments ? next() * scale : 0.0;
        std::uint64_t bits = BitsOf(function(x, y));
        for (int b = 0; b < 8; ++b, bits >>= 8)
            hash = (hash ^ (bits & 0xff)) * 1099511628211ull;
    }
    return hash;
}

TEST(ElementaryTest, TheSameBitsInEveryBuild)
{
    struct Golden
    {
        const char* Name;
        double (*Function)(double, double);
        double Scale;
        bool TwoArguments;
        std::uint64_t Hash;
    };
    const Golden golden[] = {
        {"exp", Exp, 40.0, false, 0x41e5b46ede4f5668ull},
        {"tanh", Tanh, 8.0, false, 0x6b1fb76257f567d4ull},
        {"sin", Sin, 50.0, false, 0x98c048a4d149b204ull},
        {"cos", Cos, 50.0, false, 0x0933a6f8a9813cf5ull},
        {"atan", Atan, 10.0, false, 0xed49bdc61ed4a2d0ull},
        {"atan2", Atan2, 10.0, true, 0x7ae210ef31b6f7d9ull},
        {"hypot", Hypot, 10.0, true, 0xc79e5c924fc1ea11ull},
    };
    for (const Golden& g : golden)
        EXPECT_EQ(HashOf(g.Function, g.Scale, g.TwoArguments), g.Hash) << g.Name;
}

}  // namespace
