#include "HeadlessOptions.h"

#include "CommandLine.h"
#include "OptionParser.h"

namespace {

const char Description[] =
    "Runs the swimmer's control loop without a window and writes its trajectory as CSV.";

const char Footer[] =
    "Columns: tick,t,head_x,head_y,vx,vy, a theta and an omega per segment, a torque u\n"
    "per joint, target; for the embedded swimmer:\n"
    "  tick,t,head_x,head_y,vx,vy,theta1,omega1,theta2,omega2,theta3,omega3,u1,u2,target\n"
    "Row 0 is the start state; every double has 17 significant digits.";

// A press reports its position in two unsigned 16-bit halves.
const long long MostClickPixel = 0xFFFF;

bool ParseClick(const std::string& text, HeadlessClick& click)
{
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    long long x = 0, y = 0;
    if (!ParseInteger(text.substr(0, first), click.Tick) ||
        !ParseInteger(text.substr(first + 1, second - first - 1), x) ||
        !ParseInteger(text.substr(second + 1), y))
        return false;
    if (x < 0 || x > MostClickPixel || y < 0 || y > MostClickPixel)
        return false;
    click.X = static_cast<unsigned>(x);
    click.Y = static_cast<unsigned>(y);
    return true;
}

void DeclareHeadlessOptions(COptionParser& parser, HeadlessOptions& options)
{
    const std::string pixels = std::to_string(static_cast<int>(SwimmerView::PixelsPerUnit));
    const std::string mostSide = std::to_string(MaxPictureSide);
    parser.AddWhole("--ticks", "N", options.Ticks, 0, COptionParser::OrMore,
                    "ticks of 0.01 s to run");
    parser.AddWhole("--width", "PX", options.Width, 1, COptionParser::OrMore,
                    "client width in pixels at " + pixels + " pixels per unit, at most " +
                        mostSide + " with pictures");
    parser.AddWhole("--height", "PX", options.Height, 1, COptionParser::OrMore,
                    "client height in pixels, at most " + mostSide + " with pictures");
    parser.AddEach("--click", "TICK:X:Y",
                   "a left-button press at client pixel X, Y (y downwards, 0 to " +
                       std::to_string(MostClickPixel) +
                       "), handled just before tick TICK runs (1 to N); may be repeated",
                   [&options](const std::string& text) -> std::string {
                       HeadlessClick click{};
                       if (!ParseClick(text, click))
                           return "'" + text + "' is not TICK:X:Y with whole numbers, X and Y " +
                                  "from 0 to " + std::to_string(MostClickPixel);
                       options.Clicks.push_back(click);
                       return "";
                   });
    parser.AddWhole("--every", "K", options.Every, 1, COptionParser::OrMore,
                    "write every K-th tick");
    parser.AddPath("--output", "FILE", options.Output,
                   "write the CSV to FILE; the file appears when complete, under a temporary name "
                   "until then",
                   "standard output");
    parser.AddFlag("--no-csv", options.NoCsv, "write no CSV (for pictures only)");
    parser.AddPath("--frames", "DIR", options.FramesFolder,
                   "write a PNG picture of each frame into DIR (created if missing) as "
                   "frame-000000.png, frame-000001.png, ...");
    parser.AddPath("--gif", "FILE", options.Gif,
                   "write the run as an animated GIF that plays in real time");
    parser.AddWhole("--fps", "N", options.Fps, 1, MaxFps,
                    "frames per second of simulated time: frame k shows tick floor(100 k / N), so "
                    "frame 0 is the start");
    parser.AddPath("--network", "FILE", options.Network,
                   "swim with the network in FILE (its segments and native direction too) instead "
                   "of the embedded one");
    parser.AddPath("--save-network", "FILE", options.SaveNetwork,
                   "write the network in use to FILE (with --ticks 0 --no-csv, nothing else)");
    parser.AddFlag("--summary", options.Summary,
                   "print the distance swum, the mean speed and the mean heading over the last "
                   "quarter of the run to standard error");
}

// What is wrong with the options together, "" if nothing.
std::string CheckTogether(const HeadlessOptions& options)
{
    if (options.NoCsv && !options.Output.empty())
        return "--no-csv and --output contradict each other";
    const bool recording = !options.FramesFolder.empty() || !options.Gif.empty();
    if (recording && (options.Width > MaxPictureSide || options.Height > MaxPictureSide))
        return "pictures are at most " + std::to_string(MaxPictureSide) + " pixels a side";
    for (const HeadlessClick& click : options.Clicks) {
        if (click.Tick < 1 || click.Tick > options.Ticks)
            return "--click at tick " + std::to_string(click.Tick) +
                   " lies outside the run (ticks 1 to " + std::to_string(options.Ticks) + ")";
    }
    return "";
}

}  // namespace

std::optional<int> ParseHeadlessOptions(const std::vector<std::string>& arguments,
                                        HeadlessOptions& options, std::ostream& out,
                                        std::ostream& err)
{
    COptionParser parser("swimmer-headless", Description, Footer);
    DeclareHeadlessOptions(parser, options);
    return parser.Parse(arguments, out, err, [&options] { return CheckTogether(options); });
}
