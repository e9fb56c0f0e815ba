#pragma once
// The command line of swimmer-screenshot.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct ScreenshotOptions
{
    std::string Output;         // the PNG file
    bool WaitForWindow = false; // wait for the swimmer's window before anything else
    double WaitSeconds = 0;     // the longest wait for it
    double DelaySeconds = 0;    // then before the capture
    bool Close = false;         // close the swimmer's window after the capture
};

// Reads the arguments (without the program name) into options, checked
// whole but for whether the file can be written. The exit status when that
// ends the program (--help, --version, or bad input, said in one line on
// err), or nothing: go on.
std::optional<int> ParseScreenshotOptions(const std::vector<std::string>& arguments,
                                          ScreenshotOptions& options, std::ostream& out,
                                          std::ostream& err);
