#pragma once
// The whole of swimmer-train but for the process: options, learning,
// checkpoints, the network file and the learning curve. Returns the exit
// status: 0, 1 when writing failed, 2 on bad input (with nothing written),
// or when stopStatus turns non-zero (Ctrl-C: 130, SIGTERM: 143) that
// status, with the best network so far and the curve written.
//
// Every rank of a group runs it alike; rank 0 alone prints and writes.

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "RankGroup.h"

int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<int>& stopStatus,
                    CRankGroup& ranks);
// As one process.
int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<int>& stopStatus);
