#pragma once
// The swimmer compiled into the program, loaded once for all tests.

#include "FFNetwork.h"
#include "SwimmerNetwork.h"

const SwimmerNetwork& EmbeddedSwimmer();
const CFFNetwork& EmbeddedNetwork();
