#pragma once
// What a network file may describe, checked in one place for the reader and
// the writer: a swimmer whose value function is a CFFNetworkVF, so the
// network must have exactly the neuron layout that CFFNetworkVF::SetNeurons
// makes for that swimmer.
//
// The checks follow the items of a file in its order (segments, neurons,
// kinds), each assuming the ones before passed, so that a reader can name
// the line at fault; each gives what is wrong in one line, without a file
// name or line.

#include <cstdint>
#include <string>

#include "Activation.h"

class CFFNetwork;

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

// The fewest neurons the value function of CSwimmer(segments) can have.
int MinimumSwimmerNeurons(int segments);

bool CheckSegments(int segments, std::string& error);
bool CheckNeurons(int segments, int neurons, std::string& error);
// kinds: one activation code (0 .. ActivationKindCount-1) per neuron.
bool CheckKinds(int segments, int neurons, const std::int8_t* kinds, std::string& error);
// All three, for a network in memory.
bool CheckNetworkFits(int segments, const CFFNetwork& network, std::string& error);

// "Tanh" and the like, for messages.
const char* ActivationKindName(int code);
