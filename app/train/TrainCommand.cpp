#include "TrainCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "Angles.h"
#include "AtomicFile.h"
#include "CommandLine.h"
#include "DecimalText.h"
#include "GreedyScore.h"
#include "NetworkFile.h"
#include "ProgressLine.h"
#include "SwimmerTrainer.h"
#include "TrainingRun.h"
#include "WorkerTeam.h"

namespace {

const char Usage[] =
    "Usage: swimmer-train [options]\n"
    "Learns a value function for the swimmer from scratch, by temporal differences\n"
    "with the greedy torques of the value function being learned, and writes it as a\n"
    "network file for swimmer-headless --network.\n"
    "\n"
    "  --seed S           the seed of every random draw (default 1)\n"
    "  --segments N       segments of the swimmer, 2 to 10 (default 3)\n"
    "  --steps N          learning steps, each of --step-time simulated seconds, all\n"
    "                     learners together (default: the plan for the segments)\n"
    "  --threads N        threads to learn and score on (default: every core, here CORES);\n"
    "                     the result does not depend on it\n"
    "  --output FILE      the network file (default swimmer.net)\n"
    "  --curve FILE       the learning curve as CSV (default: FILE of --output + .curve.csv)\n"
    "  --check-every N    learning steps between scores of the greedy swimmer\n"
    "                     (default: the plan's)\n"
    "  --help             show this text\n"
    "  --version          print the version\n"
    "\n"
    "The plan for each length of swimmer can be changed (defaults: the plan's):\n"
    "  --hidden N         hidden neurons, 1 to 200\n"
    "  --learners P       learners learning apart, side by side, 1 to 64\n"
    "  --trajectories K   trajectories of each learner, their updates summed, 1 to 64\n"
    "  --take-over-below R  a learner whose checkpoint scores below R times the best\n"
    "                     learner's takes its weights (0 < R <= 1; 0: never)\n"
    "  --step-time S      simulated seconds of a learning step, h (at most 0.1)\n"
    "  --discount S       discount time constant tau, seconds\n"
    "  --trace S          eligibility trace time constant kappa, seconds\n"
    "  --learning-rate X  learning rate eta\n"
    "  --final-rate F     the rate falls linearly over the budget to F times eta\n"
    "                     (0 < F <= 1; 1: constant)\n"
    "  --trajectory S     seconds of a trajectory from its random start\n"
    "  --average-time S   simulated seconds over which a learner's weights are\n"
    "                     averaged for its checks\n"
    "\n"
    "Every check scores each learner's network, an average of its recent weights, by\n"
    "the speed and heading of its greedy swimmer in the control loop; the best of all\n"
    "checks is written, with the heading its swimmer settles to as the native\n"
    "direction. The same options give the same file, whatever the threads. Ctrl-C\n"
    "stops early and writes the best so far and the curve.\n"
    "Curve columns: steps,simulated_time,mean_td_error, then speed0, speed1, ...\n"
    "(each learner's at the check), best_speed,native_direction\n";

// The most threads and trajectories anyone would ask for; more is a typo.
const int MaxThreads = 256;
const int MaxTrajectories = 64;

struct TrainOptions
{
    std::uint32_t Seed = 1;
    int Segments = 3;
    long long Steps = 0;       // 0: the plan's
    long long CheckEvery = 0;  // 0: the plan's
    int Threads = CWorkerTeam::MachineThreads();
    std::string Output = "swimmer.net";
    std::string Curve;
    // Changes to the plan, 0 where none was asked for.
    int Hidden = 0;
    int Learners = 0;
    int Trajectories = 0;
    double TakeOverBelow = -1;
    double FinalRate = 0;
    double AverageTime = 0;
    double StepPeriod = 0, Discount = 0, Trace = 0, LearningRate = 0, TrajectoryTime = 0;
    bool Help = false;
    bool Version = false;
};

// A positive finite number of at most max.
bool ParsePositive(const std::string& text, double max, double& value)
{
    return ParseDecimal(text, value) && std::isfinite(value) && value > 0 && value <= max;
}

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
                       {"--seed", "--steps", "--segments", "--threads", "--output", "--curve",
                        "--check-every", "--hidden", "--trajectories", "--discount", "--trace",
                        "--learning-rate", "--trajectory", "--learners", "--step-time",
                        "--take-over-below", "--final-rate", "--average-time"},
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
        else if (option == "--threads")
            good = ParseInteger(value, options.Threads) && options.Threads >= 1 &&
                   options.Threads <= MaxThreads;
        else if (option == "--check-every")
            good = ParseInteger(value, options.CheckEvery) && options.CheckEvery >= 1;
        else if (option == "--hidden")
            good = ParseInteger(value, options.Hidden) && options.Hidden >= 1 &&
                   options.Hidden <= 200;
        else if (option == "--trajectories")
            good = ParseInteger(value, options.Trajectories) && options.Trajectories >= 1 &&
                   options.Trajectories <= MaxTrajectories;
        else if (option == "--take-over-below")
            good = ParsePositive(value, 1.0, options.TakeOverBelow) || value == "0";
        else if (option == "--final-rate")
            good = ParsePositive(value, 1.0, options.FinalRate);
        else if (option == "--average-time")
            good = ParsePositive(value, 1e9, options.AverageTime);
        else if (option == "--step-time")
            good = ParsePositive(value, 0.1, options.StepPeriod);
        else if (option == "--discount")
            good = ParsePositive(value, 1000.0, options.Discount);
        else if (option == "--trace")
            good = ParsePositive(value, 1000.0, options.Trace);
        else if (option == "--learning-rate")
            good = ParsePositive(value, 1.0, options.LearningRate);
        else if (option == "--trajectory")
            good = ParsePositive(value, 1e6, options.TrajectoryTime);
        else if (option == "--learners")
            good = ParseInteger(value, options.Learners) && options.Learners >= 1 &&
                   options.Learners <= MaxTrajectories;
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

// The plan for the segments with the options' changes.
TrainingPlan PlanOf(const TrainOptions& options)
{
    TrainingPlan plan = DefaultPlan(options.Segments, options.Steps, options.CheckEvery);
    if (options.Hidden)
        plan.HiddenNeurons = options.Hidden;
    if (options.Trajectories)
        plan.Trajectories = options.Trajectories;
    if (options.StepPeriod)
        plan.Learning.StepPeriod = options.StepPeriod;
    if (options.Discount)
        plan.Learning.Discount = options.Discount;
    if (options.Trace)
        plan.Learning.TraceDecay = options.Trace;
    if (options.LearningRate)
        plan.Learning.LearningRate = options.LearningRate;
    if (options.TrajectoryTime)
        plan.Learning.TrajectoryTime = options.TrajectoryTime;
    if (options.Learners)
        plan.Learners = options.Learners;
    if (options.TakeOverBelow >= 0)
        plan.TakeOverBelow = options.TakeOverBelow;
    if (options.FinalRate)
        plan.FinalRate = options.FinalRate;
    if (options.AverageTime)
        plan.AverageTime = options.AverageTime;
    return plan;
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
        std::string usage = Usage;
        usage.replace(usage.find("CORES"), 5, std::to_string(CWorkerTeam::MachineThreads()));
        out << usage;
        return ExitStatus::Success;
    }
    if (options.Version) {
        out << VersionLine("swimmer-train");
        return ExitStatus::Success;
    }

