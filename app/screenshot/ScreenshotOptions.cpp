#include "ScreenshotOptions.h"

#include "OptionParser.h"

namespace {

const char Description[] = "Saves the whole screen as a PNG image in FILE.";

const char Footer[] =
    "Exit status: 0 done; 1 no swimmer window, or the screen could not be read or saved;\n"
    "2 bad input, a FILE that cannot be created included.";

// An hour is far beyond any use here; a bigger number is a typo.
const RealRange Seconds = {0, true, 3600};

}  // namespace

std::optional<int> ParseScreenshotOptions(const std::vector<std::string>& arguments,
                                          ScreenshotOptions& options, std::ostream& out,
                                          std::ostream& err)
{
    COptionParser parser("swimmer-screenshot", Description, Footer);
    const COptionParser::COption wait =
        parser.AddReal("--wait", "SECONDS", options.WaitSeconds, Seconds,
                       "first wait until the swimmer's window is open, at most SECONDS", "");
    parser.AddReal("--delay", "SECONDS", options.DelaySeconds, Seconds,
                   "then wait SECONDS more before the capture");
    parser.AddFlag("--close", options.Close,
                   "after the capture, close the swimmer's window as its close box does");
    parser.AddPath("FILE", "FILE", options.Output, "the PNG image to write").Required();
    const std::optional<int> status = parser.Parse(arguments, out, err);
    options.WaitForWindow = wait.Given();
    return status;
}
