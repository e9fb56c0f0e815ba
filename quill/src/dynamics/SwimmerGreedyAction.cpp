// Greedy bang-bang torques and the planar rotation of a swimmer state.
//
// The torques enter the dynamics linearly, q̈ = M⁻¹·(b + E·u), where column j
// of E has +1 in row j+3 and -1 in row j+2, and the reward does not depend on
// them. So the torque-dependent part of dV/dt is
//     gᵀ·q̈ = gᵀ·M⁻¹·E·u = yᵀ·E·u = Σ_j (y[j+3] - y[j+2])·u_j,   Mᵀ·y = g,
// with g the gradient entries of the accelerated state components, and each
// torque is best at the bound its coefficient's sign picks. One transposed
// solve with the factorization already built gives every coefficient.

#include "Elementary.h"
#include "Swimmer.h"
#include "ValueFunction.h"

void CSwimmer::ChooseGreedyAction(const double* state, CValueFunction& valueFunction,
                                  double* action)
{
    const int n = SegmentCount;
    // Only the components whose time derivatives the torques change: the
    // centre-of-mass velocity and the angular velocities, last segment first.
    GradientScratch[0] = valueFunction.GetStateDerivative(0);
    GradientScratch[1] = valueFunction.GetStateDerivative(1);
    for (int k = 2 * n + 1; k >= 3; k -= 2)
        GradientScratch[k] = valueFunction.GetStateDerivative(k);
    GreedyActionFromGradient(state, GradientScratch, action);
}

void CSwimmer::GreedyActionFromGradient(const double* state, const double* gradient,
                                        double* action)
{
    const int n = SegmentCount;
    BuildSystem(state);
    TorqueRightHandSide[0] = gradient[0];
    TorqueRightHandSide[1] = gradient[1];
    for (int i = 1; i <= n; ++i)
        TorqueRightHandSide[i + 1] = gradient[2 * i + 1];
    Solver.SolveTransposed(Matrix, Permutation, TorqueRightHandSide, Solution);
    // A coefficient of exactly 0, or NaN, selects the lower bound.
    for (int j = 0; j <= n - 2; ++j)
        action[j] = Solution[j + 3] - Solution[j + 2] > 0 ? ActionMax(j) : ActionMin(j);
}

void CSwimmer::RotateState(const double* source, double angle, double* destination) const
{
    const auto [s, c] = Elementary::SinCos(angle);
    destination[0] = c * source[0] - s * source[1];
    destination[1] = c * source[1] + s * source[0];
    for (int i = 0; i < SegmentCount; ++i) {
        destination[2 * i + 2] = angle + source[2 * i + 2];
        destination[2 * i + 3] = source[2 * i + 3];
    }
}
