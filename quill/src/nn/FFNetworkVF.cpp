#include "FFNetworkVF.h"

#include <cmath>
#include <numbers>

#include "FatalCheck.h"
#include "DynamicModel.h"

namespace {

// The encoders of an angle bounded by [-π, π] receive π times its scaled
// value, the angle itself.
const double EncoderWeight = std::numbers::pi;

}  // namespace

CFFNetworkVF::CFFNetworkVF(CDynamicModel& model) : CScaledInputVF(model)
{
    SetNeurons(3 * GetStateDimension() + 1);
}

CFFNetworkVF::~CFFNetworkVF() = default;

void CFFNetworkVF::SetNeurons(int Neurons)
{
    const int d = GetStateDimension();
    // The inputs and the bias take neurons 0..d, so the output needs d + 2
    // neurons; this check stops only at d or fewer. With d + 1 the bias
    // neuron is also the output: a model with an angle is stopped by the
    // encoder checks below, one without gets that degenerate network.
    FATAL_CHECK(Neurons <= GetStateDimension());

    Network.Resize(Neurons);
    Mask.Resize(Neurons);
    for (CVector* v : {&X, &Y, &T, &D1, &D2, &E, &Delta, &S, &B})
        v->Resize(Neurons);
    const int block = CFFNetwork::LaneBlock;
    Lanes = (d + block - 1) / block * block;
    LaneT.Resize(Neurons * Lanes);
    LanesValid = false;

    X.Zero();
    X[d] = 1.0;
    E.Zero();
    E[Neurons - 1] = 1.0;
    Mask.SetForward();
    Network.SetAllActivations(ActivationKind::Tanh);
    Network.SetActivation(Neurons - 1, ActivationKind::Linear);
    Network.ClearWeights();

    int LastInput = d;
    for (int j = d - 1; j >= 0; --j) {
        if (Model.StateKind(j) != CDynamicModel::Periodic)
            continue;
        FATAL_CHECK(Neurons <= LastInput + 2);
        // The pair must also stay below the output neuron, or the output
        // would become an angle encoder and the value a sine.
        FATAL_CHECK(Neurons <= LastInput + 3);
        Mask.ClearSource(j);
        Network.SetWeight(j, LastInput + 1, EncoderWeight);
        Network.SetWeight(j, LastInput + 2, EncoderWeight);
        Network.SetActivation(LastInput + 1, ActivationKind::Cos);
        Network.SetActivation(LastInput + 2, ActivationKind::Sin);
        LastInput += 2;
    }

    int fanIn = 0;
    for (int k = Neurons - 1; k >= 0; --k)
        fanIn += Mask.GetFlag(k, Neurons - 1) != 0;
    OutputGradientScale = 1.0 / std::sqrt(static_cast<double>(fanIn));
}

int CFFNetworkVF::MinimumNeurons(const CDynamicModel& model)
{
    const int d = model.GetStateDimension();
    int angles = 0;
    for (int j = 0; j < d; ++j)
        angles += model.StateKind(j) == CDynamicModel::Periodic;
    return d + 1 + 2 * angles + 1;
}

void CFFNetworkVF::SetNetwork(const CFFNetwork& network)
{
    SetNeurons(network.GetNeuronCount());  // leaves the lanes invalid
    Network.CopyFrom(network);
}

int CFFNetworkVF::GetParameterCount() const
{
    const int n = Network.GetNeuronCount();
    return n * n;
}

double CFFNetworkVF::GetParameter(int i) const
{
    return Network.GetWeights()[i];
}

void CFFNetworkVF::RandomizeParameters(CRandom& rng)
{
    LanesValid = false;
    Network.Randomize(Mask, rng);
}

void CFFNetworkVF::ClearOutput()
{
    LanesValid = false;
    const int n = Network.GetNeuronCount();
    for (int k = n - 1; k >= 0; --k)
        Network.SetWeight(k, n - 1, 0.0);
}

void CFFNetworkVF::SetInput(const double* state)
{
    ScaleState(state, X);
}

double CFFNetworkVF::Evaluate()
{
    Network.ForwardWithInputDerivatives(X, Y, D1, D2, Lanes, LaneT);
    LanesValid = true;
    return Y[Network.GetNeuronCount() - 1];
}

// Chain rule through the input scaling: ∂V/∂s_i = scale_i·∂Y[N-1]/∂X[i].
double CFFNetworkVF::GetStateDerivative(int i)
{
    const int output = Network.GetNeuronCount() - 1;
    if (LanesValid && i >= 0 && i < GetStateDimension())
        return Scale[i] * LaneT[output * Lanes + i];
    Network.InputDerivative(i, D1, T, S);
    return Scale[i] * T[output];
}

// trace <- ∂V/∂w + decay·trace for every connection, with the output
// neuron's incoming share scaled by 1/√c. The scale is applied after the
// backward pass, so the other deltas stem from the unscaled output delta.
void CFFNetworkVF::AccumulateGradient(double* trace, double decay)
{
    const int n = Network.GetNeuronCount();
    Network.Backward(E, D1, B, Delta);
    Delta[n - 1] = Delta[n - 1] * OutputGradientScale;
    for (int l = n - 1; l >= 1; --l)
        for (int k = l - 1; k >= 0; --k)
            trace[k + n * l] = Y[k] * Delta[l] + decay * trace[k + n * l];
}

void CFFNetworkVF::AddToParameters(const double* delta, double factor)
{
    LanesValid = false;
    const int n = Network.GetNeuronCount();
    double* w = Network.GetWeights();
    for (int l = n - 1; l >= 1; --l)
        for (int k = l - 1; k >= 0; --k)
            if (Mask.GetFlag(k, l) != 0)
                w[k + n * l] += factor * delta[k + n * l];
}
