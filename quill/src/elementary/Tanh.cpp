#include "Elementary.h"

#include <cmath>

#include "ExpKernel.h"

namespace Elementary {

namespace Internal {
#include "TanhTable.inc"
}  // namespace Internal

using namespace Internal;

namespace {

// tanh a for 2^-27 <= a < 19.1, to about 2^-100 before the one rounding:
// tanh a = 1 - 2/(e + 1) with e = exp(2a), every step in double-doubles.
// The quotient q = 2/(e + 1) is the double q1 plus the correction
// q2 = (2 - q1 (e + 1))/(e + 1), whose numerator a two-product gives. Near a = 0 the
// subtraction 1 - q cancels, but 1 - q1 is then exact and the kernel's
// error is relative to e - 1 (the table's entry is 1 exactly), so the
// result keeps its accuracy down to where tanh a rounds to a. Kept out of
// line: it is rarely needed, and inlined it crowds the quick path.
[[gnu::noinline]] double AccurateTanh(double a)
{
    const ScaledDoubleDouble e = ExpKernel(2 * a);
    const double scale = PowerOfTwo(e.Exponent);
    const DoubleDouble sum = TwoSum(e.Value.Hi * scale, 1.0);
    const DoubleDouble d = FastTwoSum(sum.Hi, sum.Lo + e.Value.Lo * scale);
    const double q1 = 2.0 / d.Hi;
    const DoubleDouble p = TwoProduct(q1, d.Hi);
    // 1/d.Hi is q1/2 to 2^-53, plenty for a correction this small.
    const double q2 = (((2.0 - p.Hi) - p.Lo) - q1 * d.Lo) * (0.5 * q1);
    const DoubleDouble one = TwoSum(1.0, -q1);
    return one.Hi + (one.Lo - q2);
}

// The quick evaluation's result before its rounding, h + l exactly, and a
// bound on how far that may be from tanh a.
struct Estimate
{
    double H, L, Bound;
};

// Below 2^-4, the odd Taylor series: tanh a = a + a³ P(a²), seven terms of
// P, the first left out (6404582 a¹⁷/10854718875) below 2^-74 a. The
// correction a³ P is under a²/3 < 2^-9 of a, so its few roundings barely
// show.
Estimate NearZero(double a)
{
    const double z = a * a;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double p = ((-1.0 / 3 + z * (2.0 / 15)) + z2 * (-17.0 / 315 + z * (62.0 / 2835))) +
                     z4 * ((-1382.0 / 155925 + z * (21844.0 / 6081075)) + z2 * (-929569.0 / 638512875));
    const double c = a * z * p;
    const DoubleDouble h = FastTwoSum(a, c);
    return {h.Hi, h.Lo, std::fabs(c) * 0x1p-51};
}

// From 2^-4 on, the addition theorem around the nearest table point c (the
// middle of one of 64 equal parts of a's binade, so |a - c| <= a/128):
//   tanh(c + t) = T + (1 - T²) tanh t / (1 + T tanh t),   T = tanh c,
// with tanh t = t - t³/3 + 2t⁵/15 - 17t⁷/315 + 62t⁹/2835. The correction is
// at most 2^-7 of the result, so its roundings (a few of its own ulps) are a
// few hundredths of the result's. The series' first term left out is below
// 2^-56 of tanh t up to a = 8; beyond, where |t| reaches 1/8, 1 - T² < 2^-21
// shrinks its effect below 2^-71 absolute.
Estimate FromTable(double a)
{
    const std::uint64_t bits = BitsOf(a);
    constexpr std::uint64_t Part = std::uint64_t{1} << 46;  // a 64th of the binade, in a's bits
    const double c = FromBits((bits & ~(Part - 1)) | (Part >> 1));
    const double t = a - c;  // exact: a and c are within a factor of 2
    const DoubleDouble tc = TanhTable[(bits >> 46) - ((1023 - 4) << 6)];
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double tau = t + t * t2 * ((-1.0 / 3 + t2 * (2.0 / 15)) + t4 * (-17.0 / 315 + t2 * (62.0 / 2835)));
    // 1 - T², 1 - T.Hi exact; T.Lo matters where T.Hi rounds to 1.
    const double slope = (1.0 - tc.Hi) * (1.0 + tc.Hi) - 2.0 * tc.Hi * tc.Lo;
    const double s = slope * tau / (1.0 + tc.Hi * tau);
    const double low = tc.Lo + s;
    const DoubleDouble h = FastTwoSum(tc.Hi, low);
    return {h.Hi, h.Lo, std::fabs(s) * 0x1p-51 + 0x1p-70};
}

}  // namespace

// A quick evaluation first; where its bound leaves no doubt about the
// rounding (h + l ± bound all round to h) its result is the correctly
// rounded one, and that is nearly always. Otherwise the double-double
// evaluation decides. Both paths are fixed sequences of IEEE operations, so
// which one answers is the same in every build too.
double Tanh(double x)
{
    const double a = std::fabs(x);
    // 1 - tanh a < 2 exp(-2a) < 2^-54 beyond 19.1: tanh rounds to ±1 (as at ±inf).
    if (!(a < 19.1))
        return a != a ? x + x : (x < 0 ? -1.0 : 1.0);
    // tanh a = a - a³/3 + ... rounds to a below 2^-27 (and keeps ±0).
    if (a < 0x1p-27)
        return x;
    const Estimate e = a < 0x1p-4 ? NearZero(a) : FromTable(a);
    double t = e.H;
    if (e.H + (e.L + e.Bound) != e.H || e.H + (e.L - e.Bound) != e.H)
        t = AccurateTanh(a);
    return std::copysign(t, x);
}

}  // namespace Elementary
