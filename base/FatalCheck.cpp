#include "FatalCheck.h"

#include <cstdlib>
#include <iostream>

void FatalError(const char* condition, const char* file, int line)
{
    std::cout << "Fatal error: " << condition << '\n'
              << "File: " << file << '\n'
              << "Line: " << line << '\n';
    std::exit(1);
}
