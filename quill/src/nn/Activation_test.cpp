#include "Activation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ActivationTest, ValueSlopeAndCurvatureAtZero)
{
    struct Expected
    {
        ActivationKind Kind;
        double Value, Slope, Curvature;
    };
    const Expected table[] = {
        {ActivationKind::Zero, 0, 0, 0},   {ActivationKind::Linear, 0, 1, 0},
        {ActivationKind::Tanh, 0, 1, 0},   {ActivationKind::Sin, 0, 1, 0},
        {ActivationKind::Cos, 1, 0, -1},   {ActivationKind::Gauss, 1, 0, -2},
        {ActivationKind::Atan, 0, 1, 0},
    };
    for (const Expected& e : table) {
        double slope = -7, curvature = -7;
        EXPECT_EQ(GetActivationFunction(e.Kind)(0.0, slope, curvature), e.Value)
            << static_cast<int>(e.Kind);
        EXPECT_EQ(slope, e.Slope) << static_cast<int>(e.Kind);
        EXPECT_EQ(curvature, e.Curvature) << static_cast<int>(e.Kind);
    }
}

// Central differences of f and f' agree with the slope and curvature the
// function reports; a step of 1e-5 leaves an error of order h² ~ 1e-10.
TEST(ActivationTest, SlopeAndCurvatureAreTheDerivativesOfTheValue)
{
    const double h = 1e-5;
    const double tolerance = 1e-8;
    for (int code = 0; code < ActivationKindCount; ++code) {
        const ActivationFunction f = ActivationTable[code];
        for (double x : {-2.5, -0.7, 0.3, 1.1, 3.0}) {
            double slope, curvature, slopeUp, slopeDown, ignored;
            f(x, slope, curvature);
            const double up = f(x + h, slopeUp, ignored);
            const double down = f(x - h, slopeDown, ignored);
            EXPECT_NEAR(slope, (up - down) / (2 * h), tolerance) << code << " at " << x;
            EXPECT_NEAR(curvature, (slopeUp - slopeDown) / (2 * h), tolerance)
                << code << " at " << x;
        }
    }
}

}  // namespace
