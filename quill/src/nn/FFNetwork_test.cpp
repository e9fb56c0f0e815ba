#include "FFNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Random.h"
#include "ConnectionMask.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
// Central differences with h ~ the cube root of machine epsilon leave a
// truncation and rounding error of about 1e-10 on values of order 1.
const double DifferenceStep = 1e-5;
const double DifferenceTolerance = 1e-8;

// A network of n neurons cycling through all seven activation kinds, with
// random weights in [-1, 1) on every forward connection and NaN on every
// entry that carries none, so that a pass reading one shows it.
void MakeMixedNetwork(CFFNetwork& net, int n, CRandom& rng)
{
    net.Resize(n);
    for (int i = 0; i < n; ++i)
        net.SetActivation(i, static_cast<ActivationKind>(i % ActivationKindCount));
    for (int l = 0; l < n; ++l)
        for (int k = 0; k < n; ++k)
            net.SetWeight(k, l, k < l ? 2 * rng.Real01() - 1 : NaN);
}

std::vector<double> RandomInputs(int n, CRandom& rng)
{
    std::vector<double> x(n);
    for (double& v : x)
        v = 2 * rng.Real01() - 1;
    return x;
}

struct Pass
{
    explicit Pass(int n) : Y(n, NaN), D1(n, NaN), D2(n, NaN), T(n, NaN), S(n, NaN), B(n, NaN), Delta(n, NaN) {}
    std::vector<double> Y, D1, D2, T, S, B, Delta;
};

double Output(const CFFNetwork& net, const std::vector<double>& x, int o)
{
    Pass p(net.GetNeuronCount());
    net.Forward(x.data(), p.Y.data(), p.D1.data(), p.D2.data());
    return p.Y[o];
}

TEST(FFNetworkTest, WithoutWeightsEachNeuronOutputsItsActivationOfZeroPlusItsInput)
{
    CFFNetwork net;
    net.Resize(3);
    net.SetAllActivations(ActivationKind::Tanh);
    net.SetActivation(1, ActivationKind::Cos);
    net.SetActivation(2, ActivationKind::Zero);
    net.ClearWeights();
    const double x[] = {0.25, 0.5, -0.75};
    Pass p(3);
    net.Forward(x, p.Y.data(), p.D1.data(), p.D2.data());
    EXPECT_EQ(p.Y[0], 0.25);       // tanh 0 + X
    EXPECT_EQ(p.Y[1], 1.5);        // cos 0 + X
    EXPECT_EQ(p.Y[2], -0.75);      // Zero: exactly its input
    EXPECT_EQ(p.D1[2], 0.0);       // and nothing passes through it
}

TEST(FFNetworkTest, LoadReadsTheDefinitionInSourceMajorOrder)
{
    // Float p of the definition is p itself, so every weight names its position.
    std::vector<float> positions(435);
    for (int p = 0; p < 435; ++p)
        positions[p] = static_cast<float>(p);
    std::vector<std::int8_t> kinds(30, 2);
    kinds[29] = 1;
    kinds[3] = 3;
    CFFNetwork net;
    net.Load(30, kinds.data(), positions.data());
    ASSERT_EQ(net.GetNeuronCount(), 30);
    EXPECT_EQ(net.GetWeight(0, 1), 0);
    EXPECT_EQ(net.GetWeight(0, 29), 28);
    EXPECT_EQ(net.GetWeight(1, 2), 29);
    EXPECT_EQ(net.GetWeight(28, 29), 434);
    for (int k = 0; k < 30; ++k)
        for (int l = k + 1; l < 30; ++l)
            ASSERT_EQ(net.GetWeight(k, l), k * 29 - k * (k - 1) / 2 + (l - k - 1));
    EXPECT_EQ(net.GetActivation(3), ActivationKind::Sin);
    EXPECT_EQ(net.GetActivation(29), ActivationKind::Linear);

    const std::int8_t cosine = 4;
    net.Load(1, &cosine, nullptr);  // one neuron reads no weight
    ASSERT_EQ(net.GetNeuronCount(), 1);
    EXPECT_EQ(net.GetActivation(0), ActivationKind::Cos);
    net.Load(0, nullptr, nullptr);
    EXPECT_EQ(net.GetNeuronCount(), 0);
}

