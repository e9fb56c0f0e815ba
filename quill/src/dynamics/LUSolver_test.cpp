#include "LUSolver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Random.h"

namespace {

// Residuals of well-conditioned systems of order <= 8, relative to their
// largest entry: a few hundred ulps.
const double RelativeResidual = 1e-13;
// Random rows are scaled up by this factor in their first entry, so that the
// largest entry and the best pivot differ.
const double RowScale = 1000.0;

TEST(LUSolverTest, ScaledPivotingKeepsTheRowsOfTheTextbookMatrix)
{
    // Column 0 scaled by the rows' largest entries: 2/2 = 1, 4/6 = 2/3 and
    // 2/7, so row 0 stays the pivot although row 1 holds the largest entry.
    double a[] = {2, 1, 1, 4, -6, 0, -2, 7, 2};
    int perm[3];
    CLUSolver solver(3);
    solver.Decompose(a, perm);
    EXPECT_EQ(std::vector<int>(perm, perm + 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(std::vector<double>(a, a + 9),
              (std::vector<double>{2, 1, 1, 2, -8, -2, -1, -1, 1}));

    const double b[] = {5, -2, 9};
    double x[3];
    solver.Solve(a, perm, b, x);
    EXPECT_EQ(std::vector<double>(x, x + 3), (std::vector<double>{1, 1, 2}));

    const double bt[] = {1, 2, 3};
    solver.SolveTransposed(a, perm, bt, x);
    EXPECT_EQ(std::vector<double>(x, x + 3), (std::vector<double>{-5.0 / 4, 31.0 / 16, 17.0 / 8}));
}

TEST(LUSolverTest, ExchangedRowsAreRecordedInThePermutation)
{
    double a[] = {0, 1, 1, 0};
    int perm[2];
    CLUSolver solver(2);
    solver.Decompose(a, perm);
    EXPECT_EQ(perm[0], 1);
    EXPECT_EQ(perm[1], 0);
    EXPECT_EQ(std::vector<double>(a, a + 4), (std::vector<double>{1, 0, 0, 1}));

    const double b[] = {2, 3};
    double x[2];
    solver.Solve(a, perm, b, x);
    EXPECT_EQ(x[0], 3);
    EXPECT_EQ(x[1], 2);
    solver.SolveTransposed(a, perm, b, x);
    EXPECT_EQ(x[0], 3);
    EXPECT_EQ(x[1], 2);
}

TEST(LUSolverTest, EqualScaledCandidatesKeepTheEarlierRow)
{
    // Column 0 scaled: 1/2 for row 0, 2/4 for row 1, 1/3 for row 2.
    double a[] = {1, 2, 0, 2, 4, 1, 1, 0, 3};
    int perm[3];
    CLUSolver solver(3);
    solver.Decompose(a, perm);
    EXPECT_EQ(perm[0], 0);
}

TEST(LUSolverTest, FactorsReproduceThePermutedMatrixAndSolvesLeaveSmallResiduals)
{
    CRandom rng(42);
    for (int n = 1; n <= 8; ++n) {
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<double> a(n * n), lu(n * n), b(n), x(n), xt(n);
            for (int k = 0; k < n * n; ++k)
                a[k] = 2 * rng.Real01() - 1;
            for (int i = 0; i < n; ++i) {
                a[i * n + i] += n;  // diagonally dominant: well conditioned
                a[i * n] *= RowScale;
                b[i] = 2 * rng.Real01() - 1;
            }
            lu = a;
            const double tolerance = RelativeResidual * RowScale * (n + 1) * n;
            std::vector<int> perm(n);
            CLUSolver solver(n);
            solver.Decompose(lu.data(), perm.data());

            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    double product = 0.0;  // (L·U)[i][j]
                    for (int k = 0; k <= std::min(i, j); ++k)
                        product += (k == i ? 1.0 : lu[i * n + k]) * lu[k * n + j];
                    const double entry = a[perm[i] * n + j];
                    EXPECT_NEAR(product, entry, tolerance)
                        << "n=" << n << " i=" << i << " j=" << j;
                }

            solver.Solve(lu.data(), perm.data(), b.data(), x.data());
            solver.SolveTransposed(lu.data(), perm.data(), b.data(), xt.data());
            for (int i = 0; i < n; ++i) {
                double row = 0.0, column = 0.0;
                for (int j = 0; j < n; ++j) {
                    row += a[i * n + j] * x[j];
                    column += a[j * n + i] * xt[j];
                }
                EXPECT_NEAR(row, b[i], tolerance) << "n=" << n;
                EXPECT_NEAR(column, b[i], tolerance) << "n=" << n;
            }
        }
    }
}

TEST(LUSolverTest, ASingularMatrixGivesNonFiniteResultsWithoutComplaint)
{
    double a[] = {1, 2, 2, 4};
    int perm[2];
    CLUSolver solver(2);
    solver.Decompose(a, perm);
    const double b[] = {1, 1};
    double x[2];
    solver.Solve(a, perm, b, x);
    EXPECT_FALSE(std::isfinite(x[0]) && std::isfinite(x[1]));
}

}  // namespace
