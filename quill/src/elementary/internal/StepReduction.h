#pragma once
// x = k pi/256 + t with |t| <= pi/512 (about), t to 106 bits whatever the
// size of x: what sin and cos of x take from a table of 512 points.

#include "DoubleDouble.h"

namespace Elementary::Internal {

struct ReducedAngle
{
    DoubleDouble T;
    int Step;  // k mod 512, in 0..511
};

#include "PiTable.inc"

// The exact reduction, for any finite x: what ReduceByStep falls back on.
ReducedAngle ReduceExactly(double x);

// Below 2^13 the remainder comes from three pieces of pi/256 (Cody and
// Waite): k Step1 and k Step2 are exact (|k| < 2^20), x - k Step1 too
// (Sterbenz), and pi/256 - Step1 - Step2 - Step3 < 2^-124, so t carries an
// absolute error below 2^-103, small enough relative to t wherever |t| >
// 2^-33. Closer to a multiple of pi/256, and for larger x, the exact
// reduction decides. The
// high part comes first, on the shortest chain; the low part may exceed
// half its ulp by k Step3 (below 2^-56). Inline: sin and cos of the
// swimmer's angles take this route at every step.
inline ReducedAngle ReduceByStep(double x)
{
    if (x < 0x1p13 && x > -0x1p13) {
        constexpr double Shifter = 6755399441055744.0;  // 1.5 2^52: adding it rounds to an integer
        const double kd = (x * InvStep + Shifter) - Shifter;
        const DoubleDouble t = TwoSum(x - kd * Step1, -(kd * Step2));
        if (t.Hi > 0x1p-33 || t.Hi < -0x1p-33)
            return {{t.Hi, t.Lo - kd * Step3}, static_cast<int>(kd) & 511};
    }
    return ReduceExactly(x);
}

}  // namespace Elementary::Internal