TEST(FFNetworkTest, CopyFromCopiesEverythingAndLeavesItselfAlone)
{
    CRandom rng(1);
    CFFNetwork source, copy;
    MakeMixedNetwork(source, 6, rng);
    copy.CopyFrom(source);
    ASSERT_EQ(copy.GetNeuronCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(copy.GetActivation(i), source.GetActivation(i));
        for (int k = 0; k < i; ++k)
            EXPECT_EQ(copy.GetWeight(k, i), source.GetWeight(k, i));
    }
    const double before = copy.GetWeight(2, 5);
    copy.CopyFrom(copy);
    EXPECT_EQ(copy.GetWeight(2, 5), before);

    CFFNetwork empty;
    copy.CopyFrom(empty);
    EXPECT_EQ(copy.GetNeuronCount(), 0);
}

TEST(FFNetworkTest, RandomizeDrawsAdjustableWeightsInItsOrderAndRange)
{
    const int n = 6;
    CConnectionMask mask;
    mask.Resize(n);
    mask.SetForward();
    mask.ClearSource(2);  // connections out of 2 are fixed
    for (int l = 0; l < n; ++l) {
        int flagged = 0;
        for (int k = 0; k < n; ++k)
            flagged += mask.GetFlag(k, l) != 0;
        EXPECT_EQ(flagged, l > 2 ? l - 1 : l) << l;
    }

    CFFNetwork net, again;
    for (CFFNetwork* network : {&net, &again}) {
        network->Resize(n);
        network->SetAllActivations(ActivationKind::Tanh);
        for (int k = 0; k < n * n; ++k)
            network->GetWeights()[k] = 100.0 + k;  // a mark on every entry
    }
    CRandom rng(9), replay(9), same(9);
    net.Randomize(mask, rng);
    again.Randomize(mask, same);

    // Targets descending, sources descending, one draw per flagged connection.
    for (int l = n - 1; l >= 1; --l) {
        const int c = l > 2 ? l - 1 : l;
        const double r = 2.0 / std::sqrt(static_cast<double>(c));
        for (int k = n - 1; k >= 0; --k) {
            if (mask.GetFlag(k, l) == 0) {
                EXPECT_EQ(net.GetWeight(k, l), 100.0 + k + n * l) << k << "->" << l;
                continue;
            }
            const double w = (2.0 * replay.Real01() - 1.0) * r;
            EXPECT_EQ(net.GetWeight(k, l), w) << k << "->" << l;
            EXPECT_GE(w, -r);
            EXPECT_LT(w, r);
        }
    }
    EXPECT_EQ(rng.Next(), replay.Next());  // nothing drawn for neuron 0
    for (int k = 0; k < n; ++k)
        EXPECT_EQ(net.GetWeight(k, 0), 100.0 + k);
    for (int k = 0; k < n * n; ++k)
        EXPECT_EQ(net.GetWeights()[k], again.GetWeights()[k]);
}

// Every pass writes all of its outputs and reads no entry without a
// connection: the NaNs planted there would show.
TEST(FFNetworkTest, PassesWriteEveryOutputAndReadOnlyConnections)
{
    CRandom rng(2);
    const int n = 12;
    CFFNetwork net;
    MakeMixedNetwork(net, n, rng);
    const std::vector<double> x = RandomInputs(n, rng);
    std::vector<double> seed(n, 0.0);
    seed[n - 1] = 1.0;
    Pass p(n);
    net.Forward(x.data(), p.Y.data(), p.D1.data(), p.D2.data());
    net.InputDerivative(3, p.D1.data(), p.T.data(), p.S.data());
    net.Backward(seed.data(), p.D1.data(), p.B.data(), p.Delta.data());
    for (int i = 0; i < n; ++i)
        for (double v : {p.Y[i], p.D1[i], p.D2[i], p.T[i], p.S[i], p.B[i], p.Delta[i]})
            EXPECT_TRUE(std::isfinite(v)) << "neuron " << i;
}

