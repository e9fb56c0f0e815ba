// swimmer-headless: the swimmer under greedy control, without a window.
// Writes the trajectory as CSV; see --help.

#include <iostream>
#include <string>
#include <vector>

#include "Console.h"
#include "HeadlessCommand.h"

int main(int argc, char** argv)
{
    UseBinaryStandardOutput();
    const bool terminal = StandardErrorIsTerminal();
    std::ios::sync_with_stdio(false);
    return RunHeadlessCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr, terminal);
}
