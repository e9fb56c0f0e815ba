#pragma once
// The activation table: seven functions of a neuron's weighted input sum x,
// each returning f(x) and storing f'(x) and f''(x) in one call.

#include <cstdint>

enum class ActivationKind : std::int32_t
{
    Zero = 0,    // 0
    Linear = 1,  // x
    Tanh = 2,    // tanh x
    Sin = 3,     // sin x
    Cos = 4,     // cos x
    Gauss = 5,   // exp(-x²)
    Atan = 6,    // arctan x
};

constexpr int ActivationKindCount = 7;

using ActivationFunction = double (*)(double x, double& slope, double& curvature);

// Indexed by the kind's code.
extern const ActivationFunction ActivationTable[ActivationKindCount];

inline ActivationFunction GetActivationFunction(ActivationKind kind)
{
    return ActivationTable[static_cast<int>(kind)];
}
