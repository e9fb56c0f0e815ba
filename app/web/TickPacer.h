#pragma once
// CTickPacer: simulated time kept in step with the wall clock from the
// timestamps of a page's animation frames, as the window program's 10 ms
// timer keeps it: every 10 ms period of wall clock asks for one tick, at
// most 10 ticks wait at any time, and the periods that arrive while 10 wait
// are dropped. A slow machine or a hidden tab (which gets no frames) so
// slows the swimmer down instead of making it jump ahead.
//
// A frame runs every tick that waits, so the ticks a frame is given are the
// periods since the last frame, capped at 10. Periods are counted from the
// first frame on a fixed grid, floor((now - first) / 10 ms), so frames at
// 16.7 ms still give 100 ticks a second, alternating between one and two.

#include <array>

#include "SwimmerControlLoop.h"

class CTickPacer
{
public:
    static constexpr double PeriodMs = 10.0;
    static constexpr int MaxOutstanding = CSwimmerControlLoop::MaxWaitingTicks;

    // The ticks to run at a frame shown at nowMs (milliseconds of any
    // monotonic clock). The first frame only sets the clock's origin and
    // gives none; a clock that runs backwards gives none either.
    int Advance(double nowMs);
    // Counts ticks run at nowMs towards TicksPerSecond.
    void Ran(int ticks, double nowMs);

    // Periods dropped because 10 ticks were waiting.
    double GetDropped() const { return Dropped; }
    // Ticks run during the second of wall clock that ends at nowMs.
    int TicksPerSecond(double nowMs) const;

private:
    // At most 100 periods end in one second, and 10 ticks may have waited
    // from the second before: a ring of 128 holds every tick of a second.
    static constexpr int RingSize = 128;

    bool Started = false;
    double Origin = 0.0;
    double PeriodsCounted = 0.0;  // whole periods since Origin, exact in a double
    double Dropped = 0.0;
    std::array<double, RingSize> RunAt{};  // wall clock of the last ticks run
    int RingNext = 0;
    int RingFilled = 0;
};
