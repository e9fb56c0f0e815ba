#include "ScaledInputVF.h"

#include "DynamicModel.h"

CScaledInputVF::CScaledInputVF(CDynamicModel& model)
    : CValueFunction(model), Offset(model.GetStateDimension()), Scale(model.GetStateDimension())
{
    for (int i = GetStateDimension() - 1; i >= 0; --i) {
        Offset[i] = (model.StateMax(i) + model.StateMin(i)) * -0.5;
        Scale[i] = 2.0 / (model.StateMax(i) - model.StateMin(i));
    }
}

int CScaledInputVF::GetStateDimension() const
{
    return Model.GetStateDimension();
}

void CScaledInputVF::ScaleState(const double* state, double* out) const
{
    for (int i = GetStateDimension() - 1; i >= 0; --i)
        out[i] = (state[i] + Offset[i]) * Scale[i];
}
