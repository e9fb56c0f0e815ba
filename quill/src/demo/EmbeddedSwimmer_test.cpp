#include "EmbeddedSwimmer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "EmbeddedNetwork.h"
#include "Random.h"
#include "Swimmer.h"
#include "FFNetwork.h"
#include "FFNetworkVF.h"

namespace {

const double Pi = std::numbers::pi;
const double SinglePi = 3.141590118408203;  // 3.14159 in single precision

TEST(SwimmerNetworkTest, LoadsTheListedWeightsInDefinitionOrder)
{
    const CFFNetwork& net = EmbeddedNetwork();
    ASSERT_EQ(net.GetNeuronCount(), 30);
    struct Position
    {
        int Index, Source, Target;
        float Weight;
    };
    const Position listed[] = {
        {0, 0, 1, 0.56535f},    {28, 0, 29, 0.496173f},  {29, 1, 2, 0.026983f},
        {67, 2, 13, 3.14159f},  {68, 2, 14, 3.14159f},   {116, 4, 11, 3.14159f},
        {117, 4, 12, 3.14159f}, {161, 6, 9, 3.14159f},   {162, 6, 10, 3.14159f},
        {434, 28, 29, 0.368856f},
    };
    for (const Position& p : listed) {
        EXPECT_EQ(SwimmerNetworkWeights[p.Index], p.Weight) << p.Index;
        EXPECT_EQ(net.GetWeight(p.Source, p.Target), static_cast<double>(p.Weight)) << p.Index;
    }
    EXPECT_EQ(net.GetWeight(2, 13), SinglePi);
}

// The zeros are exactly the weights out of the angle inputs other than their
// encoder connections: an angle reaches the rest only through its encoders.
TEST(SwimmerNetworkTest, ZeroWeightsAreExactlyTheUnusedAngleConnections)
{
    const CFFNetwork& net = EmbeddedNetwork();
    int zeros = 0, nonzeros = 0;
    for (int k = 0; k < 30; ++k)
        for (int l = k + 1; l < 30; ++l) {
            const bool angle = k == 2 || k == 4 || k == 6;
            const bool encoder = (k == 2 && (l == 13 || l == 14)) ||
                                 (k == 4 && (l == 11 || l == 12)) ||
                                 (k == 6 && (l == 9 || l == 10));
            const double w = net.GetWeight(k, l);
            if (angle && !encoder) {
                EXPECT_EQ(w, 0.0) << k << "->" << l;
                ++zeros;
            } else {
                EXPECT_NE(w, 0.0) << k << "->" << l;
                EXPECT_TRUE(encoder || (w >= -1.8334f && w <= 1.33758f)) << k << "->" << l;
                ++nonzeros;
            }
        }
    EXPECT_EQ(zeros, 69);
    EXPECT_EQ(nonzeros, 366);
}

TEST(SwimmerNetworkTest, MatchesTheLayoutOfTheSwimmerValueFunction)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNeurons(30);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(EmbeddedNetwork().GetActivation(i), value.GetNetwork().GetActivation(i)) << i;
    EXPECT_EQ(value.GetParameter(6 + 30 * 9), Pi);

    value.SetNetwork(EmbeddedNetwork());
    EXPECT_EQ(value.GetParameter(6 + 30 * 9), SinglePi);  // the copy, not the layout's π
    EXPECT_EQ(value.GetParameterCount(), 900);
    // Neuron 29 has 29 possible inputs, of which the three angles are fixed.
    EXPECT_EQ(value.GetOutputGradientScale(), 1.0 / std::sqrt(26.0));
    EXPECT_EQ(value.GetParameter(2 + 30 * 29), 0.0);
    EXPECT_EQ(value.GetParameter(4 + 30 * 29), 0.0);
    EXPECT_EQ(value.GetParameter(6 + 30 * 29), 0.0);
    EXPECT_EQ(value.GetParameter(28 + 30 * 29), static_cast<double>(0.368856f));
}

// A full turn of one segment changes the encoders' arguments by
// 2·3.14159 instead of 2π, about 5.3e-6 rad, and the value by no more than
// that times the value's sensitivity to the angle.
TEST(SwimmerNetworkTest, AFullTurnOfASegmentBarelyChangesTheValue)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNetwork(EmbeddedNetwork());
    CRandom rng(12);
    for (int trial = 0; trial < 10; ++trial) {
        double s[8];
        swimmer.RandomState(s, rng);
        value.SetInput(s);
        const double v = value.Evaluate();
        const double slope = std::fabs(value.GetStateDerivative(4));
        s[4] += 2 * Pi;
        value.SetInput(s);
        const double turned = value.Evaluate();
        EXPECT_LE(std::fabs(turned - v), 2 * (Pi - SinglePi) * (slope + 1.0) + 1e-12);
    }
}

}  // namespace
