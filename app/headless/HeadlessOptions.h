#pragma once
// The command line of swimmer-headless.

#include <string>
#include <vector>

struct HeadlessClick
{
    long long Tick;  // handled just before this tick runs (ticks count from 1)
    unsigned X, Y;   // client pixel, y downwards
};

struct HeadlessOptions
{
    long long Ticks = 1000;
    int Width = 1400;   // client pixels
    int Height = 700;
    std::vector<HeadlessClick> Clicks;  // in the order given
    long long Every = 1;
    std::string Output;  // empty: standard output
    bool Summary = false;
    bool Help = false;
};

extern const char HeadlessUsage[];

// Fills options from the arguments (without the program name). On bad input
// returns false with a one-line description of the problem in error.
bool ParseHeadlessOptions(const std::vector<std::string>& arguments, HeadlessOptions& options,
                          std::string& error);
