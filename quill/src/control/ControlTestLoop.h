#pragma once
// A control loop for tests: the swimmer's layout with random weights (the
// mechanics do not depend on how well it swims) on a client area of
// 1400 x 700 pixels, 20 x 10 units at 70 pixels per unit, unless a test
// changes it; it counts the pictures it would draw.

#include "control/SwimmerControlLoop.h"
#include "dynamics/Random.h"
#include "nn/FFNetwork.h"

inline const CFFNetwork& RandomSwimmerNetwork()
{
    static CFFNetwork network;
    if (network.GetNeuronCount() == 0) {
        CSwimmer swimmer(3);
        CFFNetworkVF value(swimmer);
        value.SetNeurons(30);
        CRandom rng(77);
        value.RandomizeParameters(rng);
        network.CopyFrom(value.GetNetwork());
    }
    return network;
}

class CTestLoop : public CSwimmerControlLoop
{
public:
    static constexpr double Native = 0.22;
    static constexpr double PixelsPerUnit = 70.0;

    CTestLoop() : CSwimmerControlLoop(3, RandomSwimmerNetwork(), Native, PixelsPerUnit) { Start(); }
    int ClientWidth() override { return Width; }
    int ClientHeight() override { return Height; }
    void AfterTick() override { ++Drawn; }

    int Width = 1400;
    int Height = 700;
    int Drawn = 0;
};
