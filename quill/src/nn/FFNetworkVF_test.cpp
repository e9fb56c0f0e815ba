#include "FFNetworkVF.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>
#include <numbers>

#include "AllocationCounter.h"
#include "ChildProcess.h"
#include "FatalReport.h"
#include "Random.h"
#include "Swimmer.h"

namespace {

const double Pi = std::numbers::pi;
const double NaN = std::numeric_limits<double>::quiet_NaN();
const double DifferenceStep = 1e-5;
const double DifferenceTolerance = 1e-8;

using Kind = ActivationKind;

// A value function over the swimmer with every adjustable weight drawn.
struct RandomSwimmerValue
{
    explicit RandomSwimmerValue(int segments = 3, std::uint32_t seed = 1)
        : Swimmer(segments), Value(Swimmer), Rng(seed)
    {
        Value.RandomizeParameters(Rng);
    }
    std::vector<double> RandomState()
    {
        std::vector<double> s(Swimmer.GetStateDimension());
        Swimmer.RandomState(s.data(), Rng);
        return s;
    }
    double ValueAt(const std::vector<double>& s)
    {
        Value.SetInput(s.data());
        return Value.Evaluate();
    }
    CSwimmer Swimmer;
    CFFNetworkVF Value;
    CRandom Rng;
};

TEST(FFNetworkVFTest, LaysOutTheSwimmerNetwork)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    const CFFNetwork& net = value.GetNetwork();
    ASSERT_EQ(net.GetNeuronCount(), 25);  // 3·8 + 1
    // Encoders, highest angle first: θ3 (variable 6), θ2 (4), θ1 (2).
    const int encoded[][3] = {{6, 9, 10}, {4, 11, 12}, {2, 13, 14}};
    for (const auto& e : encoded) {
        EXPECT_EQ(net.GetActivation(e[1]), Kind::Cos);
        EXPECT_EQ(net.GetActivation(e[2]), Kind::Sin);
        EXPECT_EQ(net.GetWeight(e[0], e[1]), Pi);
        EXPECT_EQ(net.GetWeight(e[0], e[2]), Pi);
        for (int l = 0; l < 25; ++l)
            EXPECT_EQ(value.GetMask().GetFlag(e[0], l), 0) << "out of angle " << e[0];
    }
    for (int i : {0, 1, 2, 3, 8, 15, 23})
        EXPECT_EQ(net.GetActivation(i), Kind::Tanh) << i;
    EXPECT_EQ(net.GetActivation(24), Kind::Linear);
    EXPECT_EQ(value.GetMask().GetFlag(3, 24), 1);
    EXPECT_EQ(value.GetMask().GetFlag(24, 3), 0);
    // The output's adjustable inputs: 24 sources minus the three angles.
    EXPECT_EQ(value.GetOutputGradientScale(), 1.0 / std::sqrt(21.0));
    EXPECT_EQ(value.GetParameterCount(), 625);
}

TEST(FFNetworkVFTest, ANewValueFunctionIsZeroEverywhereWithZeroGradient)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    CRandom rng(3);
    double s[8];
    swimmer.RandomState(s, rng);
    value.SetInput(s);
    EXPECT_EQ(value.Evaluate(), 0.0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(value.GetStateDerivative(i), 0.0) << i;
}

TEST(FFNetworkVFTest, ScalesTheBoundsOntoMinusOneToOneWithoutClamping)
{
    CSwimmer swimmer(1);  // (vGx, vGy, θ, ω) in [-1, 1]², [-π, π], [-6, 6]
    CFFNetworkVF value(swimmer);
    const double low[] = {-1, -1, -Pi, -6}, high[] = {1, 1, Pi, 6}, mid[] = {0, 0, 0, 0},
                 beyond[] = {3, -2, 2 * Pi, 12};
    double out[4];
    value.ScaleState(low, out);
    EXPECT_EQ(std::vector<double>(out, out + 4), std::vector<double>(4, -1.0));
    value.ScaleState(high, out);
    EXPECT_EQ(std::vector<double>(out, out + 4), std::vector<double>(4, 1.0));
    value.ScaleState(mid, out);
    EXPECT_EQ(std::vector<double>(out, out + 4), std::vector<double>(4, 0.0));
    value.ScaleState(beyond, out);
    EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{3, -2, 2, 2}));
}

