#pragma once
// The page's learning workers as the ranks of a run: each worker runs the
// learner's module on its block of the learners, and they meet at the
// checks as the ranks of an MPI job do. Workers share no memory, and
// without it one cannot wait for another: every collective here hands the
// worker's words to the page, which gathers and routes them, and the
// module sleeps (its stack unwound by Asyncify) until the answer comes
// back as a message. The learning between checks never waits.

#include <memory>

#include "RankGroup.h"

std::unique_ptr<CRankGroup> JoinWorkers(int rank, int size);
