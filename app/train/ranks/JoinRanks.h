#pragma once
// The ranks this process of swimmer-train learns among: those of the MPI
// job that mpirun or srun started it in, where the build has MPI; else the
// process alone. The group ends the job's use of MPI when it is destroyed.

#include <memory>

#include "RankGroup.h"

std::unique_ptr<CRankGroup> JoinRanks(int& argc, char**& argv);

