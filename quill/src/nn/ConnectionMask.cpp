#include "ConnectionMask.h"

void CConnectionMask::Resize(int n)
{
    Flags.reset(n != 0 ? new std::int32_t[n * n] : nullptr);
    Count = n;
}

void CConnectionMask::SetForward()
{
    for (int l = 0; l < Count; ++l)
        for (int k = 0; k < Count; ++k)
            Flags[k + Count * l] = k < l ? 1 : 0;
}

void CConnectionMask::ClearSource(int k)
{
    for (int l = 0; l < Count; ++l)
        Flags[k + Count * l] = 0;
}
