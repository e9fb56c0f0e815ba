#include "TemporalDifference.h"

#include <cmath>

#include "Random.h"

CTDLearner::CTDLearner(CDynamicModel& model, CValueFunction& valueFunction,
                       CController& controller, CRandom& rng, const TDConstants& constants)
    : Model(model),
      ValueFunction(valueFunction),
      Controller(controller),
      Rng(rng),
      StepPeriod(constants.StepPeriod),
      LearningRate(constants.LearningRate),
      Gamma(std::exp(-constants.StepPeriod / constants.Discount)),
      Decay(std::exp(-constants.StepPeriod / constants.TraceDecay)),
      TrajectorySteps(std::llround(constants.TrajectoryTime / constants.StepPeriod)),
      State(model.GetStateDimension()),
      Action(model.GetActionDimension()),
      Derivative(model.GetStateDimension()),
      Trace(valueFunction.GetParameterCount())
{
    State.Zero();
    Action.Zero();
    Derivative.Zero();
    Trace.Zero();
}

void CTDLearner::StartTrajectory()
{
    Model.RandomState(State, Rng);
    ValueFunction.SetInput(State);
    ValueFunction.Evaluate();
    ValueFunction.AccumulateGradient(Trace, 0.0);
    StepsLeft = TrajectorySteps;
}

double CTDLearner::Step()
{
    if (StepsLeft == 0)
        StartTrajectory();
    double before, after, reward;
    Model.TrajectoryStep(State, Action, Derivative, StepPeriod, ValueFunction, Controller, before,
                         after, reward);
    const double delta = reward * StepPeriod + Gamma * after - before;
    ValueFunction.AddToParameters(Trace, LearningRate * delta);
    --StepsLeft;
    if (!Model.IsInside(State))
        StepsLeft = 0;  // the exit value ended it
    else
        ValueFunction.AccumulateGradient(Trace, Decay);  // at x', which the step evaluated
    return delta;
}