TEST(FFNetworkVFTest, StateDerivativesMatchCentralDifferencesAnglesIncluded)
{
    RandomSwimmerValue v;
    for (int trial = 0; trial < 5; ++trial) {
        const std::vector<double> s = v.RandomState();
        v.ValueAt(s);
        std::vector<double> gradient(8);
        for (int i = 0; i < 8; ++i)
            gradient[i] = v.Value.GetStateDerivative(i);
        for (int i = 0; i < 8; ++i) {
            std::vector<double> up = s, down = s;
            up[i] += DifferenceStep;
            down[i] -= DifferenceStep;
            EXPECT_NEAR(gradient[i], (v.ValueAt(up) - v.ValueAt(down)) / (2 * DifferenceStep),
                        DifferenceTolerance)
                << "variable " << i;
        }
    }
}

// Derivatives computed along with the value are those of the separate
// forward-mode pass, bit for bit, and a change of the weights retires them.
TEST(FFNetworkVFTest, DerivativesFromTheEvaluationEqualThoseOfTheirOwnPass)
{
    RandomSwimmerValue v;
    const std::vector<double> s = v.RandomState();
    const std::vector<double> zero(625, 0.0), ones(625, 1.0);
    v.ValueAt(s);
    double fromEvaluation[8];
    for (int i = 0; i < 8; ++i)
        fromEvaluation[i] = v.Value.GetStateDerivative(i);
    v.Value.AddToParameters(zero.data(), 1.0);  // same weights, derivatives recomputed
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(v.Value.GetStateDerivative(i), fromEvaluation[i]) << i;

    // Weights changed after the evaluation: the derivatives use the new
    // weights with the evaluation's slopes, as a pass of their own would.
    CFFNetwork before, after;
    before.CopyFrom(v.Value.GetNetwork());
    v.Value.AddToParameters(ones.data(), 0.01);
    after.CopyFrom(v.Value.GetNetwork());
    std::vector<double> x(25, 0.0), y(25), d1(25), d2(25), t(25), sums(25);
    v.Value.ScaleState(s.data(), x.data());
    x[8] = 1.0;
    before.Forward(x.data(), y.data(), d1.data(), d2.data());
    for (int i = 0; i < 8; ++i) {
        after.InputDerivative(i, d1.data(), t.data(), sums.data());
        const double scale = 2.0 / (v.Swimmer.StateMax(i) - v.Swimmer.StateMin(i));
        EXPECT_EQ(v.Value.GetStateDerivative(i), scale * t[24]) << i;
    }
}

// The trace takes ∂V/∂w for every connection, scaled by 1/√c into the
// output, decays the old trace, and leaves the entries without connection.
TEST(FFNetworkVFTest, AccumulateGradientTracesTheWeightGradient)
{
    RandomSwimmerValue v;
    const int n = 25;
    const std::vector<double> s = v.RandomState();
    const double decay = 0.5;
    std::vector<double> trace(n * n);
    for (int l = 0; l < n; ++l)
        for (int k = 0; k < n; ++k)
            trace[k + n * l] = k < l ? 0.25 : NaN;
    v.ValueAt(s);
    v.Value.AccumulateGradient(trace.data(), decay);

    CSwimmer swimmer(3);
    CFFNetworkVF probe(swimmer);
    CFFNetwork shifted;
    for (int l = 1; l < n; ++l)
        for (int k = 0; k < l; ++k) {
            shifted.CopyFrom(v.Value.GetNetwork());
            const double w = shifted.GetWeight(k, l);
            shifted.SetWeight(k, l, w + DifferenceStep);
            probe.SetNetwork(shifted);
            probe.SetInput(s.data());
            const double up = probe.Evaluate();
            shifted.SetWeight(k, l, w - DifferenceStep);
            probe.SetNetwork(shifted);
            probe.SetInput(s.data());
            const double down = probe.Evaluate();
            double expected = (up - down) / (2 * DifferenceStep);
            if (l == n - 1)
                expected *= v.Value.GetOutputGradientScale();
            EXPECT_NEAR(trace[k + n * l], expected + decay * 0.25, DifferenceTolerance)
                << k << "->" << l;  // fixed connections are traced too
        }
    for (int l = 0; l < n; ++l)
        for (int k = l; k < n; ++k)
            EXPECT_TRUE(std::isnan(trace[k + n * l])) << k << "->" << l;
}

