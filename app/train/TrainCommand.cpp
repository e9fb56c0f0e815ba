#include "TrainCommand.h"

#include <chrono>
#include <filesystem>
#include <limits>

#include "Angles.h"
#include "AtomicFile.h"
#include "CommandLine.h"
#include "GreedyScore.h"
#include "NetworkFile.h"
#include "ProgressLine.h"
#include "SwimmerTrainer.h"

namespace {

const char Usage[] =
    "Usage: swimmer-train [options]\n"
    "Learns a value function for the swimmer from scratch, by temporal differences\n"
    "with the greedy torques of the value function being learned, and writes it as a\n"
    "network file for swimmer-headless --network.\n"
    "\n"
    "  --seed S           the seed of every random draw (default 1)\n"
    "  --steps N          learning steps of 0.01 s of simulated time (default 30000000)\n"
    "  --segments N       segments of the swimmer, 2 to 10 (default 3)\n"
    "  --output FILE      the network file (default swimmer.net)\n"
    "  --curve FILE       the learning curve as CSV (default: FILE of --output + .curve.csv)\n"
    "  --check-every N    learning steps between scores of the greedy swimmer\n"
    "                     (default 1000000)\n"
    "  --help             show this text\n"
    "  --version          print the version\n"
    "\n"
    "Every check scores the learned network and an average of its recent weights by\n"
    "the speed of their greedy swimmers; the best of all checks is written, with the\n"
    "heading its swimmer settles to as the native direction. The same seed and steps\n"
    "give the same file. Ctrl-C stops early and writes the best so far and the curve.\n"
    "Curve columns: steps,simulated_time,mean_td_error,speed,averaged_speed,best_speed,\n"
    "native_direction\n";

struct TrainOptions
{
    std::uint32_t Seed = 1;
    long long Steps = 30000000;
    int Segments = 3;
    std::string Output = "swimmer.net";
    std::string Curve;
    long long CheckEvery = 1000000;
    bool Help = false;
    bool Version = false;
};

bool ParseTrainOptions(const std::vector<std::string>& arguments, TrainOptions& options,
                       std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "--version") {
            (option == "--help" ? options.Help : options.Version) = true;
            continue;
        }
        std::string value;
        if (!TakeValue(arguments, i,
                       {"--seed", "--steps", "--segments", "--output", "--curve", "--check-every"},
                       value, error))
            return false;
        bool good = true;
        if (option == "--seed")
            good = ParseInteger(value, options.Seed);
        else if (option == "--steps")
            good = ParseInteger(value, options.Steps) && options.Steps >= 1;
        else if (option == "--segments")
            good = ParseInteger(value, options.Segments) && options.Segments >= 2 &&
                   options.Segments <= 10;
        else if (option == "--check-every")
            good = ParseInteger(value, options.CheckEvery) && options.CheckEvery >= 1;
        else
            good = !value.empty();
        if (!good) {
            error = option + " does not take '" + value + "'";
            return false;
        }
        if (option == "--output")
            options.Output = value;
        else if (option == "--curve")
            options.Curve = value;
    }
    if (options.Curve.empty())
        options.Curve = options.Output + ".curve.csv";
    for (const std::string* path : {&options.Output, &options.Curve}) {
        const std::string why = WhyNotWritable(*path);
        if (!why.empty()) {
            error = "'" + *path + "': " + why;
            return false;
        }
    }
    if (options.Curve == options.Output) {
        error = "--curve and --output name the same file";
        return false;
    }
    return true;
}

// The better of two checkpoints: a score (a swimmer that keeps one heading)
// first, then plain speed.
bool Better(const GreedyScore& a, const GreedyScore& b)
{
    if (a.Score != b.Score)
        return a.Score > b.Score;
    return a.Speed > b.Speed;
}

}  // namespace

int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<bool>& interrupted)
{
    TrainOptions options;
    std::string error;
    if (!ParseTrainOptions(arguments, options, error)) {
        err << "swimmer-train: " << error << " (see --help)\n";
        return ExitStatus::BadInput;
    }
    if (options.Help) {
        out << Usage;
        return ExitStatus::Success;
    }
    if (options.Version) {
        out << VersionLine("swimmer-train");
        return ExitStatus::Success;
    }

    CSwimmerTrainer trainer(options.Segments, options.Seed);
    CFFNetwork best, probe;
    GreedyScore bestScore;
    bestScore.Speed = -std::numeric_limits<double>::infinity();
    std::string curve =
        "steps,simulated_time,mean_td_error,speed,averaged_speed,best_speed,native_direction\n";
    const auto started = std::chrono::steady_clock::now();
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };

    auto checkpoint = [&] {
        GreedyScore scores[2];
        for (int averaged = 0; averaged <= 1; ++averaged) {
            trainer.GetRoundedNetwork(averaged == 1, probe);
            scores[averaged] = ScoreGreedySwimmer(probe, options.Segments);
            if (Better(scores[averaged], bestScore)) {
                bestScore = scores[averaged];
                best.CopyFrom(probe);
            }
        }
        const long long steps = trainer.GetSteps();
        curve += Format("%lld,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", steps,
                        steps * SwimmerTrainingConstants::Learning.StepPeriod,
                        trainer.TakeMeanTdError(), scores[0].Speed, scores[1].Speed,
                        bestScore.Speed, bestScore.NativeDirection);
    };

    CProgressLine line(err, "swimmer-train", showProgress);
    bool stopped = false;
    for (long long step = 1; step <= options.Steps; ++step) {
        if (interrupted.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        trainer.Step();
        const bool last = step == options.Steps;
        if (step % options.CheckEvery == 0 || last) {
            checkpoint();
            if (!trainer.IsFinite()) {
                err << "\nswimmer-train: the weights diverged at step " << step
                    << "; keeping the best check before\n";
                break;
            }
        }
        if (line.IsShown() && (step % 100000 == 0 || last))
            line.Show("step", step, options.Steps,
                      Format(", about %.0f s left; best swimmer %.3f units/s ",
                             line.SecondsLeft(step, options.Steps),
                             bestScore.Speed > 0 ? bestScore.Speed : 0.0));
    }
    line.End();
    if (stopped && best.GetNeuronCount() == 0)
        checkpoint();  // interrupted before the first check: judge what there is

    if (!WriteNetworkFile(options.Output, options.Segments, bestScore.NativeDirection, best, error)) {
        err << "swimmer-train: " << error << '\n';
        return ExitStatus::Failed;
    }
    if (!WriteFileAtomically(options.Curve, curve.data(), curve.size())) {
        std::error_code failure;
        std::filesystem::remove(options.Output, failure);  // all or nothing
        err << "swimmer-train: writing '" << options.Curve << "' failed\n";
        return ExitStatus::Failed;
    }
    err << Format("swimmer-train: %lld steps in %.1f s; best greedy swimmer %.4f units/s, "
                  "native direction %.4f rad, heading spread %.2f deg\n",
                  trainer.GetSteps(), seconds(), bestScore.Speed, bestScore.NativeDirection,
                  bestScore.Spread * DegreesPerRadian);
    return stopped ? ExitStatus::Interrupted : ExitStatus::Success;
}
