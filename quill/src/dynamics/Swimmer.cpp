#include "Swimmer.h"

#include <limits>
#include <new>
#include <numbers>
#include <type_traits>

#include "Elementary.h"

namespace {

const double MomentOfInertia = CSwimmer::SegmentMass * CSwimmer::SegmentLength *
                               CSwimmer::SegmentLength / 12.0;  // m·L²/12 about the centre
const double Pi = std::numbers::pi;
const double MaxAngularVelocity = 6.0;  // bound for input scaling and sampling only
const double MaxCentreVelocity = 1.0;

}  // namespace

// The work arrays point into the object's own block: a copy or a move would
// leave them pointing into another object's.
static_assert(!std::is_copy_constructible_v<CSwimmer> && !std::is_move_constructible_v<CSwimmer>);

CSwimmer::CSwimmer(int segments)
    : CDynamicModel(2 * segments + 2, segments - 1, 0.2),
      SegmentCount(segments),
      Solver(segments + 2)
{
    const int n = segments;
    DescribeStateVariable(0, -MaxCentreVelocity, MaxCentreVelocity, Free);
    DescribeStateVariable(1, -MaxCentreVelocity, MaxCentreVelocity, Free);
    for (int i = 1; i <= n; ++i) {
        DescribeStateVariable(2 * i, -Pi, Pi, Periodic);
        DescribeStateVariable(2 * i + 1, -MaxAngularVelocity, MaxAngularVelocity, Free);
    }
    for (int j = 0; j < n - 1; ++j)
        DescribeActionVariable(j, -MaxTorque, MaxTorque);

    // The work arrays, each with its length; one block holds them all.
    const int states = 2 * n + 2;    // a state, or a gradient over it
    const int unknowns = n + 2;      // q̈, and the equations that fix it
    const int rowLength = n + 3;     // a row: one coefficient per unknown, then the right-hand side
    const int joints = n + 1;        // joints 0..n; also segments 1..n at their own index
    const struct
    {
        double** Array;
        int Length;
    } doubleArrays[] = {
        {&CachedState, states},
        {&Augmented, unknowns * rowLength},
        {&Matrix, unknowns * unknowns},
        {&RightHandSide, unknowns},
        {&TorqueRightHandSide, unknowns},
        {&Solution, unknowns},
        {&JointVelocityX, joints},
        {&JointVelocityY, joints},
        {&GX, rowLength},
        {&GY, rowLength},
        {&AX, joints * rowLength},
        {&AY, joints * rowLength},
        {&FX, joints * rowLength},
        {&FY, joints * rowLength},
        {&GradientScratch, states},
        {&Cosines, joints},
        {&Sines, joints},
    };
    const int permutationLength = unknowns;

    // The doubles first, then the permutation's ints. new[] of bytes aligns
    // the block for any fundamental type, so the doubles at its start are
    // aligned; the ints start a whole number of doubles further on, an offset
    // that is a multiple of alignof(double) and hence of alignof(int).
    static_assert(alignof(double) % alignof(int) == 0);
    std::size_t doubleCount = 0;
    for (const auto& entry : doubleArrays)
        doubleCount += entry.Length;
    Workspace.reset(new std::byte[doubleCount * sizeof(double) + permutationLength * sizeof(int)]);

    // All zero to begin with: the joint velocities, and rows 0 of FX and FY,
    // which nothing writes again (the free end at joint 0 carries no force).
    double* next = new (Workspace.get()) double[doubleCount]();
    for (const auto& entry : doubleArrays) {
        *entry.Array = next;
        next += entry.Length;
    }
    Permutation = new (static_cast<void*>(next)) int[permutationLength]();

    // An empty cache: NaN equals nothing, so the first build always builds.
    for (int k = 0; k < states; ++k)
        CachedState[k] = std::numeric_limits<double>::quiet_NaN();
}

CSwimmer::~CSwimmer() = default;

