#include "Activation.h"

#include "Elementary.h"


namespace {

double ActivateZero(double, double& slope, double& curvature)
{
    slope = 0.0;
    curvature = 0.0;
    return 0.0;
}

double ActivateLinear(double x, double& slope, double& curvature)
{
    slope = 1.0;
    curvature = 0.0;
    return x;
}

// t = tanh x, t' = 1 - t², t'' = -2·t·(1 - t²): both from the value.
double ActivateTanh(double x, double& slope, double& curvature)
{
    const double t = Elementary::Tanh(x);
    const double u = 1.0 - t * t;
    slope = u;
    curvature = -2.0 * t * u;
    return t;
}

double ActivateSin(double x, double& slope, double& curvature)
{
    const auto [s, c] = Elementary::SinCos(x);
    slope = c;
    curvature = -s;
    return s;
}

double ActivateCos(double x, double& slope, double& curvature)
{
    const auto [s, c] = Elementary::SinCos(x);
    slope = -s;
    curvature = -c;
    return c;
}

// g = exp(-x²), g' = -2·x·g, g'' = (4·x² - 2)·g.
double ActivateGauss(double x, double& slope, double& curvature)
{
    const double g = Elementary::Exp(-(x * x));
    slope = -2.0 * x * g;
    curvature = (4.0 * (x * x) - 2.0) * g;
    return g;
}

// arctan' = 1/(1 + x²), arctan'' = -2·x/(1 + x²)².
double ActivateAtan(double x, double& slope, double& curvature)
{
    const double q = 1.0 + x * x;
    slope = 1.0 / q;
    curvature = -2.0 * x / (q * q);
    return Elementary::Atan(x);
}

}  // namespace

const ActivationFunction ActivationTable[ActivationKindCount] = {
    ActivateZero, ActivateLinear, ActivateTanh, ActivateSin,
    ActivateCos,  ActivateGauss,  ActivateAtan,
};