TEST(FFNetworkTest, InputDerivativeMatchesCentralDifferences)
{
    CRandom rng(3);
    const int n = 14;
    CFFNetwork net;
    MakeMixedNetwork(net, n, rng);
    const std::vector<double> x = RandomInputs(n, rng);
    Pass p(n);
    net.Forward(x.data(), p.Y.data(), p.D1.data(), p.D2.data());
    for (int c = 0; c < n; ++c) {
        net.InputDerivative(c, p.D1.data(), p.T.data(), p.S.data());
        std::vector<double> up = x, down = x;
        up[c] += DifferenceStep;
        down[c] -= DifferenceStep;
        for (int o = 0; o < n; ++o) {
            const double difference = (Output(net, up, o) - Output(net, down, o)) / (2 * DifferenceStep);
            EXPECT_NEAR(p.T[o], difference, DifferenceTolerance) << "c=" << c << " o=" << o;
            if (o < c) {
                EXPECT_EQ(p.T[o], 0.0);
            }
        }
        EXPECT_EQ(p.T[c], p.S[c] * p.D1[c] + 1.0);
    }
    net.InputDerivative(n, p.D1.data(), p.T.data(), p.S.data());  // no such neuron
    for (double t : p.T)
        EXPECT_EQ(t, 0.0);
}

// The fused pass computes, lane by lane, exactly what the separate passes
// compute: same operations, same order, same bits.
TEST(FFNetworkTest, TheFusedPassGivesTheSeparatePassesBits)
{
    CRandom rng(5);
    const int n = 14, lanes = 2 * CFFNetwork::LaneBlock;  // lanes beyond n stay 0
    CFFNetwork net;
    MakeMixedNetwork(net, n, rng);
    const std::vector<double> x = RandomInputs(n, rng);
    Pass plain(n), fused(n);
    std::vector<double> lanesT(n * lanes, NaN);
    net.Forward(x.data(), plain.Y.data(), plain.D1.data(), plain.D2.data());
    net.ForwardWithInputDerivatives(x.data(), fused.Y.data(), fused.D1.data(), fused.D2.data(),
                                    lanes, lanesT.data());
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(fused.Y[i], plain.Y[i]);
        EXPECT_EQ(fused.D1[i], plain.D1[i]);
        EXPECT_EQ(fused.D2[i], plain.D2[i]);
    }
    for (int c = 0; c < lanes; ++c) {
        net.InputDerivative(c, plain.D1.data(), plain.T.data(), plain.S.data());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(lanesT[i * lanes + c], plain.T[i]) << "lane " << c << " neuron " << i;
    }
}

// Reverse mode agrees with forward mode at every input, and its deltas give
// the weight gradient, ∂Y[o]/∂w(k→l) = Y[k]·Δ[l].
TEST(FFNetworkTest, BackwardAgreesWithForwardModeAndWithWeightDifferences)
{
    CRandom rng(4);
    const int n = 14;
    CFFNetwork net;
    MakeMixedNetwork(net, n, rng);
    const std::vector<double> x = RandomInputs(n, rng);
    for (int o : {n - 1, n / 2}) {
        std::vector<double> seed(n, 0.0);
        seed[o] = 1.0;
        Pass p(n);
        net.Forward(x.data(), p.Y.data(), p.D1.data(), p.D2.data());
        net.Backward(seed.data(), p.D1.data(), p.B.data(), p.Delta.data());
        EXPECT_EQ(p.B[o], 1.0);
        EXPECT_EQ(p.Delta[o], p.D1[o]);
        for (int i = o + 1; i < n; ++i) {
            EXPECT_EQ(p.B[i], 0.0);
            EXPECT_EQ(p.Delta[i], 0.0);
        }
        for (int c = 0; c < n; ++c) {
            net.InputDerivative(c, p.D1.data(), p.T.data(), p.S.data());
            EXPECT_NEAR(p.B[c], p.T[o], 1e-13) << "o=" << o << " c=" << c;
        }
        for (int l = 1; l < n; ++l)
            for (int k = 0; k < l; ++k) {
                CFFNetwork shifted;
                shifted.CopyFrom(net);
                const double w = net.GetWeight(k, l);
                shifted.SetWeight(k, l, w + DifferenceStep);
                const double up = Output(shifted, x, o);
                shifted.SetWeight(k, l, w - DifferenceStep);
                const double down = Output(shifted, x, o);
                EXPECT_NEAR(p.Y[k] * p.Delta[l], (up - down) / (2 * DifferenceStep),
                            DifferenceTolerance)
                    << k << "->" << l << " for output " << o;
            }
    }
}

}  // namespace