// Equations of motion.
//
// Unknowns q̈ = (a_Gx, a_Gy, θ̈_1, ..., θ̈_n): column 0 and 1 the acceleration
// of the centre of mass G, column i+1 the angular acceleration of segment i.
// A row r of n+3 doubles stands for the quantity r[0..n+1]·q̈ - r[n+2], affine
// in q̈; sums and multiples of rows stand for sums and multiples of the
// quantities. Column n+2 collects everything that depends on the state only.
//
// Kinematics. With e_i = (c_i, s_i) and ν_i = (-s_i, c_i), joint i sits at
// joint 0 + Σ_(j<=i) L·e_j, so relative to joint 0
//     v_i = Σ_(j<=i) L·ω_j·ν_j,   a_i = Σ_(j<=i) L·(θ̈_j·ν_j - ω_j²·e_j),
// and G, the mean of the segment centres (equal masses), has the relative
// acceleration Σ_i (a_(i-1) + a_i)/(2n). Adding a_G - (that) makes a_i
// absolute; likewise the velocities with (vGx, vGy) from the state.
//
// Forces. F_i is the force that segment i+1 exerts on segment i at joint i;
// segment i gets -F_(i-1) at joint i-1, and F_0 = F_n = 0 at the free ends.
// Newton for segment i, with centre acceleration (a_(i-1) + a_i)/2 and fluid
// force f_i·ν_i, f_i = -k·L·(v_centre·ν_i):
//     F_i = F_(i-1) + m·(a_(i-1) + a_i)/2 - f_i·ν_i.
//
// Rows of the system, each a quantity the motion makes zero:
//     rows 0, 1:  F_n = 0 (x and y; no force at the free end),
//     row i+1:    (L/2)·e_i × (F_(i-1) + F_i) - k·L³·ω_i/12 + τ_i - I·θ̈_i = 0,
// the angular momentum of segment i about its centre: the joint forces'
// torque, the rotational drag, the joint torques τ_i and the inertia
// I = m·L²/12. The joint torques are left out here (GetDerivative adds them),
// so the split gives M·q̈ = b with b independent of the torques.
void CSwimmer::BuildSystem(const double* x)
{
    const int n = SegmentCount;
    const int columns = n + 3;
    const int rhs = n + 2;
    const double L = SegmentLength;
    const double m = SegmentMass;
    const double k = FluidFriction;

    bool changed = false;
    for (int i = 0; i < 2 * n + 2; ++i) {
        if (!(x[i] == CachedState[i])) {
            CachedState[i] = x[i];
            changed = true;
        }
    }
    if (!changed)
        return;
    ++BuildCount;

    double* jvx = JointVelocityX;
    double* jvy = JointVelocityY;
    auto ax = [&](int joint) { return AX + joint * columns; };
    auto ay = [&](int joint) { return AY + joint * columns; };
    auto fx = [&](int joint) { return FX + joint * columns; };
    auto fy = [&](int joint) { return FY + joint * columns; };

    jvx[0] = 0.0;
    jvy[0] = 0.0;
    for (int col = 0; col < columns; ++col) {
        ax(0)[col] = 0.0;
        ay(0)[col] = 0.0;
        GX[col] = 0.0;
        GY[col] = 0.0;
    }
    double sx = 0.0;
    double sy = 0.0;
    const double w = (m * 0.5) / (n * m);  // half the mass share of a segment

    // Joint velocities and acceleration rows relative to joint 0, and those
    // of the centre of mass.
    for (int i = 1; i <= n; ++i) {
        const double theta = x[2 * i];
        const double omega = x[2 * i + 1];
        const auto [s, c] = Elementary::SinCos(theta);
        Cosines[i] = c;
        Sines[i] = s;
        jvx[i] = jvx[i - 1] - L * omega * s;
        jvy[i] = jvy[i - 1] + L * omega * c;
        double* axPrev = ax(i - 1);
        double* ayPrev = ay(i - 1);
        double* axi = ax(i);
        double* ayi = ay(i);
        for (int col = 0; col < columns; ++col) {
            axi[col] = axPrev[col];
            ayi[col] = ayPrev[col];
        }
        axi[i + 1] -= L * s;
        ayi[i + 1] += L * c;
        // The centripetal part -L·ω²·e_i, negated into the right-hand side.
        axi[rhs] += L * (omega * omega) * c;
        ayi[rhs] += L * (omega * omega) * s;
        sx += w * (jvx[i - 1] + jvx[i]);
        sy += w * (jvy[i - 1] + jvy[i]);
        for (int col = 0; col < columns; ++col) {
            GX[col] += w * (axPrev[col] + axi[col]);
            GY[col] += w * (ayPrev[col] + ayi[col]);
        }
    }

    // Absolute: add the centre of mass's own velocity and acceleration minus
    // its relative ones.
    for (int c = 0; c <= n; ++c) {
        jvx[c] += x[0] - sx;
        jvy[c] += x[1] - sy;
        double* axc = ax(c);
        double* ayc = ay(c);
        axc[0] += 1.0;
        ayc[1] += 1.0;
        for (int col = 0; col < columns; ++col) {
            axc[col] -= GX[col];
            ayc[col] -= GY[col];
        }
    }

    // Joint forces from Newton's law for each segment, from the free end at
    // joint 0 (row 0 of FX, FY stays zero) along the chain.
    for (int i = 1; i <= n; ++i) {
        const double c = Cosines[i];
        const double s = Sines[i];
        const double* fxPrev = fx(i - 1);
        const double* fyPrev = fy(i - 1);
        const double* axPrev = ax(i - 1);
        const double* ayPrev = ay(i - 1);
        const double* axi = ax(i);
        const double* ayi = ay(i);
        double* fxi = fx(i);
        double* fyi = fy(i);
        for (int col = 0; col < columns; ++col) {
            fxi[col] = fxPrev[col] + m * 0.5 * (axPrev[col] + axi[col]);
            fyi[col] = fyPrev[col] + m * 0.5 * (ayPrev[col] + ayi[col]);
        }
        // f_i = -k·L·(v_centre·ν_i); the force f_i·ν_i moves to the right-hand side.
        const double f = -0.5 * k * L * (c * (jvy[i - 1] + jvy[i]) - s * (jvx[i - 1] + jvx[i]));
        fxi[rhs] -= f * s;
        fyi[rhs] += f * c;
    }

    double* row = Augmented;
    for (int col = 0; col < columns; ++col) {
        row[0 * columns + col] = fx(n)[col];
        row[1 * columns + col] = fy(n)[col];
    }
    for (int i = 1; i <= n; ++i) {
        const double omega = x[2 * i + 1];
        const double c = Cosines[i];
        const double s = Sines[i];
        double* r = row + (i + 1) * columns;
        const double* fxPrev = fx(i - 1);
        const double* fyPrev = fy(i - 1);
        const double* fxi = fx(i);
        const double* fyi = fy(i);
        for (int col = 0; col < columns; ++col)
            r[col] = 0.5 * L * (c * (fyPrev[col] + fyi[col]) - s * (fxPrev[col] + fxi[col]));
        r[rhs] += k * (L * L * L) * omega / 12.0;
        r[i + 1] -= MomentOfInertia;
    }

    const int size = n + 2;
    for (int r = 0; r < size; ++r) {
        for (int j = 0; j < size; ++j)
            Matrix[r * size + j] = row[r * columns + j];
        RightHandSide[r] = row[r * columns + rhs];
    }
    Solver.Decompose(Matrix, Permutation);
}

void CSwimmer::GetDerivative(const double* x, const double* u, double* out)
{
    const int n = SegmentCount;
    BuildSystem(x);
    // Joint torque u_j turns segment j+1 (row j+2) by +u_j and segment j+2
    // (row j+3) by -u_j; on the right-hand side the signs flip.
    for (int r = 0; r < n + 2; ++r)
        TorqueRightHandSide[r] = RightHandSide[r];
    for (int j = 0; j <= n - 2; ++j) {
        TorqueRightHandSide[j + 3] += u[j];
        TorqueRightHandSide[j + 2] -= u[j];
    }
    Solver.Solve(Matrix, Permutation, TorqueRightHandSide, Solution);
    out[0] = Solution[0];
    out[1] = Solution[1];
    for (int i = 1; i <= n; ++i) {
        out[2 * i] = x[2 * i + 1];
        out[2 * i + 1] = Solution[i + 1];
    }
}

double CSwimmer::GetReward(const double* state, const double*)
{
    return state[0];
}
