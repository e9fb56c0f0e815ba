#include "EmbeddedNetwork.h"

#include "EmbeddedSwimmer.h"

const SwimmerNetwork& EmbeddedSwimmer()
{
    static SwimmerNetwork swimmer;
    if (swimmer.Segments == 0)
        LoadEmbeddedSwimmer(swimmer);
    return swimmer;
}

const CFFNetwork& EmbeddedNetwork()
{
    return EmbeddedSwimmer().Network;
}
