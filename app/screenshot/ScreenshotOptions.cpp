#include "ScreenshotOptions.h"

#include <charconv>
#include <cmath>

const char ScreenshotUsage[] =
    "Usage: swimmer-screenshot [options] FILE\n"
    "Saves the whole screen as a PNG image in FILE.\n"
    "\n"
    "  --wait SECONDS    first wait until the swimmer's window is open, at most SECONDS\n"
    "  --delay SECONDS   then wait SECONDS more before the capture\n"
    "  --close           after the capture, close the swimmer's window as its close box does\n"
    "  --help            show this text\n"
    "  --version         print the version\n"
    "\n"
    "Exit status: 0 done; 1 no swimmer window, or the screen could not be read or saved;\n"
    "2 bad input, a FILE that cannot be created included.\n";

namespace {

// An hour is far beyond any use here; a bigger number is a typo.
const double MostSeconds = 3600;

bool ParseSeconds(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    return status == std::errc() && stop == end && !text.empty() && std::isfinite(value) &&
           value >= 0 && value <= MostSeconds;
}

}  // namespace

bool ParseScreenshotOptions(const std::vector<std::string>& arguments, ScreenshotOptions& options,
                            std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help") {
            options.Help = true;
        } else if (argument == "--version") {
            options.Version = true;
        } else if (argument == "--close") {
            options.Close = true;
        } else if (argument == "--wait" || argument == "--delay") {
            if (i + 1 == arguments.size()) {
                error = argument + " needs a number of seconds";
                return false;
            }
            const std::string& value = arguments[++i];
            double& seconds = argument == "--wait" ? options.WaitSeconds : options.DelaySeconds;
            if (!ParseSeconds(value, seconds)) {
                error = argument + " wants seconds from 0 to 3600, not '" + value + "'";
                return false;
            }
            if (argument == "--wait")
                options.WaitForWindow = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else if (!options.Output.empty()) {
            error = "one output file only, not both '" + options.Output + "' and '" + argument +
                    "'";
            return false;
        } else if (argument.empty()) {
            error = "the output file name is empty";
            return false;
        } else {
            options.Output = argument;
        }
    }
    if (options.Output.empty() && !options.Help && !options.Version) {
        error = "no output file given";
        return false;
    }
    return true;
}
