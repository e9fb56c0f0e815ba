#pragma once
// The command line of swimmer-headless.

#include <string>
#include <vector>

#include "Demonstration.h"

struct HeadlessClick
{
    long long Tick;  // handled just before this tick runs (ticks count from 1)
    unsigned X, Y;   // client pixel, y downwards
};

struct HeadlessOptions
{
    long long Ticks = 1000;
    int Width = Demonstration::DefaultWidth;  // client pixels
    int Height = Demonstration::DefaultHeight;
    std::vector<HeadlessClick> Clicks;  // in the order given
    long long Every = 1;
    std::string Output;  // empty: standard output
    bool Summary = false;
    bool Help = false;
};

// The text of --help.
std::string HeadlessUsage();

// Fills options from the arguments (without the program name). On bad input
// returns false with a one-line description of the problem in error.
bool ParseHeadlessOptions(const std::vector<std::string>& arguments, HeadlessOptions& options,
                          std::string& error);