TEST(FFNetworkVFTest, LearningMovesOnlyAdjustableWeights)
{
    RandomSwimmerValue v;
    const int n = 25;
    std::vector<double> before(v.Value.GetParameterCount());
    for (int i = 0; i < n * n; ++i)
        before[i] = v.Value.GetParameter(i);
    const std::vector<double> delta(n * n, 1.0);
    v.Value.AddToParameters(delta.data(), 0.125);
    for (int l = 0; l < n; ++l)
        for (int k = 0; k < n; ++k) {
            const bool adjustable = k < l && k != 2 && k != 4 && k != 6;
            const double after = v.Value.GetParameter(k + n * l);
            if (adjustable) {
                EXPECT_EQ(after, before[k + n * l] + 0.125) << k << "->" << l;
            } else if (k < l) {
                EXPECT_EQ(after, before[k + n * l]) << k << "->" << l;
            }
        }
    EXPECT_EQ(v.Value.GetParameter(6 + n * 9), Pi);  // a π connection

    v.Value.ClearOutput();
    for (int trial = 0; trial < 3; ++trial)
        EXPECT_EQ(v.ValueAt(v.RandomState()), 0.0);
}

TEST(FFNetworkVFTest, EvaluationAndDerivativesAllocateNothing)
{
    RandomSwimmerValue v;
    const std::vector<double> s = v.RandomState();
    std::vector<double> trace(625, 0.0);
    AllocationCounter counter;
    v.Value.SetInput(s.data());
    v.Value.Evaluate();
    for (int i : {0, 1, 7, 5, 3})
        v.Value.GetStateDerivative(i);
    v.Value.AccumulateGradient(trace.data(), 0.9);
    EXPECT_EQ(counter.Count(), 0);
}

// The fatal checks end the program: run them in a child and read what it
// printed.
CHILD_BODY(NoRoomForTheBias)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNeurons(8);
}

CHILD_BODY(NoRoomForTheThirdEncoderPair)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNeurons(14);
}

CHILD_BODY(TheThirdEncoderPairWouldTakeTheOutput)
{
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNeurons(15);
}

TEST(FFNetworkVFTest, LayoutsThatDoNotFitStopTheProgram)
{
    EXPECT_TRUE(IsFatalReport(RunChild("NoRoomForTheBias"), "Neurons <= GetStateDimension()",
                              "FFNetworkVF.cpp"));
    EXPECT_TRUE(IsFatalReport(RunChild("NoRoomForTheThirdEncoderPair"),
                              "Neurons <= LastInput + 2", "FFNetworkVF.cpp"));
    EXPECT_TRUE(IsFatalReport(RunChild("TheThirdEncoderPairWouldTakeTheOutput"),
                              "Neurons <= LastInput + 3", "FFNetworkVF.cpp"));

    // One more neuron fits: encoders up to 14, output 15, no hidden neuron.
    CSwimmer swimmer(3);
    CFFNetworkVF value(swimmer);
    value.SetNeurons(16);
    EXPECT_EQ(value.GetNetwork().GetActivation(14), Kind::Sin);
    EXPECT_EQ(value.GetNetwork().GetActivation(15), Kind::Linear);
}

}  // namespace
