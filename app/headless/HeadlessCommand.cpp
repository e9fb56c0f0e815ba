#include "HeadlessCommand.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "Demonstration.h"
#include "HeadlessOptions.h"
#include "HeadlessRecorder.h"
#include "HeadlessRun.h"
#include "NetworkFile.h"

namespace {

const int WriteFailed = 1;
const int BadInput = 2;
const double Degrees = 180.0 / std::numbers::pi;

}  // namespace

int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err, bool showProgress)
{
    HeadlessOptions options;
    std::string error;
    if (!ParseHeadlessOptions(arguments, options, error)) {
        err << "swimmer-headless: " << error << " (see --help)\n";
        return BadInput;
    }
    if (options.Help) {
        out << HeadlessUsage();
        return 0;
    }

    // The swimmer: the embedded one, or a network file's, checked whole.
    SwimmerNetwork swimmer;
    if (!LoadSwimmer(options.Network, swimmer, error)) {
        err << "swimmer-headless: " << error << '\n';
        return BadInput;
    }

    const bool recording = !options.FramesFolder.empty() || !options.Gif.empty();
    if (recording && !CHeadlessRecorder::CheckPaths(options.FramesFolder, options.Gif, error)) {
        err << "swimmer-headless: " << error << '\n';
        return BadInput;
    }
    std::unique_ptr<CAtomicFile> file;
    if (!options.Output.empty()) {
        file = std::make_unique<CAtomicFile>(options.Output);
        if (!file->Good()) {
            err << "swimmer-headless: cannot write '" << options.Output << "'\n";
            return BadInput;
        }
    }
    std::ostream* csv = options.NoCsv ? nullptr : file ? &file->GetStream() : &out;

    const ClientSize client = {options.Width, options.Height};
    std::unique_ptr<CHeadlessRecorder> recorder;
    if (recording) {
        recorder = std::make_unique<CHeadlessRecorder>(client, options.Fps, options.FramesFolder,
                                                       options.Gif);
        if (!recorder->Begin(error)) {
            recorder->Abandon();
            err << "swimmer-headless: " << error << '\n';
            return BadInput;
        }
    }

    if (!options.SaveNetwork.empty() &&
        !WriteNetworkFile(options.SaveNetwork, swimmer.Segments, swimmer.NativeDirection,
                          swimmer.Network, error)) {
        if (recorder)
            recorder->Abandon();
        err << "swimmer-headless: " << error << '\n';
        return WriteFailed;
    }
    CSwimmerControlLoop loop = MakeDemonstration<CSwimmerControlLoop>(swimmer);

    // Long runs report their progress on a terminal, on one line.
    showProgress = showProgress && (options.Ticks >= 100000 || (recording && options.Ticks >= 1000));
    auto progress = [&](long long tick) {
        err << "\rswimmer-headless: tick " << tick << " of " << options.Ticks << " ("
            << 100 * tick / options.Ticks << "%)";
        if (recorder)
            err << ", " << recorder->GetFramesDone() << " frames";
        err << std::flush;
    };
    const auto started = std::chrono::steady_clock::now();
    const HeadlessSummary summary =
        RunHeadless(options, loop, csv, recorder.get(),
                    showProgress ? progress : std::function<void(long long)>());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    if (showProgress)
        err << '\n';

    // Everything or nothing: a failed picture or CSV takes the others along.
    std::string failure = summary.RecordingError;
    if (failure.empty() && recorder && !recorder->Finish(failure))
        recorder->Abandon();
    if (csv == &out) {
        out.flush();
        if (failure.empty() && !out)
            failure = "writing the CSV failed";
    } else if (file && failure.empty() && !file->Commit()) {
        failure = "writing '" + options.Output + "' failed";
    }
    if (!failure.empty()) {
        if (recorder)
            recorder->Abandon();
        if (file)
            file->Discard();
        err << "swimmer-headless: " << failure << '\n';
        return WriteFailed;
    }
    if (options.Summary) {
        const double simulated = options.Ticks * CSwimmerControlLoop::TickPeriod;
        const double seconds = elapsed.count();
        err << "ticks: " << options.Ticks
            << Format(" (%.2f s simulated) in %.3f s wall clock: %.0f simulated seconds per second\n",
                      simulated, seconds, seconds > 0 ? simulated / seconds : 0.0)
            << Format("centre of mass: %.6f units from its start\n", summary.Distance)
            << Format("last quarter (%.2f s): mean speed %.6f units/s, mean heading %.6f rad (%.2f deg);",
                      summary.QuarterDuration, summary.QuarterSpeed, summary.QuarterHeading,
                      summary.QuarterHeading * Degrees)
            << Format(" target %.6f rad (%.2f deg)\n", summary.Target, summary.Target * Degrees);
    }
    return 0;
}
