#include "LUSolver.h"

#include <cmath>
#include <utility>

CLUSolver::CLUSolver(int n) : N(n), Scale(new double[n]), Work(new double[n]) {}

void CLUSolver::Decompose(double* a, int* perm)
{
    // Implicit pivoting compares candidates relative to the largest entry of
    // their row, so that a row scaled by a large factor does not win the pivot
    // by its scale alone. A zero row gives an infinite scale.
    for (int i = N - 1; i >= 0; --i) {
        perm[i] = i;
        double big = 0.0;
        for (int j = N - 1; j >= 0; --j) {
            const double magnitude = std::fabs(a[i * N + j]);
            if (magnitude > big)
                big = magnitude;
        }
        Scale[i] = 1.0 / big;
    }

    for (int j = 0; j < N; ++j) {
        // U[i][j] = A[i][j] - Σ_(k<i) L[i][k]·U[k][j]
        for (int i = 0; i < j; ++i) {
            double sum = a[i * N + j];
            for (int k = 0; k < i; ++k)
                sum -= a[i * N + k] * a[k * N + j];
            a[i * N + j] = sum;
        }
        // Candidates L[i][j]·U[j][j] = A[i][j] - Σ_(k<j) L[i][k]·U[k][j], and the
        // largest scaled one as pivot; ties keep the earlier row.
        double big = 0.0;
        int imax = j;
        for (int i = j; i < N; ++i) {
            double sum = a[i * N + j];
            for (int k = 0; k < j; ++k)
                sum -= a[i * N + k] * a[k * N + j];
            a[i * N + j] = sum;
            const double scaled = std::fabs(sum) * Scale[i];
            if (scaled > big) {
                big = scaled;
                imax = i;
            }
        }
        if (imax != j) {
            for (int k = 0; k < N; ++k)
                std::swap(a[imax * N + k], a[j * N + k]);
            Scale[imax] = Scale[j];  // row j's scale is not needed again
            std::swap(perm[j], perm[imax]);
        }
        // A zero pivot is not detected: its reciprocal is infinite.
        const double reciprocal = 1.0 / a[j * N + j];
        for (int i = j + 1; i < N; ++i)
            a[i * N + j] *= reciprocal;
    }
}

void CLUSolver::Solve(const double* lu, const int* perm, const double* b, double* x) const
{
    // L·y = P·b, then U·x = y.
    for (int i = 0; i < N; ++i) {
        double sum = b[perm[i]];
        for (int k = 0; k < i; ++k)
            sum -= lu[i * N + k] * x[k];
        x[i] = sum;
    }
    for (int i = N - 1; i >= 0; --i) {
        double sum = x[i];
        for (int k = i + 1; k < N; ++k)
            sum -= lu[i * N + k] * x[k];
        x[i] = sum / lu[i * N + i];
    }
}

void CLUSolver::SolveTransposed(const double* lu, const int* perm, const double* b, double* x)
{
    // Aᵀ = Uᵀ·Lᵀ·P: Uᵀ·z = b, then Lᵀ·w = z, then x = Pᵀ·w.
    for (int i = 0; i < N; ++i) {
        double sum = b[i];
        for (int k = 0; k < i; ++k)
            sum -= lu[k * N + i] * Work[k];
        Work[i] = sum / lu[i * N + i];
    }
    for (int i = N - 1; i >= 0; --i) {
        double sum = Work[i];
        for (int k = i + 1; k < N; ++k)
            sum -= lu[k * N + i] * Work[k];
        Work[i] = sum;
        x[perm[i]] = sum;
    }
}
