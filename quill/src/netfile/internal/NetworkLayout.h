#pragma once
// What a network file may describe: a swimmer whose value function is a
// CFFNetworkVF, so the network must have exactly the neuron layout that
// CFFNetworkVF::SetNeurons makes for that swimmer.

#include <vector>

#include "Activation.h"

namespace NetworkLimits {

// One segment has no joint to drive. Twenty is far beyond anything trained
// here, and keeps a hostile file from asking for a huge model.
constexpr int MinSegments = 2;
constexpr int MaxSegments = 20;
// A bound on the n·n weight matrix a file can make us allocate: 1000 neurons
// are 8 MB of weights, some 30 times the 84 neurons a 20-segment swimmer
// needs at the least.
constexpr int MaxNeurons = 1000;

}  // namespace NetworkLimits

// The fewest neurons the value function of CSwimmer(segments) can have: its
// state inputs, the bias, a cosine and a sine encoder per angle, and the
// output. SetNeurons stops the program below that, or makes the output an
// encoder; asking here first is how a reader avoids it.
int MinimumSwimmerNeurons(int segments);

// The kinds, neuron 0 first, that SetNeurons(neurons) lays out for the value
// function of CSwimmer(segments). segments and neurons must be in range
// (NetworkLimits, MinimumSwimmerNeurons).
std::vector<ActivationKind> SwimmerLayoutKinds(int segments, int neurons);

// "Tanh" and the like, for messages.
const char* ActivationKindName(int code);
