#include "HeadlessCommand.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "Angles.h"
#include "AtomicFile.h"
#include "CommandLine.h"
#include "EmbeddedSwimmer.h"
#include "HeadlessOptions.h"
#include "HeadlessRecorder.h"
#include "HeadlessRun.h"
#include "NetworkFile.h"
#include "ProgressLine.h"
#include "SwimmerView.h"

int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err, bool showProgress)
{
    HeadlessOptions options;
    if (const std::optional<int> status = ParseHeadlessOptions(arguments, options, out, err))
        return *status;
    std::string error;

    // The swimmer: the embedded one, or a network file's, checked whole.
    SwimmerNetwork swimmer;
    if (options.Network.empty())
        LoadEmbeddedSwimmer(swimmer);
    else if (!ReadNetworkFile(options.Network, swimmer, error)) {
        err << "swimmer-headless: " << error << '\n';
        return ExitStatus::BadInput;
    }

    const bool recording = !options.FramesFolder.empty() || !options.Gif.empty();
    if (recording && !CHeadlessRecorder::CheckPaths(options.FramesFolder, options.Gif, error)) {
        err << "swimmer-headless: " << error << '\n';
        return ExitStatus::BadInput;
    }
    std::unique_ptr<CAtomicFile> file;
    if (!options.Output.empty()) {
        file = std::make_unique<CAtomicFile>(options.Output);
        if (!file->Good()) {
            err << "swimmer-headless: cannot write '" << options.Output << "'\n";
            return ExitStatus::BadInput;
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
            return ExitStatus::BadInput;
        }
    }

    if (!options.SaveNetwork.empty() &&
        !WriteNetworkFile(options.SaveNetwork, swimmer.Segments, swimmer.NativeDirection,
                          swimmer.Network, error)) {
        if (recorder)
            recorder->Abandon();
        err << "swimmer-headless: " << error << '\n';
        return ExitStatus::Failed;
    }
    CSwimmerControlLoop loop = MakeOnView<CSwimmerControlLoop>(swimmer);

    // Long runs report their progress on a terminal, on one line.
    CProgressLine line(err, "swimmer-headless",
                       showProgress &&
                           (options.Ticks >= 100000 || (recording && options.Ticks >= 1000)));
    auto progress = [&](long long tick) {
        line.Show("tick", tick, options.Ticks,
                  recorder ? ", " + std::to_string(recorder->GetFramesDone()) + " frames" : "");
    };
    const auto started = std::chrono::steady_clock::now();
    const HeadlessSummary summary =
        RunHeadless(options, loop, csv, recorder.get(),
                    line.IsShown() ? progress : std::function<void(long long)>());
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    line.End();

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
        return ExitStatus::Failed;
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
                      summary.QuarterHeading * DegreesPerRadian)
            << Format(" target %.6f rad (%.2f deg)\n", summary.Target, summary.Target * DegreesPerRadian);
    }
    return ExitStatus::Success;
}
