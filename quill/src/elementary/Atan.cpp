#include "Elementary.h"

#include <cmath>
#include <limits>

#include "DoubleDouble.h"

namespace Elementary {

namespace Internal {
#include "AtanTable.inc"
#include "PiTable.inc"
}  // namespace Internal

using namespace Internal;

namespace {

double WithSign(double magnitude, bool negative) { return negative ? -magnitude : magnitude; }

// atan t for a double-double t in [0, 1]: around the nearest table point
// c = j/64,
//   atan t = atan c + atan u,  u = (t - c)/(1 + t c),  |u| <= 1/128,
// t - c exact, 1 + t c and the quotient carried in double-doubles, and
// atan u = u - u³/3 + u⁵/5 - u⁷/7 + u⁹/9 (the first term left out, u¹¹/11,
// is below 2^-80).
DoubleDouble AtanKernel(DoubleDouble t)
{
    constexpr double Shifter = 6755399441055744.0;  // 1.5 2^52: adding it rounds to an integer
    const double jd = (t.Hi * 64 + Shifter) - Shifter;
    const double c = jd * (1.0 / 64);
    DoubleDouble u = t;
    if (jd != 0) {
        const DoubleDouble n = TwoSum(t.Hi - c, t.Lo);
        const DoubleDouble tc = TwoProduct(t.Hi, c);
        const DoubleDouble d = FastTwoSum(1.0, tc.Hi);
        const double dLo = d.Lo + (tc.Lo + t.Lo * c);
        const double u1 = n.Hi / d.Hi;
        const DoubleDouble p = TwoProduct(u1, d.Hi);
        u = {u1, ((((n.Hi - p.Hi) - p.Lo) + n.Lo) - u1 * dLo) / d.Hi};
    }
    const double u2 = u.Hi * u.Hi;
    const double series = u.Hi * u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7 + u2 * (1.0 / 9))));
    const DoubleDouble a = AtanTable[static_cast<int>(jd)];
    const DoubleDouble sum = TwoSum(a.Hi, u.Hi);
    return FastTwoSum(sum.Hi, sum.Lo + (a.Lo + u.Lo + series));
}

DoubleDouble Minus(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble s = TwoSum(a.Hi, -b.Hi);
    return FastTwoSum(s.Hi, s.Lo + (a.Lo - b.Lo));
}

}  // namespace

// The angle of (x, y) from that of (|x|, |y|) in the first octant, where
// t = min/max <= 1:
//   atan2 = a, pi/2 - a (|y| > |x|), then pi - that (x < 0), with y's sign,
// each step in double-doubles and rounded once at the end. The special
// values follow the IEEE functions': atan2(±0, -0) = ±pi, atan2(±0, +0) = ±0,
// atan2(±inf, ±inf) = ±pi/4 or ±3pi/4, and NaN for a NaN.
double Atan2(double y, double x)
{
    if (x != x || y != y)
        return x + y;
    const bool yNegative = std::signbit(y), xNegative = std::signbit(x);
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    if (ay == 0)
        return WithSign(xNegative ? Pi.Hi : 0.0, yNegative);
    if (ax == 0)
        return WithSign(HalfPi.Hi, yNegative);
    if (ax == Infinity) {
        if (ay == Infinity)
            return WithSign(xNegative ? ThreeQuarterPi.Hi : QuarterPi.Hi, yNegative);
        return WithSign(xNegative ? Pi.Hi : 0.0, yNegative);
    }
    if (ay == Infinity)
        return WithSign(HalfPi.Hi, yNegative);

    const bool steep = ay > ax;
    double big = steep ? ay : ax;
    double small = steep ? ax : ay;
    if (big < 0x1p-900) {  // subnormals made normal: scaling up is exact
        big *= 0x1p600;
        small *= 0x1p600;
    }
    DoubleDouble angle;
    const int exponent = ExponentOf(big);
    if (exponent - ExponentOf(small) > 60) {
        // t < 2^-59: atan t = t - t³/3 rounds to t, and t = small/big
        // rounded is right even where it underflows.
        angle = {small / big, 0.0};
    } else {
        // Both scaled by the same power of two, exactly, so that big is
        // near 1 and t's low part (small - t big)/big comes from a two-product.
        const double b = ScaleByPowerOfTwo(big, -exponent);
        const double s = ScaleByPowerOfTwo(small, -exponent);
        const double t = s / b;
        const DoubleDouble p = TwoProduct(t, b);
        angle = AtanKernel({t, ((s - p.Hi) - p.Lo) / b});
    }
    if (steep)
        angle = Minus(HalfPi, angle);
    if (xNegative)
        angle = Minus(Pi, angle);
    return WithSign(angle.Hi + angle.Lo, yNegative);
}

double Atan(double x) { return Atan2(x, 1.0); }

}  // namespace Elementary
