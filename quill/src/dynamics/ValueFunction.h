#pragma once
// CValueFunction: the abstract value V(s) of a model's state s. Its virtual
// operations, in slot order, cover evaluation (SetInput, Evaluate,
// GetStateDerivative) and learning (parameters, gradient traces, updates).
//
// Call order: Evaluate values the state of the last SetInput; the derivative
// and gradient queries use the quantities of the last Evaluate.
//
// The interface lives beside the model because the model's trajectory step
// and the swimmer's greedy choice take it; the network's value function
// implements it a layer up, so the dynamics never depend on the network.

class CDynamicModel;
class CRandom;

class CValueFunction
{
public:
    // Interface for learning (the program only evaluates): the parameters,
    // their randomisation, traces and updates.
    virtual int GetParameterCount() const = 0;
    virtual double GetParameter(int i) const = 0;
    virtual void RandomizeParameters(CRandom& rng) = 0;
    virtual void ClearOutput() = 0;
    virtual void SetInput(const double* state) = 0;
    virtual double Evaluate() = 0;
    // dV/ds_i at the state of the last Evaluate.
    virtual double GetStateDerivative(int i) = 0;
    virtual void AccumulateGradient(double* trace, double decay) = 0;
    virtual void AddToParameters(const double* delta, double factor) = 0;
    virtual ~CValueFunction() = default;

    CValueFunction(const CValueFunction&) = delete;
    CValueFunction& operator=(const CValueFunction&) = delete;

protected:
    // The model is not owned and must outlive the value function.
    explicit CValueFunction(CDynamicModel& model) : Model(model) {}

    CDynamicModel& Model;
};
