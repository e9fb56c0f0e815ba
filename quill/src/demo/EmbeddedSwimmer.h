#pragma once
// The trained swimmer network compiled into the program, as a network
// definition for CFFNetwork::Load, and the swimmer it steers.

#include <cstdint>

class CFFNetwork;
struct SwimmerNetwork;

constexpr int SwimmerNetworkNeurons = 30;
constexpr int SwimmerNetworkWeightCount = SwimmerNetworkNeurons * (SwimmerNetworkNeurons - 1) / 2;

extern const std::int8_t SwimmerNetworkKinds[SwimmerNetworkNeurons];
extern const float SwimmerNetworkWeights[SwimmerNetworkWeightCount];

// Loads the definition into network.
void LoadEmbeddedNetwork(CFFNetwork& network);
// The embedded swimmer: the demonstration's segments and native direction,
// and the loaded definition.
void LoadEmbeddedSwimmer(SwimmerNetwork& swimmer);
