#pragma once
// CScaledInputVF: a value function that sees the state scaled into [-1, 1]
// by the model's bounds, s -> (s + offset)·scale, so that StateMin maps to
// -1, StateMax to +1 and the midpoint to 0. Values beyond the bounds are not
// clamped.

#include "Vector.h"
#include "ValueFunction.h"

class CScaledInputVF : public CValueFunction
{
public:
    void ScaleState(const double* state, double* out) const;

protected:
    // Takes the model's bounds as they are now; they must satisfy min < max.
    explicit CScaledInputVF(CDynamicModel& model);

    int GetStateDimension() const;

    CVector Offset;  // -(max + min)/2
    CVector Scale;   // 2/(max - min)
};
