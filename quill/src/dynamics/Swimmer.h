#pragma once
// CSwimmer: a planar chain of n identical rigid segments joined by hinges,
// swimming without gravity in a viscous fluid that resists only the motion of
// each segment across its own axis. The controls are the n-1 joint torques.
//
// State (2n+2): (vGx, vGy, θ_1, ω_1, ..., θ_n, ω_n), the velocity of the
// centre of mass and each segment's absolute angle (counter-clockwise from +x)
// and angular velocity. Position is not part of the state; the velocities of
// the joints are exposed instead (JointVX, JointVY), so that a caller can
// carry a point of the chain along.
//
// Action (n-1): u_j, the torque of joint j+1, acting with +u_j on segment
// j+1 and with -u_j on segment j+2; each in [-5, 5].
//
// The accelerations solve a linear system of n+2 equations that depends on
// the state only; the model keeps the factorized system of the last state, so
// the derivative and the greedy torque choice share one factorization.

#include <memory>

#include "DynamicModel.h"
#include "LUSolver.h"

class CSwimmer : public CDynamicModel
{
public:
    static constexpr double SegmentLength = 1.0;  // L, joint to joint
    static constexpr double SegmentMass = 1.0;    // m
    static constexpr double FluidFriction = 10.0; // k: force per unit length per unit normal speed
    static constexpr double MaxTorque = 5.0;

    explicit CSwimmer(int segments);
    ~CSwimmer() override;

    // (a_Gx, a_Gy, ω_1, θ̈_1, ..., ω_n, θ̈_n) for the state under the torques.
    void GetDerivative(const double* state, const double* action, double* derivative) override;
    // The x velocity of the centre of mass: the reward favours swimming
    // towards +x, whatever the torques.
    double GetReward(const double* state, const double* action) override;

    // Builds and factorizes the system for the state, unless it equals the
    // state of the previous build component by component.
    void BuildSystem(const double* state);

    // Greedy bang-bang torques for the value function's gradient at the
    // state; the value function must have just been given and evaluated at it.
    void ChooseGreedyAction(const double* state, CValueFunction& valueFunction, double* action);
    // Torques from a gradient G (dV/dx_k at index k): each torque at the bound
    // that makes dV/dt grow fastest; ties and NaN take the lower bound.
    void GreedyActionFromGradient(const double* state, const double* gradient, double* action);
    // destination = source turned counter-clockwise by angle in the plane:
    // velocity rotated, every angle increased by it (not wrapped).
    void RotateState(const double* source, double angle, double* destination) const;

    // Number of systems built and factorized so far (cache misses).
    long GetBuildCount() const { return BuildCount; }
    // Absolute velocities of joints 0..n of the state last built.
    const double* JointVX() const { return JointVelocityX.get(); }
    const double* JointVY() const { return JointVelocityY.get(); }

private:
    int SegmentCount;
    long BuildCount = 0;
    CLUSolver Solver;
    std::unique_ptr<double[]> CachedState;          // 2n+2; NaN until the first build
    std::unique_ptr<double[]> Augmented;            // n+2 rows of n+3
    std::unique_ptr<double[]> Matrix;               // (n+2) x (n+2), factorized in place
    std::unique_ptr<int[]> Permutation;             // n+2
    std::unique_ptr<double[]> RightHandSide;        // b: column n+2, no torques
    std::unique_ptr<double[]> TorqueRightHandSide;  // b plus torques, or a gradient
    std::unique_ptr<double[]> Solution;             // q̈, or the transposed solution
    std::unique_ptr<double[]> JointVelocityX;       // n+1
    std::unique_ptr<double[]> JointVelocityY;       // n+1
    std::unique_ptr<double[]> GX, GY;               // n+3: centre-of-mass acceleration rows
    std::unique_ptr<double[]> AX, AY;               // n+1 rows of n+3: joint accelerations
    std::unique_ptr<double[]> FX, FY;               // n+1 rows of n+3: joint forces
    std::unique_ptr<double[]> GradientScratch;      // 2n+2
    std::unique_ptr<double[]> Cosines, Sines;       // n+1: cos θ_i, sin θ_i of the build
};
