#pragma once
// CFFNetworkVF: a value function represented by a CFFNetwork.
//
// Neuron layout for a model of d state variables, a of them Periodic:
//     0 .. d-1          state inputs (Tanh), external input the scaled variable
//     d                 bias (Tanh), external input 1
//     d+1 .. d+2a       a Cos and a Sin encoder per Periodic variable, the
//                       highest-numbered variable first
//     d+2a+1 .. N-2     hidden (Tanh)
//     N-1               output (Linear): the value
// Each Periodic input feeds its two encoders through fixed weights of π, so
// that for bounds [-π, π] the encoders see the angle itself; no other weight
// out of a Periodic input is adjustable. Every other forward connection is.

#include "Vector.h"
#include "ConnectionMask.h"
#include "FFNetwork.h"
#include "ScaledInputVF.h"

class CFFNetworkVF : public CScaledInputVF
{
public:
    // Lays out the default network of 3·d + 1 neurons, valuing every state at 0.
    explicit CFFNetworkVF(CDynamicModel& model);
    ~CFFNetworkVF() override;

    // Lays out a fresh network of the given size for the model; the program
    // stops if the inputs, the bias, the encoders and the output do not fit.
    void SetNeurons(int Neurons);
    // The fewest neurons a layout for the model can have: its inputs, the
    // bias, an encoder pair per Periodic variable and the output. Below it
    // SetNeurons stops the program (or makes the output an encoder); asking
    // first is how a caller with a size from elsewhere avoids that.
    static int MinimumNeurons(const CDynamicModel& model);
    // Lays out a network of the other's size and takes its kinds and weights;
    // the mask, inputs, seed and output gradient scale stay those of the layout.
    void SetNetwork(const CFFNetwork& network);

    int GetParameterCount() const override;
    double GetParameter(int i) const override;
    void RandomizeParameters(CRandom& rng) override;
    void ClearOutput() override;
    void SetInput(const double* state) override;
    double Evaluate() override;
    double GetStateDerivative(int i) override;
    void AccumulateGradient(double* trace, double decay) override;
    void AddToParameters(const double* delta, double factor) override;

    const CFFNetwork& GetNetwork() const { return Network; }
    const CConnectionMask& GetMask() const { return Mask; }
    double GetOutputGradientScale() const { return OutputGradientScale; }

private:
    CFFNetwork Network;
    CConnectionMask Mask;
    CVector X;      // external inputs: scaled state, bias 1, zeros
    CVector Y;      // outputs of the last Evaluate
    CVector T;      // input derivatives
    CVector D1;     // activation slopes of the last Evaluate
    CVector D2;     // activation curvatures of the last Evaluate
    CVector E;      // backward seed: the unit vector at the output
    CVector Delta;  // deltas
    CVector S;      // tangent sums
    CVector B;      // back sums
    // 1/√c, c the adjustable inputs of the output neuron: scales the output's
    // share of the weight gradient.
    double OutputGradientScale = 0.0;

    // Evaluate computes the input derivatives of every state variable along
    // with the values (they cost little more than the values alone), and
    // GetStateDerivative answers from them while they are valid: until the
    // next Evaluate or a change of the weights. Lane i of neuron l is at
    // l·Lanes + i.
    int Lanes = 0;
    CVector LaneT;
    bool LanesValid = false;
};
