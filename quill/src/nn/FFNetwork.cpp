#include "FFNetwork.h"

#include <cmath>

#include "Random.h"
#include "ConnectionMask.h"

void CFFNetwork::Resize(int n)
{
    Kinds.reset();
    Functions.reset();
    Weights.reset();
    if (n != 0) {
        Kinds.reset(new ActivationKind[n]);
        Functions.reset(new ActivationFunction[n]);
        Weights.reset(new double[n * n]);
    }
    Count = n;
}

void CFFNetwork::SetActivation(int i, ActivationKind kind)
{
    Kinds[i] = kind;
    Functions[i] = GetActivationFunction(kind);
}

void CFFNetwork::SetAllActivations(ActivationKind kind)
{
    for (int i = Count - 1; i >= 0; --i)
        SetActivation(i, kind);
}

void CFFNetwork::ClearWeights()
{
    for (int k = 0; k < Count * Count; ++k)
        Weights[k] = 0.0;
}

CFFNetwork& CFFNetwork::CopyFrom(const CFFNetwork& other)
{
    if (&other == this)
        return *this;
    Resize(other.Count);
    for (int i = Count - 1; i >= 0; --i)
        SetActivation(i, other.Kinds[i]);
    for (int k = 0; k < Count * Count; ++k)
        Weights[k] = other.Weights[k];
    return *this;
}

void CFFNetwork::Load(int count, const std::int8_t* kinds, const float* weights)
{
    Resize(count);
    for (int i = count - 1; i >= 0; --i)
        SetActivation(i, static_cast<ActivationKind>(kinds[i]));
    const float* next = weights;
    for (int k = 0; k < count; ++k)
        for (int l = k + 1; l < count; ++l)
            Weights[k + count * l] = static_cast<double>(*next++);
}

void CFFNetwork::Randomize(const CConnectionMask& mask, CRandom& rng)
{
    const int n = Count;
    for (int l = n - 1; l >= 0; --l) {
        int fanIn = 0;
        for (int k = n - 1; k >= 0; --k)
            fanIn += mask.GetFlag(k, l) != 0;
        if (fanIn == 0)
            continue;
        // Uniform in [-r, r) with r = 2/√c keeps the variance of a target's
        // weighted sum independent of how many inputs it has.
        const double r = 2.0 / std::sqrt(static_cast<double>(fanIn));
        for (int k = n - 1; k >= 0; --k)
            if (mask.GetFlag(k, l) != 0)
                Weights[k + n * l] = (2.0 * rng.Real01() - 1.0) * r;
    }
}

bool AllWeightsFinite(const CFFNetwork& network)
{
    const double* w = network.GetWeights();
    for (int i = network.GetNeuronCount() * network.GetNeuronCount() - 1; i >= 0; --i)
        if (!std::isfinite(w[i]))
            return false;
    return true;
}
