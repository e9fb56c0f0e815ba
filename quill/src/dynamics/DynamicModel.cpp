#include "DynamicModel.h"

#include "Random.h"

CDynamicModel::CDynamicModel(int stateDimension, int actionDimension, double modelConstant)
    : StateDimension(stateDimension),
      ActionDimension(actionDimension),
      ModelConstant(modelConstant),
      StateMinimum(new double[stateDimension]()),
      StateMaximum(new double[stateDimension]()),
      StateKinds(new int[stateDimension]()),
      ActionMinimum(new double[actionDimension]()),
      ActionMaximum(new double[actionDimension]())
{
}

CDynamicModel::~CDynamicModel() = default;

void CDynamicModel::DescribeStateVariable(int i, double min, double max, int kind)
{
    StateMinimum[i] = min;
    StateMaximum[i] = max;
    StateKinds[i] = kind;
}

void CDynamicModel::DescribeActionVariable(int j, double min, double max)
{
    ActionMinimum[j] = min;
    ActionMaximum[j] = max;
}

int CDynamicModel::IsInside(const double* state)
{
    for (int i = StateDimension - 1; i >= 0; --i) {
        // Written so that NaN is outside: it is not strictly between anything.
        if (StateKinds[i] == Bounded && !(state[i] > StateMinimum[i] && state[i] < StateMaximum[i]))
            return 0;
    }
    return 1;
}

void CDynamicModel::RandomState(double* state, CRandom& rng)
{
    for (int i = StateDimension - 1; i >= 0; --i)
        state[i] = StateMinimum[i] + rng.Real01() * (StateMaximum[i] - StateMinimum[i]);
}

void CDynamicModel::RandomBoundaryState(double* state, CRandom& rng)
{
    RandomState(state, rng);
    unsigned bounded = 0;
    for (int i = 0; i < StateDimension; ++i)
        bounded += StateKinds[i] == Bounded;
    if (bounded == 0)
        return;

    // One bounded variable, and one of its two bounds, chosen uniformly:
    // variable r / 2, its minimum when r is odd and its maximum when even.
    const unsigned r = rng.Next() % (2 * bounded);
    const int pinned = static_cast<int>(r / 2);
    for (int j = StateDimension - 1; j >= 0; --j) {
        if (j == pinned)
            state[j] = (r & 1) ? StateMinimum[j] : StateMaximum[j];
        else
            state[j] = StateMinimum[j] + rng.Real01() * (StateMaximum[j] - StateMinimum[j]);
    }
}

int CDynamicModel::IsActionInside(const double* action)
{
    for (int j = ActionDimension - 1; j >= 0; --j) {
        // Inclusive bounds; NaN fails both comparisons and is outside.
        if (!(action[j] >= ActionMinimum[j] && action[j] <= ActionMaximum[j]))
            return 0;
    }
    return 1;
}

void CDynamicModel::RandomAction(double* action, CRandom& rng)
{
    for (int j = ActionDimension - 1; j >= 0; --j)
        action[j] = ActionMinimum[j] + rng.Real01() * (ActionMaximum[j] - ActionMinimum[j]);
}

int CDynamicModel::GetExtremeActionCount()
{
    return 2 * ActionDimension;
}

void CDynamicModel::GetExtremeActions(int, double* matrix)
{
    const int m = ActionDimension;
    for (int k = 0; k < 2 * m * m; ++k)
        matrix[k] = 0.0;
    // Row 2i drives variable i to its maximum, row 2i+1 to its minimum.
    for (int i = m - 1; i >= 0; --i) {
        matrix[(2 * i) * m + i] = ActionMaximum[i];
        matrix[(2 * i + 1) * m + i] = ActionMinimum[i];
    }
}

double CDynamicModel::GetExitValue(const double*)
{
    return 0.0;
}

int CDynamicModel::AuxiliaryQuery(int)
{
    return 0;
}
