#pragma once
// CLUSolver: dense LU factorization by Crout's method with implicit (scaled)
// partial pivoting, and solves with the matrix or its transpose.
//
// Matrices are N x N, row-major (M[i][j] at i·N + j); they and the row
// permutation belong to the caller, so one solver serves every matrix of its
// order. A singular or badly scaled matrix yields infinite or NaN results;
// nothing is detected or reported.

#include <memory>

class CLUSolver
{
public:
    explicit CLUSolver(int n);

    // P·A = L·U in place: U on and above the diagonal, the multipliers of the
    // unit lower triangle L below it; row i of P·A is row perm[i] of A.
    void Decompose(double* matrix, int* perm);
    // A·x = b with a factorized A. x must not be b.
    void Solve(const double* lu, const int* perm, const double* b, double* x) const;
    // Aᵀ·x = b with a factorized A, as Uᵀ·Lᵀ·P·x = b.
    void SolveTransposed(const double* lu, const int* perm, const double* b, double* x);


private:
    int N;
    std::unique_ptr<double[]> Scale;  // 1 / largest |entry| of each row
    std::unique_ptr<double[]> Work;   // intermediate vector of SolveTransposed
};
