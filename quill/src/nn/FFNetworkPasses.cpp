// The three passes over a CFFNetwork, side by side: Forward computes the
// outputs, InputDerivative carries a tangent forward, Backward carries an
// adjoint back. Each sum runs over the sources of one target (Forward,
// InputDerivative: row n·m of the weights, walked backwards) or over the
// targets of one source (Backward: a column, stride n), in descending index
// order. The orders are part of the results: keep them.

#include "FFNetwork.h"

void CFFNetwork::Forward(const double* X, double* Y, double* D1, double* D2) const
{
    const int n = Count;
    for (int m = 0; m < n; ++m) {
        const double* into = Weights.get() + n * m;
        double s = 0.0;
        for (int k = m - 1; k >= 0; --k)
            s += into[k] * Y[k];
        Y[m] = Functions[m](s, D1[m], D2[m]) + X[m];
    }
}

// Differentiating Y[m] = f_m(s_m) + X[m] along X[c]:
//     S[i] = Σ_(k<i) w(k→i)·T[k],   T[i] = f'_i(s_i)·S[i] + [i = c].
void CFFNetwork::InputDerivative(int c, const double* D1, double* T, double* S) const
{
    const int n = Count;
    for (int i = 0; i < n; ++i) {
        const double* into = Weights.get() + n * i;
        double s = 0.0;
        for (int k = i - 1; k >= 0; --k)
            s += into[k] * T[k];
        S[i] = s;
        T[i] = s * D1[i];
        if (i == c)
            T[i] += 1.0;
    }
}

namespace {

// Two lanes of doubles in one SSE2 register. Each lane is rounded exactly as
// the scalar code rounds it; the arrays need only a double's alignment.
typedef double Pair __attribute__((vector_size(16), aligned(8), __may_alias__));

// The tangent sums of one neuron over one block of eight lanes.
struct LaneSums
{
    Pair A = {0.0, 0.0}, B = A, C = A, D = A;

    void Add(double w, const double* from)
    {
        A += w * *reinterpret_cast<const Pair*>(from);
        B += w * *reinterpret_cast<const Pair*>(from + 2);
        C += w * *reinterpret_cast<const Pair*>(from + 4);
        D += w * *reinterpret_cast<const Pair*>(from + 6);
    }

    void StoreTimes(double slope, double* to) const
    {
        *reinterpret_cast<Pair*>(to) = A * slope;
        *reinterpret_cast<Pair*>(to + 2) = B * slope;
        *reinterpret_cast<Pair*>(to + 4) = C * slope;
        *reinterpret_cast<Pair*>(to + 6) = D * slope;
    }
};

}  // namespace

// Software-pipelined: once Y[m] is known, one walk down the sources k < m
// carries both the next neuron's forward sum (which starts with Y[m]) and
// neuron m's tangent sums. The forward sum is a chain of dependent
// additions; the tangent arithmetic runs in the time the chain leaves idle.
void CFFNetwork::ForwardWithInputDerivatives(const double* X, double* Y, double* D1, double* D2,
                                             int lanes, double* T) const
{
    const int n = Count;
    double s = 0.0;  // neuron 0 has no inputs
    for (int m = 0; m < n; ++m) {
        const double* into = Weights.get() + n * m;
        Y[m] = Functions[m](s, D1[m], D2[m]) + X[m];

        LaneSums first;
        if (m + 1 < n) {
            const double* intoNext = into + n;
            s = 0.0;
            s += intoNext[m] * Y[m];
            for (int k = m - 1; k >= 0; --k) {
                s += intoNext[k] * Y[k];
                first.Add(into[k], T + k * lanes);
            }
        } else {
            for (int k = m - 1; k >= 0; --k)
                first.Add(into[k], T + k * lanes);
        }
        double* tangent = T + m * lanes;
        first.StoreTimes(D1[m], tangent);
        for (int block = LaneBlock; block < lanes; block += LaneBlock) {
            LaneSums sums;
            for (int k = m - 1; k >= 0; --k)
                sums.Add(into[k], T + k * lanes + block);
            sums.StoreTimes(D1[m], tangent + block);
        }
        if (m < lanes)
            tangent[m] += 1.0;
    }
}

// The adjoint of the forward sweep, from the last neuron back:
//     B[i] = E[i] + Σ_(j>i) w(i→j)·Δ[j],   Δ[i] = f'_i(s_i)·B[i].
void CFFNetwork::Backward(const double* E, const double* D1, double* B, double* Delta) const
{
    const int n = Count;
    for (int i = n - 1; i >= 0; --i) {
        const double* outOf = Weights.get() + i;
        double b = E[i];
        for (int j = n - 1; j > i; --j)
            b += outOf[n * j] * Delta[j];
        B[i] = b;
        Delta[i] = b * D1[i];
    }
}
