// Builds without MPI (Windows, WebAssembly): every process is its own run.
#include "JoinRanks.h"

std::unique_ptr<CRankGroup> JoinRanks(int&, char**&)
{
    return std::make_unique<CSingleProcess>();
}

