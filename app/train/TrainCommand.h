#pragma once
// The whole of swimmer-train but for the process: options, learning,
// checkpoints, the network file and the learning curve. Returns the exit
// status: 0, 1 when writing failed, 2 on bad input (with nothing written),
// 130 when interrupted (with the best network so far and the curve
// written).

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<bool>& interrupted);
