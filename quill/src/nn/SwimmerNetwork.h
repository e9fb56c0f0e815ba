#pragma once
// SwimmerNetwork: what steers a swimmer, as the embedded definition and a
// network file hold it: the value-function network of a swimmer of
// Segments segments, and the direction (radians, in the frame the network
// sees) in which its greedy swimmer settles to swim. A control loop built
// from it turns that native direction onto the target direction.

#include "FFNetwork.h"

struct SwimmerNetwork
{
    int Segments = 0;
    double NativeDirection = 0.0;
    CFFNetwork Network;
};
