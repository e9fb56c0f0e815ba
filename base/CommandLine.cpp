#include "CommandLine.h"

const char* ProjectVersion()
{
    return SWIMMER_VERSION;
}

std::string VersionLine(const char* program)
{
    return std::string(program) + " " + ProjectVersion() + "\n";
}
