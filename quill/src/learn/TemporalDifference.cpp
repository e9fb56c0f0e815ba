#include "TemporalDifference.h"

#include <algorithm>
#include <cmath>

#include "Elementary.h"
#include "Random.h"
#include "RankGroup.h"

CTDLearner::CTDLearner(CDynamicModel& model, CValueFunction& valueFunction,
                       CController& controller, CRandom& rng, const TDConstants& constants)
    : Model(model),
      ValueFunction(valueFunction),
      Controller(controller),
      Rng(rng),
      StepPeriod(constants.StepPeriod),
      LearningRate(constants.LearningRate),
      Gamma(Elementary::Exp(-constants.StepPeriod / constants.Discount)),
      Decay(Elementary::Exp(-constants.StepPeriod / constants.TraceDecay)),
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

void CTDLearner::SetRates(double learningRate, double discount)
{
    LearningRate = learningRate;
    Gamma = Elementary::Exp(-StepPeriod / discount);
}

double CTDLearner::Step()
{
    const double delta = Advance();
    Learn(GetTrace(), GetUpdateFactor());
    CarryTrace();
    return delta;
}

double CTDLearner::Advance()
{
    if (StepsLeft == 0)
        StartTrajectory();
    double before, after, reward;
    Model.TrajectoryStep(State, Action, Derivative, StepPeriod, ValueFunction, Controller, before,
                         after, reward);
    Delta = reward * StepPeriod + Gamma * after - before;
    return Delta;
}

void CTDLearner::Learn(const double* update, double factor)
{
    ValueFunction.AddToParameters(update, factor);
}

// The weights may have changed since Advance; the network still holds its
// activations at x', which the gradient is taken from.
void CTDLearner::CarryTrace()
{
    --StepsLeft;
    if (!Model.IsInside(State))
        StepsLeft = 0;  // the exit value ended it
    else
        ValueFunction.AccumulateGradient(Trace, Decay);
}

int CTDLearner::ProgressWords() const
{
    return 1 + State.Size() + Trace.Size();
}

void CTDLearner::SaveProgress(double* words) const
{
    *words++ = static_cast<double>(StepsLeft);
    std::copy_n(static_cast<const double*>(State), State.Size(), words);
    std::copy_n(static_cast<const double*>(Trace), Trace.Size(), words + State.Size());
}

bool CTDLearner::LoadProgress(const double* words)
{
    const double left = *words++;
    if (!IsWholeWord(left, static_cast<double>(TrajectorySteps)))
        return false;
    StepsLeft = static_cast<long long>(left);
    std::copy_n(words, State.Size(), static_cast<double*>(State));
    std::copy_n(words + State.Size(), Trace.Size(), static_cast<double*>(Trace));
    // Between steps the value function holds the state as its input, which
    // the next Advance evaluates with the weights of then.
    if (StepsLeft > 0)
        ValueFunction.SetInput(State);
    return true;
}
