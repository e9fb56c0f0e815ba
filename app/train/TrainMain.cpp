// swimmer-train: learns a swimmer's value function from scratch; see --help.

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Console.h"
#include "JoinRanks.h"
#include "TrainCommand.h"

namespace {

std::atomic<int> StopStatus{0};

// Ctrl-C and SIGTERM (a batch system's notice before it kills a job) ask
// the learning to stop at the next stretch; the files are then written
// whole, never cut off.
extern "C" void RequestStop(int signal)
{
    StopStatus.store(signal == SIGINT ? ExitStatus::Interrupted : ExitStatus::Terminated);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::unique_ptr<CRankGroup> ranks = JoinRanks(argc, argv);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    UseBinaryStandardOutput();
    return RunTrainCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                           StandardErrorIsTerminal(), StopStatus, *ranks);
}
