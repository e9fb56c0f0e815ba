#pragma once
// The command line of swimmer-headless.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "SwimmerView.h"

struct HeadlessClick
{
    long long Tick;  // handled just before this tick runs (ticks count from 1)
    unsigned X, Y;   // client pixel, y downwards
};

constexpr int MaxFps = 50;          // one frame every other tick
constexpr int MaxPictureSide = 8192;  // pixels: a frame of 64 MB at most

struct HeadlessOptions
{
    long long Ticks = 1000;
    int Width = SwimmerView::DefaultClient.Width;  // client pixels
    int Height = SwimmerView::DefaultClient.Height;
    std::vector<HeadlessClick> Clicks;  // in the order given
    long long Every = 1;
    std::string Output;  // empty: standard output
    bool NoCsv = false;
    // Pictures of the run: PNG frames into a folder, an animated GIF, or both,
    // at Fps frames per second of simulated time.
    std::string FramesFolder;
    std::string Gif;
    int Fps = 25;
    // The swimmer's network file (empty: the embedded network), and where to
    // write the network in use.
    std::string Network;
    std::string SaveNetwork;
    bool Summary = false;
};

// Reads the arguments (without the program name) into options, checked
// whole, paths but for their being empty (the command checks them before
// any work). The exit status when that ends the command (--help, --version,
// or bad input, said in one line on err), or nothing: go on.
std::optional<int> ParseHeadlessOptions(const std::vector<std::string>& arguments,
                                        HeadlessOptions& options, std::ostream& out,
                                        std::ostream& err);
