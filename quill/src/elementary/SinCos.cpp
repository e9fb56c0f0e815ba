#include "Elementary.h"

#include "StepReduction.h"

namespace Elementary {

namespace Internal {
#include "SinCosTable.inc"
}  // namespace Internal

using namespace Internal;

namespace {

// x = k pi/256 + t, |t| <= pi/512, t = T + TLo. With S = sin(k pi/256) and
// C = cos(k pi/256) from the table,
//   sin x = S + C t + S (cos t - 1) + C (sin t - t),
//   cos x = C - S t + C (cos t - 1) - S (sin t - t).
// The products C T and S T are carried to 2^-104 (two-product, the table's
// halves ready), and their sum with S or C exactly: the table's entry is 0
// or at least sin(pi/256) > pi/512 >= |t|. The low parts enter to first order,
// and the rest, of order t²/2 < 2^-15 of the result, is summed in doubles.
// Taylor series suffice for the small functions of t: the first terms left
// out, t^8/8! and t^9/9!, are below 2^-74 and 2^-84.
struct Expansion
{
    const SplitDoubleDouble& Sin;  // of k pi/256
    const SplitDoubleDouble& Cos;
    double T, TLo;
    DoubleDouble Halves;  // of T
    double CosTMinus1, SinTMinusT;
};

// Inline throughout: passed through memory, the expansion costs more than
// its arithmetic.
[[gnu::always_inline]] inline Expansion Expand(double x)
{
    const ReducedAngle reduced = ReduceByStep(x);
    const double t = reduced.T.Hi;
    const double t2 = t * t;
    return {SinTable[reduced.Step],
            SinTable[(reduced.Step + 128) & 511],
            t,
            reduced.T.Lo,
            Split(t),
            t2 * (-0.5 + t2 * (1.0 / 24 + t2 * (-1.0 / 720))),
            t * t2 * (-1.0 / 6 + t2 * (1.0 / 120 + t2 * (-1.0 / 5040)))};
}

[[gnu::always_inline]] inline double SinOf(const Expansion& e)
{
    const DoubleDouble lead = TwoProduct(e.Cos.Hi, {e.Cos.Hi1, e.Cos.Hi2}, e.T, e.Halves);
    const DoubleDouble sum = FastTwoSum(e.Sin.Hi, lead.Hi);
    const double rest = ((lead.Lo + e.Sin.Lo) + (e.Cos.Lo * e.T + e.Cos.Hi * e.TLo)) +
                        ((e.Sin.Hi * e.CosTMinus1 + e.Cos.Hi * e.SinTMinusT) - e.Sin.Hi * (e.T * e.TLo));
    return sum.Hi + (sum.Lo + rest);
}

[[gnu::always_inline]] inline double CosOf(const Expansion& e)
{
    const DoubleDouble lead = TwoProduct(e.Sin.Hi, {e.Sin.Hi1, e.Sin.Hi2}, e.T, e.Halves);
    const DoubleDouble sum = FastTwoSum(e.Cos.Hi, -lead.Hi);
    const double rest = ((e.Cos.Lo - lead.Lo) - (e.Sin.Lo * e.T + e.Sin.Hi * e.TLo)) +
                        ((e.Cos.Hi * e.CosTMinus1 - e.Sin.Hi * e.SinTMinusT) - e.Cos.Hi * (e.T * e.TLo));
    return sum.Hi + (sum.Lo + rest);
}

// sin x rounds to x below 2^-26 (keeping ±0), cos x to 1 below 2^-27.
constexpr double SinIsX = 0x1p-26, CosIsOne = 0x1p-27;

}  // namespace

double Sin(double x)
{
    if (x < SinIsX && x > -SinIsX)
        return x;
    if (x - x != 0)  // ±inf and NaN
        return x - x;
    return SinOf(Expand(x));
}

double Cos(double x)
{
    if (x < CosIsOne && x > -CosIsOne)
        return 1.0;
    if (x - x != 0)
        return x - x;
    return CosOf(Expand(x));
}

SinAndCos SinCos(double x)
{
    if (x < SinIsX && x > -SinIsX)
        return {x, Cos(x)};
    if (x - x != 0)
        return {x - x, x - x};
    const Expansion e = Expand(x);
    return {SinOf(e), CosOf(e)};
}

}  // namespace Elementary
