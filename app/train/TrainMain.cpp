// swimmer-train: learns a swimmer's value function from scratch; see --help.

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "Console.h"
#include "TrainCommand.h"

namespace {

std::atomic<bool> InterruptRequested{false};

// Ctrl-C asks the learning to stop at the next step; the files are then
// written whole, never cut off.
extern "C" void RequestStop(int)
{
    InterruptRequested.store(true);
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    UseBinaryStandardOutput();
    return RunTrainCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                           StandardErrorIsTerminal(), InterruptRequested);
}
