#include "TestLoop.h"

#include "Demonstration.h"
#include "EmbeddedSwimmer.h"
#include "FFNetworkVF.h"
#include "Random.h"
#include "Swimmer.h"

const SwimmerNetwork& RandomSwimmer()
{
    static SwimmerNetwork swimmer;
    if (swimmer.Segments == 0) {
        CSwimmer model(Demonstration::Segments);
        CFFNetworkVF value(model);
        value.SetNeurons(SwimmerNetworkNeurons);
        CRandom rng(77);
        value.RandomizeParameters(rng);
        swimmer.Network.CopyFrom(value.GetNetwork());
        swimmer.NativeDirection = Demonstration::NativeDirection;
        swimmer.Segments = Demonstration::Segments;
    }
    return swimmer;
}

TestLoop::TestLoop() : Loop(MakeOnView<CSwimmerControlLoop>(RandomSwimmer()))
{
    Loop.Start(Client);
}
