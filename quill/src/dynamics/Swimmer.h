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

#include <cstddef>
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
    const double* JointVX() const { return JointVelocityX; }
    const double* JointVY() const { return JointVelocityY; }

private:
    int SegmentCount;
    long BuildCount = 0;
    CLUSolver Solver;
    // The work arrays below all point into this one block, laid out by the
    // constructor from a table of their sizes; the object is never copied or
    // moved, so the pointers stay valid as long as the block.
    std::unique_ptr<std::byte[]> Workspace;
    double* CachedState = nullptr;          // the state of the last build; NaN until then
    double* Augmented = nullptr;            // the rows of the system before splitting
    double* Matrix = nullptr;               // M, row-major, factorized in place
    int* Permutation = nullptr;             // the row permutation of the factorization
    double* RightHandSide = nullptr;        // b: the rows' last column, no torques
    double* TorqueRightHandSide = nullptr;  // b plus torques, or a gradient
    double* Solution = nullptr;             // q̈, or the transposed solution
    double* JointVelocityX = nullptr;       // joints 0..n
    double* JointVelocityY = nullptr;
    double* GX = nullptr;                   // centre-of-mass acceleration rows
    double* GY = nullptr;
    double* AX = nullptr;                   // joint acceleration rows, joint by joint
    double* AY = nullptr;
    double* FX = nullptr;                   // joint force rows, joint by joint
    double* FY = nullptr;
    double* GradientScratch = nullptr;      // the value function's gradient
    double* Cosines = nullptr;              // cos θ_i, sin θ_i of the build, at index i
    double* Sines = nullptr;
};
