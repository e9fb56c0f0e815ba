#pragma once
// The command line of swimmer-screenshot.

#include <string>
#include <vector>

struct ScreenshotOptions
{
    std::string Output;         // the PNG file
    bool WaitForWindow = false; // wait for the swimmer's window before anything else
    double WaitSeconds = 0;     // the longest wait for it
    double DelaySeconds = 0;    // then before the capture
    bool Close = false;         // close the swimmer's window after the capture
    bool Help = false;
    bool Version = false;
};

extern const char ScreenshotUsage[];

// Fills options from the arguments (without the program name). On bad input
// returns false with a one-line description of the problem in error.
bool ParseScreenshotOptions(const std::vector<std::string>& arguments, ScreenshotOptions& options,
                            std::string& error);
