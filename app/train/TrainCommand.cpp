#include "TrainCommand.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>

#include "Angles.h"
#include "AtomicFile.h"
#include "CommandLine.h"
#include "GreedyScore.h"
#include "LearnLimits.h"
#include "NetworkFile.h"
#include "OptionParser.h"
#include "ProgressLine.h"
#include "SwimmerTrainer.h"
#include "TrainingRun.h"
#include "WorkerTeam.h"

namespace {

const char Description[] =
    "Learns a value function for the swimmer from scratch, by temporal differences\n"
    "with the greedy torques of the value function being learned, and writes it as a\n"
    "network file for swimmer-headless --network.";

const char PlanGroup[] =
    "The plan for each length of swimmer can be changed (defaults: the plan's)";

const char Footer[] =
    "Every check scores each learner's network, an average of its recent weights, by\n"
    "the speed and heading of its greedy swimmer in the control loop; the best of all\n"
    "checks is written, with the heading its swimmer settles to as the native\n"
    "direction. The same options give the same file, whatever the threads. Ctrl-C\n"
    "stops early and writes the best so far and the curve.\n"
    "Curve columns: steps,simulated_time,mean_td_error, then speed0, speed1, ...\n"
    "(each learner's at the check), best_speed,native_direction";

// The most threads, learners, trajectories and hidden neurons anyone would
// ask for; more is a typo.
const int MaxThreads = 256;
const int MaxLearners = 64;
const int MaxTrajectories = 64;
const int MaxHidden = 200;

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
};

void DeclareTrainOptions(COptionParser& parser, TrainOptions& options)
{
    parser.AddWhole("--seed", "S", options.Seed, 0, std::numeric_limits<std::uint32_t>::max(),
                    "the seed of every random draw");
    parser.AddWhole("--segments", "N", options.Segments, LearnLimits::FewestSegments,
                    LearnLimits::MostSegments, "segments of the swimmer");
    parser.AddWhole("--steps", "N", options.Steps, 1, LearnLimits::MostSteps,
                    "learning steps, each of --step-time simulated seconds, all learners together",
                    "the plan for the segments");
    parser.AddWhole("--threads", "N", options.Threads, 1, MaxThreads,
                    "threads to learn and score on; the result does not depend on it",
                    "every core, here " + std::to_string(CWorkerTeam::MachineThreads()));
    parser.AddPath("--output", "FILE", options.Output, "the network file", options.Output);
    parser.AddPath("--curve", "FILE", options.Curve, "the learning curve as CSV",
                   "FILE of --output + .curve.csv");
    parser.AddWhole("--check-every", "N", options.CheckEvery, 1, LearnLimits::MostSteps,
                    "learning steps between scores of the greedy swimmer", "the plan's");

    const std::string planDefault = "";  // the group's title gives them
    const RealRange positiveToOne = {0, false, 1};
    const std::vector<CLI::Option*> plan = {
        parser.AddWhole("--hidden", "N", options.Hidden, 1, MaxHidden, "hidden neurons",
                        planDefault),
        parser.AddWhole("--learners", "P", options.Learners, 1, MaxLearners,
                        "learners learning apart, side by side", planDefault),
        parser.AddWhole("--trajectories", "K", options.Trajectories, 1, MaxTrajectories,
                        "trajectories of each learner, their updates summed", planDefault),
        parser.AddReal("--take-over-below", "R", options.TakeOverBelow, {0, true, 1},
                       "a learner whose checkpoint scores below R times the best learner's "
                       "takes its weights; 0: never",
                       planDefault),
        parser.AddReal("--step-time", "S", options.StepPeriod, {0, false, 0.1},
                       "simulated seconds of a learning step, h", planDefault),
        parser.AddReal("--discount", "S", options.Discount, {0, false, 1000},
                       "discount time constant tau, seconds", planDefault),
        parser.AddReal("--trace", "S", options.Trace, {0, false, 1000},
                       "eligibility trace time constant kappa, seconds", planDefault),
        parser.AddReal("--learning-rate", "X", options.LearningRate, positiveToOne,
                       "learning rate eta", planDefault),
        parser.AddReal("--final-rate", "F", options.FinalRate, positiveToOne,
                       "the rate falls linearly over the budget to F times eta; 1: constant",
                       planDefault),
        parser.AddReal("--trajectory", "S", options.TrajectoryTime, {0, false, 1e6},
                       "seconds of a trajectory from its random start", planDefault),
        parser.AddReal("--average-time", "S", options.AverageTime, {0, false, 1e9},
                       "simulated seconds over which a learner's weights are averaged for its "
                       "checks",
                       planDefault),
    };
    for (CLI::Option* option : plan)
        option->group(PlanGroup);
}

// What is wrong with the files asked for, "" if nothing: both writable, and
// two of them.
std::string CheckFiles(TrainOptions& options)
{
    if (options.Curve.empty())
        options.Curve = options.Output + ".curve.csv";
    for (const std::string* path : {&options.Output, &options.Curve}) {
        const std::string why = WhyNotWritable(*path);
        if (!why.empty())
            return "'" + *path + "': " + why;
    }
    if (options.Curve == options.Output)
        return "--curve and --output name the same file";
    return "";
}

// The command line as the network file's comment tells it: the options
// that decide what is learned, not where it is written or on how many
// threads.
std::string MadeBy(const std::vector<std::string>& arguments)
{
    std::string command = std::string("made by swimmer-train ") + ProjectVersion();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = argument.substr(0, argument.find('='));
        if (name == "--output" || name == "--curve" || name == "--threads") {
            if (name == argument)
                ++i;  // and its value, which follows
            continue;
        }
        command += " " + argument;
    }
    return command;
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
    COptionParser parser("swimmer-train", Description, Footer);
    DeclareTrainOptions(parser, options);
    if (const std::optional<int> status =
            parser.Parse(arguments, out, err, [&] { return CheckFiles(options); }))
        return *status;

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
                    << (run.GetBestLearner() >= 0 ? "; keeping the best check before\n" : "\n");
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
    if (run.GetBestLearner() < 0) {
        // The weights diverged before any check found a finite network:
        // there is nothing to write, and a curve alone is no result.
        err << "swimmer-train: no check found a network to keep; nothing written\n";
        return ExitStatus::Failed;
    }
    const GreedyScore& bestScore = run.GetBestScore();

    // What made the file, as comments: the options that decide what is
    // learned, and the check it comes from.
    const std::string note =
        MadeBy(arguments) + "\n" +
        Format("the averaged weights of learner %d at step %lld of %lld: greedy swimmer %.4f "
               "units/s (slowest %.4f), heading spread %.2f deg",
               run.GetBestLearner(), run.GetBestStep(), run.GetSteps(), bestScore.Speed,
               bestScore.Slowest,
               bestScore.Spread * DegreesPerRadian);
    std::string error;
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
