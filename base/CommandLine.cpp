#include "CommandLine.h"

std::string VersionLine(const char* program)
{
    return std::string(program) + " " + SWIMMER_VERSION + "\n";
}
