#include "Elementary.h"

#include <cmath>
#include <limits>

#include "DoubleDouble.h"

namespace Elementary {

using namespace Internal;

// sqrt(a² + b²) with a >= b > 0 scaled by a power of two so that a is near
// 1: a² + b² = S + L to 2^-104 (two products, two sums), s = sqrt(S) rounded,
// and the correction (S - s² + L)/(2s), whose numerator is exact to far
// below s's ulp, completes the root; the sum is rounded once, scaled back.
// An infinity wins over a NaN, as in the IEEE function.
double Hypot(double x, double y)
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    double a = std::fabs(x);
    double b = std::fabs(y);
    if (a == Infinity || b == Infinity)
        return Infinity;
    if (a != a || b != b)
        return x + y;
    if (a < b) {
        const double swap = a;
        a = b;
        b = swap;
    }
    if (b == 0)
        return a;
    const double largest = a;
    int exponent = 0;
    if (a < 0x1p-900) {  // subnormals made normal: scaling up is exact
        a *= 0x1p600;
        b *= 0x1p600;
        exponent = -600;
    }
    const int top = ExponentOf(a);
    // Beyond 2^60 apart, a² + b² = a² (1 + 2^-120 at most) and the root rounds to a.
    if (top - ExponentOf(b) > 60)
        return largest;
    a = ScaleByPowerOfTwo(a, -top);
    b = ScaleByPowerOfTwo(b, -top);
    exponent += top;
    const DoubleDouble aa = TwoProduct(a, a);
    const DoubleDouble bb = TwoProduct(b, b);
    const DoubleDouble sum = TwoSum(aa.Hi, bb.Hi);
    const double low = sum.Lo + (aa.Lo + bb.Lo);
    const double s = std::sqrt(sum.Hi);
    const DoubleDouble ss = TwoProduct(s, s);
    const double correction = (((sum.Hi - ss.Hi) - ss.Lo) + low) / (2 * s);
    return ScaleRounded(FastTwoSum(s, correction), exponent);
}

}  // namespace Elementary
