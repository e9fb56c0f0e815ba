#pragma once
// Fixtures of the control loop for tests: the swimmer's layout with random
// weights (the mechanics do not depend on how well it swims), and a loop
// started on a client area of 1400 x 700 pixels, 20 x 10 units at 70 pixels
// per unit, unless a test changes it.

#include "FFNetwork.h"
#include "SwimmerControlLoop.h"

// A 30-neuron network laid out for the 3-segment swimmer, weights drawn from
// a fixed seed.
const CFFNetwork& RandomSwimmerNetwork();

struct TestLoop
{
    static constexpr double Native = 0.22;
    static constexpr double PixelsPerUnit = 70.0;

    TestLoop();

    void Tick() { Loop.Tick(Client); }
    void SubStep() { Loop.SubStep(CSwimmerControlLoop::SubStepPeriod, Client); }

    ClientSize Client = {1400, 700};
    CSwimmerControlLoop Loop;
};
