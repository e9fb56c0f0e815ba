// swimmer-train: learns a swimmer's value function from scratch; see --help.

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

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
    const bool terminal = isatty(fileno(stderr));
    return RunTrainCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                           terminal, InterruptRequested);
}
