#pragma once
// The elementary functions of the simulation, the networks, the learner,
// the scores and the pictures, the same to the last bit in every build.
//
// The C libraries of the platforms we build for (glibc, musl under
// WebAssembly, the Windows runtime) each round sin, tanh or atan2 their own
// way in the last bit, and a chaotic swimmer turns that bit into another
// trajectory. These are written from IEEE additions, multiplications,
// divisions and square roots alone, each rounded to nearest in the order
// written, and from exact integer and bit operations: every build that
// compiles them without fused multiply-adds gets the same bits.
//
// Each result is within one unit in the last place of the exact value and
// almost always the correctly rounded one (the errors measured are in
// docs/determinism.md). Special values are those of the IEEE functions:
// NaN in, NaN out; sin and cos of an infinity are NaN; exp(-inf) = 0,
// exp(+inf) = +inf, and overflow gives +inf; tanh(±inf) = ±1; the signs of
// zeros are kept where the function is odd; atan2 and hypot as below.

namespace Elementary {

double Exp(double x);
double Tanh(double x);

double Sin(double x);
double Cos(double x);
// sin x and cos x with one argument reduction: exactly Sin(x) and Cos(x).
struct SinAndCos
{
    double Sin, Cos;
};
SinAndCos SinCos(double x);

double Atan(double x);
// The angle of the point (x, y) in [-pi, pi]; atan2(±0, -0) = ±pi,
// atan2(±0, +0) = ±0, atan2(±inf, ±inf) = ±pi/4 or ±3pi/4.
double Atan2(double y, double x);

// sqrt(x² + y²) without overflow or underflow on the way; +inf if either
// is infinite, even if the other is NaN.
double Hypot(double x, double y);

}  // namespace Elementary