    const TrainingPlan plan = PlanOf(options);
    CWorkerTeam team(options.Threads);
    CTrainingRun run(plan, options.Seed, team);
    std::string curve = "steps,simulated_time,mean_td_error";
    for (int p = 0; p < plan.Learners; ++p)
        curve += ",speed" + std::to_string(p);
    curve += ",best_speed,native_direction\n";
    auto addCheck = [&] {
        const TrainingCheck& check = run.GetLastCheck();
        curve += Format("%lld,%.17g,%.17g", check.Steps, check.Steps * plan.Learning.StepPeriod,
                        check.MeanTdError);
        for (const GreedyScore& score : check.Scores)
            curve += Format(",%.17g", score.Speed);
        curve += Format(",%.17g,%.17g\n", run.GetBestScore().Speed,
                        run.GetBestScore().NativeDirection);
    };
    const auto started = std::chrono::steady_clock::now();

    CProgressLine line(err, "swimmer-train", showProgress);
    const long long progressEvery = 100000;
    bool stopped = false;
    while (!run.IsDone()) {
        if (interrupted.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        if (run.Advance((run.GetSteps() / progressEvery + 1) * progressEvery)) {
            addCheck();
            if (run.HasDiverged()) {
                line.End();
                err << "swimmer-train: the weights diverged at step " << run.GetSteps()
                    << "; keeping the best check before\n";
                break;
            }
        }
        if (line.IsShown())
            line.Show("step", run.GetSteps(), plan.Steps,
                      Format(", about %.0f s left; best swimmer %.3f units/s ",
                             line.SecondsLeft(run.GetSteps(), plan.Steps),
                             std::max(run.GetBestScore().Speed, 0.0)));
    }
    line.End();
    if (stopped && run.CheckIfNone())
        addCheck();  // interrupted before the first check: judge what there is
    const GreedyScore& bestScore = run.GetBestScore();

    // What made the file, as comments: the options that decide what is
    // learned, and the check it comes from.
    std::string command = std::string("made by swimmer-train ") + ProjectVersion();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--output" || arguments[i] == "--curve" || arguments[i] == "--threads") {
            ++i;
            continue;
        }
        command += " " + arguments[i];
    }
    const std::string note =
        command + "\n" +
        Format("the averaged weights of learner %d at step %lld of %lld: greedy swimmer %.4f "
               "units/s (slowest %.4f), heading spread %.2f deg",
               run.GetBestLearner(), run.GetBestStep(), run.GetSteps(), bestScore.Speed,
               bestScore.Slowest,
               bestScore.Spread * DegreesPerRadian);
    if (!WriteNetworkFile(options.Output, plan.Segments, bestScore.NativeDirection, run.GetBest(), error,
                          note)) {
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
                  run.GetSteps(),
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                  bestScore.Speed, bestScore.NativeDirection,
                  bestScore.Spread * DegreesPerRadian);
    return stopped ? ExitStatus::Interrupted : ExitStatus::Success;
}
