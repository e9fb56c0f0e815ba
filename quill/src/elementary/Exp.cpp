#include "Elementary.h"

#include <limits>

#include "ExpKernel.h"

namespace Elementary {

using namespace Internal;

double Exp(double x)
{
    if (x != x)
        return x + x;
    // Past these the result is +inf or 0 (ln 2^1024 = 709.78, ln 2^-1075 =
    // -745.13); short of them the kernel and the one rounding decide.
    if (x > 709.79)
        return std::numeric_limits<double>::infinity();
    if (x < -745.2)
        return 0.0;
    const ScaledDoubleDouble e = ExpKernel(x);
    return ScaleRounded(e.Value, e.Exponent);
}

}  // namespace Elementary
