#pragma once
// Fixtures of the control loop for tests: the demonstration's swimmer with
// random weights (the mechanics do not depend on how well it swims), and a
// loop built as the demonstration builds it, started on the demonstration's
// default view unless a test changes it.

#include "SwimmerControlLoop.h"
#include "SwimmerNetwork.h"
#include "SwimmerView.h"

// The demonstration's swimmer, its 30-neuron network laid out as the
// embedded one and its weights drawn from a fixed seed.
const SwimmerNetwork& RandomSwimmer();

struct TestLoop
{
    TestLoop();

    void Tick() { Loop.Tick(Client); }
    void SubStep() { Loop.SubStep(CSwimmerControlLoop::SubStepPeriod, Client); }

    ClientSize Client = SwimmerView::DefaultClient;
    CSwimmerControlLoop Loop;
};
