#pragma once
// CDynamicModel: the abstract continuous-time controlled system. A model has
// a state and an action vector of fixed dimensions, a box of bounds for each,
// and a kind per state variable that says what happens at its bounds.
// Derived models supply the derivative and the reward; the base supplies the
// integration steps, domain tests, sampling and the extreme actions.
//
// States and actions are plain arrays of doubles (a CVector's storage or any
// other) of the model's dimensions, owned by the caller. Nothing here
// allocates after construction.

#include <memory>

class CController;
class CRandom;
class CValueFunction;

class CDynamicModel
{
public:
    // State kind codes; the numeric values are part of the interface.
    enum Kind : int
    {
        Bounded = 0,   // must lie strictly between its bounds
        Periodic = 1,  // angle-like: wrapped back by one period when stepped outside
        Free = 2,      // bounds only scale inputs and sampling; never tested or wrapped
    };

    // Virtual operations, in their slot order. Who calls them:
    //   - EulerStep, GetDerivative: the control loop (quill/src/control) on
    //     every sub-step, and through it everything that swims the model (the
    //     programs, and the checkpoint score GreedyScore of quill/src/learn);
    //     the dynamics benchmark times GetDerivative alone;
    //   - TrajectoryStep, RandomState, IsInside: the learner, CTDLearner in
    //     quill/src/learn/TemporalDifference.cpp (a random start per
    //     trajectory, one TrajectoryStep per step, a trajectory ended when
    //     the state leaves the domain);
    //   - GetReward, GetExitValue: TrajectoryStep only, which also calls
    //     GetDerivative, EulerStep and IsInside; the exit value stands in for
    //     the value after a step that leaves the domain, which a model
    //     without Bounded variables (the swimmer) never does;
    //   - TwoStepUpdate, RandomBoundaryState, IsActionInside, RandomAction,
    //     GetExtremeActionCount, GetExtremeActions, AuxiliaryQuery: nothing
    //     outside their tests; they complete the interface for other models,
    //     integrators and controllers.
    virtual void EulerStep(double* state, const double* derivative, double h);
    // A two-step integrator.
    virtual void TwoStepUpdate(double* previous, double* state, const double* derivative,
                               double h);
    // One controlled Euler step that also reports the values and the reward
    // a temporal-difference update needs.
    virtual void TrajectoryStep(double* state, double* action, double* derivative, double h,
                                CValueFunction& valueFunction, CController& controller,
                                double& valueBefore, double& valueAfter, double& reward);
    virtual int IsInside(const double* state);
    virtual void RandomState(double* state, CRandom& rng);
    // A state on the boundary of the box, for sampling exits.
    virtual void RandomBoundaryState(double* state, CRandom& rng);
    virtual int IsActionInside(const double* action);
    virtual void RandomAction(double* action, CRandom& rng);
    // The corners of the action box, for controllers that search them.
    virtual int GetExtremeActionCount();
    virtual void GetExtremeActions(int ignored, double* matrix);
    virtual void GetDerivative(const double* state, const double* action,
                               double* derivative) = 0;
    virtual double GetReward(const double* state, const double* action) = 0;
    virtual double GetExitValue(const double* state);
    virtual int AuxiliaryQuery(int query);
    virtual ~CDynamicModel();

    CDynamicModel(const CDynamicModel&) = delete;
    CDynamicModel& operator=(const CDynamicModel&) = delete;

    int GetStateDimension() const { return StateDimension; }
    int GetActionDimension() const { return ActionDimension; }
    double GetModelConstant() const { return ModelConstant; }

    double StateMin(int i) const { return StateMinimum[i]; }
    double StateMax(int i) const { return StateMaximum[i]; }
    int StateKind(int i) const { return StateKinds[i]; }
    double ActionMin(int j) const { return ActionMinimum[j]; }
    double ActionMax(int j) const { return ActionMaximum[j]; }

protected:
    // Allocates the bounds and kinds, all zero (every variable Bounded in
    // [0, 0]) until the derived constructor describes its variables.
    CDynamicModel(int stateDimension, int actionDimension, double modelConstant);

    void DescribeStateVariable(int i, double min, double max, int kind);
    void DescribeActionVariable(int j, double min, double max);

private:
    // Moves a Periodic variable that a step took outside its bounds back by
    // one period; returns the amount added (0 when it stays).
    double WrapShift(int i, double value) const;

    int StateDimension;
    int ActionDimension;
    double ModelConstant;  // handed over by the derived model, never read here
    std::unique_ptr<double[]> StateMinimum;
    std::unique_ptr<double[]> StateMaximum;
    std::unique_ptr<int[]> StateKinds;
    std::unique_ptr<double[]> ActionMinimum;
    std::unique_ptr<double[]> ActionMaximum;
};

// The action-choosing side of a controlled trajectory step.
class CController
{
public:
    virtual void ChooseAction(const double* state, CValueFunction& valueFunction,
                              double* action) = 0;

protected:
    ~CController() = default;
};
