#include "TestLoop.h"

#include "FFNetworkVF.h"
#include "Random.h"
#include "Swimmer.h"

const CFFNetwork& RandomSwimmerNetwork()
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

TestLoop::TestLoop() : Loop(3, RandomSwimmerNetwork(), Native, PixelsPerUnit)
{
    Loop.Start(Client);
}
