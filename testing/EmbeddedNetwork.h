#pragma once
// The network compiled into the program, loaded once for all tests.

#include "FFNetwork.h"

const CFFNetwork& EmbeddedNetwork();
