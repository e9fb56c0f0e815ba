#pragma once
// CFFNetwork: a feed-forward network over totally ordered neurons, in which
// neuron l may take a weighted input from every neuron k < l (a fully
// connected cascade, no layers imposed), and every neuron has its own
// activation function from the table.
//
// Neuron m computes s_m = Σ_(k<m) w(k→m)·Y[k] and Y[m] = f_m(s_m) + X[m]: the
// external input is added after the activation. The weight from k to l is
// entry k + n·l, so the weights into one target are contiguous and ordered
// by source; entries with k >= l carry no connection and are never read.
//
// The passes write only into vectors of n doubles that the caller owns, and
// allocate nothing.

#include <cstdint>
#include <memory>

#include "Activation.h"

class CConnectionMask;
class CRandom;

class CFFNetwork
{
public:
    CFFNetwork() = default;
    CFFNetwork(const CFFNetwork&) = delete;
    CFFNetwork& operator=(const CFFNetwork&) = delete;

    // Kinds and weights of the new size are unspecified until set.
    void Resize(int n);
    void SetActivation(int i, ActivationKind kind);
    void SetAllActivations(ActivationKind kind);
    void ClearWeights();
    // Becomes a copy of other: size, kinds and every weight entry.
    CFFNetwork& CopyFrom(const CFFNetwork& other);
    // Builds the network from a definition: count neurons, their activation
    // codes, and the count·(count-1)/2 weights in source-major order (from
    // neuron 0 to 1, 2, ..., then from 1 to 2, ..., last from count-2 to
    // count-1), widened to double.
    void Load(int count, const std::int8_t* kinds, const float* weights);
    // Draws every adjustable weight uniformly in [-2/√c, 2/√c), c the fan-in
    // of its target: targets descending, sources descending within a target.
    void Randomize(const CConnectionMask& mask, CRandom& rng);

    // Outputs Y and the activations' slopes D1 and curvatures D2 for inputs X.
    void Forward(const double* X, double* Y, double* D1, double* D2) const;
    // Forward mode: T[i] = ∂Y[i]/∂X[c] and S[i] = ∂s_i/∂X[c] at the last Forward.
    void InputDerivative(int c, const double* D1, double* T, double* S) const;
    // Forward, and with it InputDerivative for every input c < lanes: lane c
    // of T (T[i·lanes + c]) receives what InputDerivative(c) leaves in T[i],
    // to the last bit. lanes is a multiple of LaneBlock. The lanes' sums do
    // not wait on each other or on the forward chain, so they run in the time
    // that chain spends waiting on its own additions and activations.
    static constexpr int LaneBlock = 8;
    void ForwardWithInputDerivatives(const double* X, double* Y, double* D1, double* D2, int lanes,
                                     double* T) const;
    // Reverse mode for the seed E: back sums B[i] and deltas Δ[i]; with E the
    // unit vector at o, B[i] = ∂Y[o]/∂X[i], Δ[i] = ∂Y[o]/∂s_i and
    // ∂Y[o]/∂w(k→l) = Y[k]·Δ[l].
    void Backward(const double* E, const double* D1, double* B, double* Delta) const;

    int GetNeuronCount() const { return Count; }
    ActivationKind GetActivation(int i) const { return Kinds[i]; }
    double GetWeight(int source, int target) const { return Weights[source + Count * target]; }
    void SetWeight(int source, int target, double w) { Weights[source + Count * target] = w; }
    // The whole n·n weight matrix in its flat order.
    double* GetWeights() { return Weights.get(); }
    const double* GetWeights() const { return Weights.get(); }

private:
    int Count = 0;
    std::unique_ptr<ActivationKind[]> Kinds;
    std::unique_ptr<ActivationFunction[]> Functions;  // entry i always matches Kinds[i]
    std::unique_ptr<double[]> Weights;
};

// Whether every entry of the weight matrix is finite: weights that learning
// drove to infinity or NaN make no network worth keeping.
bool AllWeightsFinite(const CFFNetwork& network);
