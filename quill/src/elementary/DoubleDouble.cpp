#include "DoubleDouble.h"

namespace Elementary::Internal {

double ScaleRounded(DoubleDouble v, int e)
{
    const int top = ExponentOf(v.Hi) + e;
    if (top >= -1022)
        return ScaleByPowerOfTwo(v.Hi, e);
    // Below 2^-1076 the value is under half the least subnormal.
    if (top < -1076)
        return 0.0;
    // Counted in units of the least subnormal, 2^-1074, the value is
    // h + l with h in [2^-2, 2^52): round that to an integer n, ties to
    // even, and n 2^-1074 is the answer, exactly representable.
    const int units = e + 1074;
    const double h = ScaleByPowerOfTwo(v.Hi, units);
    const double l = ScaleByPowerOfTwo(v.Lo, units);
    constexpr double Integral = 4503599627370496.0;  // 2^52: RN(h + 2^52) - 2^52 = RN(h) to an integer
    double n = (h + Integral) - Integral;
    const DoubleDouble rest = TwoSum(h - n, l);  // h - n is exact: |h - n| <= 1/2
    const bool odd = (static_cast<std::int64_t>(n) & 1) != 0;
    if (rest.Hi > 0.5 || (rest.Hi == 0.5 && (rest.Lo > 0 || (rest.Lo == 0 && odd))))
        n += 1;
    else if (rest.Hi < -0.5 || (rest.Hi == -0.5 && (rest.Lo < 0 || (rest.Lo == 0 && odd))))
        n -= 1;
    return n * PowerOfTwo(-52) * PowerOfTwo(-1022);
}

}  // namespace Elementary::Internal
