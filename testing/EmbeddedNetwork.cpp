#include "EmbeddedNetwork.h"

#include "SwimmerNetwork.h"

const CFFNetwork& EmbeddedNetwork()
{
    static CFFNetwork network;
    if (network.GetNeuronCount() == 0)
        LoadSwimmerNetwork(network);
    return network;
}
