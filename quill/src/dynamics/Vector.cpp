#include "Vector.h"

CVector::CVector(int n)
{
    Resize(n);
}

void CVector::Resize(int n)
{
    // The old elements go before the new ones come, so a resize never holds
    // both; the new contents are left undefined, as callers fill them.
    Elements.reset();
    Count = 0;
    if (n > 0) {
        Elements.reset(new double[n]);
        Count = n;
    }
}

void CVector::Zero()
{
    for (int i = 0; i < Count; ++i)
        Elements[i] = 0.0;
}
