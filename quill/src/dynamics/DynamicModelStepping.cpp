// The integration steps of CDynamicModel. Periodic variables that a step
// takes outside their bounds are moved back by one period.

#include "DynamicModel.h"

#include "ValueFunction.h"

double CDynamicModel::WrapShift(int i, double value) const
{
    if (StateKinds[i] != Periodic)
        return 0.0;
    // Strict tests: a value exactly on a bound stays. At most one period is
    // added or removed, so a step longer than a period can stay outside.
    if (value > StateMaximum[i])
        return StateMinimum[i] - StateMaximum[i];
    if (value < StateMinimum[i])
        return StateMaximum[i] - StateMinimum[i];
    return 0.0;
}

// x <- x + h·d
void CDynamicModel::EulerStep(double* state, const double* derivative, double h)
{
    for (int i = StateDimension - 1; i >= 0; --i) {
        const double v = h * derivative[i] + state[i];
        state[i] = v;
        const double shift = WrapShift(i, v);
        if (shift != 0.0)
            state[i] = v + shift;
    }
}

// x_(k+1) = (x_(k-1) + x_k)/2 + 1.5·h·f(x_k), with the previous state p
// holding x_(k-1) before the call and x_k after it. A wrap moves both members
// of the pair, so that they keep their difference.
void CDynamicModel::TwoStepUpdate(double* previous, double* state, const double* derivative,
                                  double h)
{
    for (int i = StateDimension - 1; i >= 0; --i) {
        const double v = (previous[i] + state[i]) * 0.5 + h * derivative[i] * 1.5;
        previous[i] = state[i];
        state[i] = v;
        const double shift = WrapShift(i, v);
        if (shift != 0.0) {
            state[i] = v + shift;
            previous[i] += shift;
        }
    }
}

// One controlled Euler step that also reports what a learning procedure
// needs: the value before and after the step and the reward. The caller (or
// the previous call) has given the valueFunction the state as its input.
void CDynamicModel::TrajectoryStep(double* state, double* action, double* derivative, double h,
                                   CValueFunction& valueFunction, CController& controller,
                                   double& valueBefore, double& valueAfter, double& reward)
{
    valueBefore = valueFunction.Evaluate();
    controller.ChooseAction(state, valueFunction, action);
    reward = GetReward(state, action);
    GetDerivative(state, action, derivative);
    EulerStep(state, derivative, h);
    if (IsInside(state)) {
        valueFunction.SetInput(state);
        valueAfter = valueFunction.Evaluate();
    } else {
        valueAfter = GetExitValue(state);
    }
}
