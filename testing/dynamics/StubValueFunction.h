#pragma once
// CStubValueFunction: a value function with no parameters for tests of the
// code that takes one. It values a state by its first component, answers
// dV/ds_i from a fixed gradient (0 beyond it), records the indices asked
// for, and logs its inputs and evaluations into a log shared with the test.

#include <string>
#include <utility>
#include <vector>

#include "ValueFunction.h"

class CStubValueFunction : public CValueFunction
{
public:
    CStubValueFunction(CDynamicModel& model, std::vector<double> gradient,
                       std::string* log = nullptr)
        : CValueFunction(model), Gradient(std::move(gradient)), Log(log)
    {
    }
    int GetParameterCount() const override { return 0; }
    double GetParameter(int) const override { return 0.0; }
    void RandomizeParameters(CRandom&) override {}
    void ClearOutput() override {}
    void SetInput(const double* state) override
    {
        if (Log)
            *Log += "input ";
        Input = state[0];
    }
    double Evaluate() override
    {
        if (Log)
            *Log += "evaluate ";
        return Input;
    }
    double GetStateDerivative(int i) override
    {
        Queries.push_back(i);
        return i < static_cast<int>(Gradient.size()) ? Gradient[i] : 0.0;
    }
    void AccumulateGradient(double*, double) override {}
    void AddToParameters(const double*, double) override {}

    std::vector<double> Gradient;
    double Input = 0.0;
    std::string* Log;
    std::vector<int> Queries;
};
