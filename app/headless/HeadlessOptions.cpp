#include "HeadlessOptions.h"

#include "CommandLine.h"

std::string HeadlessUsage()
{
    const std::string width = std::to_string(SwimmerView::DefaultClient.Width);
    const std::string height = std::to_string(SwimmerView::DefaultClient.Height);
    return
    "Usage: swimmer-headless [options]\n"
    "Runs the swimmer's control loop without a window and writes its trajectory as CSV.\n"
    "\n"
    "  --ticks N          ticks of 0.01 s to run (default 1000)\n"
    "  --width PX         client width in pixels at 70 pixels per unit (default " + width + ")\n"
    "  --height PX        client height in pixels (default " + height + ")\n"
    "  --click TICK:X:Y   a left-button press at client pixel X, Y (y downwards), handled\n"
    "                     just before tick TICK runs (1 to N); may be repeated\n"
    "  --every K          write every K-th tick (default 1)\n"
    "  --output FILE      write the CSV to FILE (default: standard output); the file\n"
    "                     appears when complete, under a temporary name until then\n"
    "  --no-csv           write no CSV (for pictures only)\n"
    "  --frames DIR       write a PNG picture of each frame into DIR (created if\n"
    "                     missing) as frame-000000.png, frame-000001.png, ...\n"
    "  --gif FILE         write the run as an animated GIF that plays in real time\n"
    "  --fps N            frames per second of simulated time, 1 to 50 (default 25):\n"
    "                     frame k shows tick floor(100 k / N), so frame 0 is the start\n"
    "  --network FILE     swim with the network in FILE (its segments and native\n"
    "                     direction too) instead of the embedded one\n"
    "  --save-network FILE  write the network in use to FILE (with --ticks 0\n"
    "                     --no-csv, nothing else)\n"
    "  --summary          print the distance swum, the mean speed and the mean heading\n"
    "                     over the last quarter of the run to standard error\n"
    "  --help             show this text\n"
    "  --version          print the version\n"
    "\n"
    "Columns: tick,t,head_x,head_y,vx,vy, a theta and an omega per segment, a torque u\n"
    "per joint, target; for the embedded swimmer:\n"
    "  tick,t,head_x,head_y,vx,vy,theta1,omega1,theta2,omega2,theta3,omega3,u1,u2,target\n"
    "Row 0 is the start state; every double has 17 significant digits.\n";
}

namespace {

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
    // A press reports its position in two unsigned 16-bit halves.
    if (x < 0 || x > 0xFFFF || y < 0 || y > 0xFFFF)
        return false;
    click.X = static_cast<unsigned>(x);
    click.Y = static_cast<unsigned>(y);
    return true;
}

}  // namespace

bool ParseHeadlessOptions(const std::vector<std::string>& arguments, HeadlessOptions& options,
                          std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help") {
            options.Help = true;
            continue;
        }
        if (option == "--version") {
            options.Version = true;
            continue;
        }
        if (option == "--summary") {
            options.Summary = true;
            continue;
        }
        if (option == "--no-csv") {
            options.NoCsv = true;
            continue;
        }
        std::string value;
        if (!TakeValue(arguments, i,
                       {"--ticks", "--width", "--height", "--click", "--every", "--output",
                        "--frames", "--gif", "--fps", "--network", "--save-network"},
                       value, error))
            return false;
        if (option == "--ticks") {
            if (!ParseInteger(value, options.Ticks) || options.Ticks < 0) {
                error = "--ticks wants a whole number of ticks, 0 or more, not '" + value + "'";
                return false;
            }
        } else if (option == "--width" || option == "--height") {
            int& size = option == "--width" ? options.Width : options.Height;
            if (!ParseInteger(value, size) || size < 1) {
                error = option + " wants a whole number of pixels, 1 or more, not '" + value + "'";
                return false;
            }
        } else if (option == "--every") {
            if (!ParseInteger(value, options.Every) || options.Every < 1) {
                error = "--every wants a whole number, 1 or more, not '" + value + "'";
                return false;
            }
        } else if (option == "--click") {
            HeadlessClick click{};
            if (!ParseClick(value, click)) {
                error = "--click wants TICK:X:Y with whole numbers, X and Y from 0 to 65535, not '" +
                        value + "'";
                return false;
            }
            options.Clicks.push_back(click);
        } else if (option == "--fps") {
            if (!ParseInteger(value, options.Fps) || options.Fps < 1 || options.Fps > MaxFps) {
                error = "--fps wants a whole number of frames per second from 1 to " +
                        std::to_string(MaxFps) + ", not '" + value + "'";
                return false;
            }
        } else {
            if (value.empty()) {
                error = option + " wants a path";
                return false;
            }
            (option == "--output"    ? options.Output
             : option == "--frames"  ? options.FramesFolder
             : option == "--gif"     ? options.Gif
             : option == "--network" ? options.Network
                                     : options.SaveNetwork) = value;
        }
    }
    if (options.NoCsv && !options.Output.empty()) {
        error = "--no-csv and --output contradict each other";
        return false;
    }
    const bool recording = !options.FramesFolder.empty() || !options.Gif.empty();
    if (recording && (options.Width > MaxPictureSide || options.Height > MaxPictureSide)) {
        error = "pictures are at most " + std::to_string(MaxPictureSide) + " pixels a side";
        return false;
    }
    for (const HeadlessClick& click : options.Clicks) {
        if (click.Tick < 1 || click.Tick > options.Ticks) {
            error = "--click at tick " + std::to_string(click.Tick) + " lies outside the run (ticks 1 to " +
                    std::to_string(options.Ticks) + ")";
            return false;
        }
    }
    return true;
}
