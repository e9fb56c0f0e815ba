#pragma once
// CTDLearner: temporal-difference learning in continuous time with
// eligibility traces, on a model's own operations.
//
// The value of a state is the discounted return V(x) = ∫₀^∞ e^(−t/τ) r(x(t)) dt
// under the policy of the controller, which satisfies r − V/τ + dV/dt = 0
// along a trajectory. One learning step of length h takes the model's
// trajectory step and forms the discrete residual of that equation,
//     δ = r·h + e^(−h/τ)·V(x') − V(x),
// then moves the adjustable weights along the eligibility trace,
//     w ← w + η·δ·e,   e ← e^(−h/κ)·e + ∇w V(x'),
// so that each error reaches back over the states of roughly the last κ
// seconds. Trajectories last a fixed time and start from random states of
// the model's box, the trace starting afresh with ∇w V(x₀); a trajectory
// that leaves the box ends there, valued by the model's exit value.
//
// A step has three phases, which learners that share their updates run
// apart: Advance takes the trajectory step and forms δ with the weights
// unchanged; Learn adds an update, η·δ·e or a sum of such, to the weights;
// CarryTrace moves the trace on to x'. Step runs the three for this learner
// alone.
//
// Nothing allocates after construction; the same random generator state
// gives the same weights, bit for bit.

#include "DynamicModel.h"
#include "ValueFunction.h"
#include "Vector.h"

class CRandom;

struct TDConstants
{
    double StepPeriod;      // h, seconds of simulated time per learning step
    double Discount;        // τ, seconds
    double TraceDecay;      // κ, seconds
    double LearningRate;    // η
    double TrajectoryTime;  // seconds from a random start to the next

    bool operator==(const TDConstants&) const = default;
};

class CTDLearner
{
public:
    CTDLearner(CDynamicModel& model, CValueFunction& valueFunction, CController& controller,
               CRandom& rng, const TDConstants& constants);

    // One learning step; returns δ.
    double Step();

    // The trajectory step from x to x' and its δ.
    double Advance();
    // w ← w + factor·update: this learner's own is
    // Learn(GetTrace(), GetUpdateFactor()).
    void Learn(const double* update, double factor);
    // e ← e^(−h/κ)·e + ∇w V(x'), with V(x') as Advance evaluated it, or the
    // end of the trajectory if x' left the box.
    void CarryTrace();

    // The trace of the last Advance's update, until CarryTrace.
    const CVector& GetTrace() const { return Trace; }
    // η·δ of the last Advance.
    double GetUpdateFactor() const { return LearningRate * Delta; }
    // Learning on with another rate η and discount τ (a population's
    // explore step); the trajectory and its trace go on.
    void SetRates(double learningRate, double discount);
    // The next Advance starts a new trajectory, its trace afresh: zeroed
    // first, since a trace of weights that diverged holds NaNs, which the
    // fresh start's 0·e would keep.
    void Restart()
    {
        StepsLeft = 0;
        Trace.Zero();
    }
    const CVector& GetState() const { return State; }

    // What the learner goes on from between steps, as ProgressWords()
    // words: the steps left of the trajectory, its state and its trace
    // (the step's other vectors are made afresh by the next Advance).
    // Loading gives the value function the state as its input again, or
    // refuses steps left that no trajectory has.
    int ProgressWords() const;
    void SaveProgress(double* words) const;
    bool LoadProgress(const double* words);

private:
    void StartTrajectory();

    CDynamicModel& Model;
    CValueFunction& ValueFunction;
    CController& Controller;
    CRandom& Rng;
    double StepPeriod;
    double LearningRate;
    double Gamma;  // e^(−h/τ)
    double Decay;  // e^(−h/κ)
    long long TrajectorySteps;
    long long StepsLeft = 0;
    double Delta = 0.0;
    CVector State;
    CVector Action;
    CVector Derivative;
    CVector Trace;
};
