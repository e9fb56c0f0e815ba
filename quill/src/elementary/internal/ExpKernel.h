#pragma once
// exp(x) to about 2^-68, as a double-double and a power of two, for the
// functions built on it; inline, since tanh's speed is the network's.

#include "DoubleDouble.h"

namespace Elementary::Internal {

#include "ExpTable.inc"

struct ScaledDoubleDouble
{
    DoubleDouble Value;  // normalised, Value.Hi in [0.99, 2.01)
    int Exponent;
};

// exp(x) = (Value.Hi + Value.Lo) 2^Exponent, relative error below 2^-68,
// for |x| < 746.
//
// Reduction: x = (128 m + j) ln2/128 + r with |r| <= ln2/256, so that
//   exp(x) = 2^m 2^(j/128) exp(r),
// 2^(j/128) from the table to 106 bits, and exp(r) = 1 + r + r² Q(r) with
// Q(r) = 1/2 + r/6 + r²/24 + r³/120 + r⁴/720 the Taylor series: what it
// leaves out, below r⁷/5040 < 2^-72 on |r| <= 0.0028, is far below what the
// double-double needs. The leading product 2^(j/128) r is a two-product, the rest
// (of order r²) is summed in doubles.
inline ScaledDoubleDouble ExpKernel(double x)
{
    constexpr double Shifter = 6755399441055744.0;  // 1.5 2^52: adding it rounds to an integer
    const double kd = (x * ExpInvStep + Shifter) - Shifter;
    const int k = static_cast<int>(kd);
    // x - k L1 is exact (Sterbenz), k L2 rounded far below the result's ulp.
    const DoubleDouble r = TwoSum(x - kd * ExpStepHi, -(kd * ExpStepLo));
    // Q by Estrin's scheme: two independent halves, a shorter chain.
    const double r2 = r.Hi * r.Hi;
    const double q = (0.5 + r.Hi * (1.0 / 6)) + r2 * ((1.0 / 24 + r.Hi * (1.0 / 120)) + r2 * (1.0 / 720));
    const double tail = r.Lo + r2 * q;  // exp(r) - 1 - r.Hi, to 2^-70
    const DoubleDouble t = ExpTable[k & 127];
    const DoubleDouble lead = TwoProduct(t.Hi, r.Hi);
    const DoubleDouble sum = FastTwoSum(t.Hi, lead.Hi);
    const double low = sum.Lo + (lead.Lo + (t.Lo + (t.Hi * tail + t.Lo * r.Hi)));
    return {FastTwoSum(sum.Hi, low), k >> 7};
}

}  // namespace Elementary::Internal
