#include "Vector.h"

CVector::CVector(int n)
{
    Resize(n);
}

CVector::~CVector()
{
    Resize(0);
}

void CVector::Resize(int n)
{
    if (Count != 0) {
        delete[] Elements;
        Elements = nullptr;
        Count = 0;
    }
    if (n > 0) {
        Elements = new double[n];
        Count = n;
    }
}

void CVector::Zero()
{
    for (int i = 0; i < Count; ++i)
        Elements[i] = 0.0;
}
