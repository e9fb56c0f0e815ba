#include "TickPacer.h"

#include <cmath>

int CTickPacer::Advance(double nowMs)
{
    if (!Started) {
        Started = true;
        Origin = nowMs;
        return 0;
    }
    const double periods = std::floor((nowMs - Origin) / PeriodMs);
    if (!(periods > PeriodsCounted))
        return 0;
    const double arrived = periods - PeriodsCounted;
    PeriodsCounted = periods;
    if (arrived <= MaxOutstanding)
        return static_cast<int>(arrived);
    Dropped += arrived - MaxOutstanding;
    return MaxOutstanding;
}

void CTickPacer::Ran(int ticks, double nowMs)
{
    for (int i = 0; i < ticks; ++i) {
        RunAt[RingNext] = nowMs;
        RingNext = (RingNext + 1) % RingSize;
        if (RingFilled < RingSize)
            ++RingFilled;
    }
}

int CTickPacer::TicksPerSecond(double nowMs) const
{
    int count = 0;
    for (int i = 0; i < RingFilled; ++i)
        if (RunAt[i] > nowMs - 1000.0 && RunAt[i] <= nowMs)
            ++count;
    return count;
}
