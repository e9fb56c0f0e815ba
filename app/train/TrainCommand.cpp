#include "TrainCommand.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <utility>

#include "Angles.h"
#include "AtomicFile.h"
#include "CheckpointFile.h"
#include "CommandLine.h"
#include "DecimalText.h"
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
    "checks is written (one heading within 5 degrees first), with the heading its\n"
    "swimmer settles to as the native direction. The same options give the same\n"
    "file, whatever the threads and the ranks (mpirun -np R swimmer-train ...).\n"
    "Ctrl-C or SIGTERM stops early and writes the best so far and the curve (status\n"
    "130 or 143); --resume of the checkpoint goes on as if never stopped.\n"
    "Curve columns: steps,simulated_time,mean_td_error, then speed0, speed1, ...\n"
    "(each learner's at the check), best_speed,native_direction, then rate0,discount0,\n"
    "rate1,discount1, ... (the eta and tau each learner learned with up to the check)";

// The most threads, learners, trajectories and hidden neurons anyone would
// ask for; more is a typo.
const int MaxThreads = 256;
const int MaxLearners = 64;
const int MaxTrajectories = 64;
const int MaxHidden = 200;

// What decides what is learned: the same gives the same network.
struct LearningOptions
{
    std::uint32_t Seed = 1;
    int Segments = 3;
    long long Steps = 0;       // 0: the plan's
    long long CheckEvery = 0;  // 0: the plan's
    // Changes to the plan, 0 where none was asked for.
    int Hidden = 0;
    int Learners = 0;
    int Islands = 0;
    int Trajectories = 0;
    double TakeOverBelow = -1;
    double TakeOverFrom = -1;
    long long TakeOverEvery = 0;  // 0: the plan's
    double RandomTorques = -1;
    int SpeedLeads = -1;
    double Explore = 0;
    double FinalRate = 0;
    double FallOver = 0;
    double SteerWithin = 0;  // degrees
    double AverageTime = 0;
    double StepPeriod = 0, Discount = 0, Trace = 0, LearningRate = 0, TrajectoryTime = 0;
};

struct TrainOptions
{
    LearningOptions Learning;
    // Where and how fast, which changes nothing learned.
    int Threads = 1;
    std::string Output = "swimmer.net";
    std::string Curve;
    std::string Checkpoint;
    std::string Resume;
    bool ShowPlan = false;
};

// The options of where and how fast, each with its value.
const char* const PlaceOptions[] = {"--output", "--curve", "--threads", "--checkpoint",
                                    "--resume"};

void DeclareTrainOptions(COptionParser& parser, TrainOptions& options, int machineThreads)
{
    LearningOptions& learning = options.Learning;
    parser.AddWhole("--seed", "S", learning.Seed, 0, std::numeric_limits<std::uint32_t>::max(),
                    "the seed of every random draw");
    parser.AddWhole("--segments", "N", learning.Segments, LearnLimits::FewestSegments,
                    LearnLimits::MostSegments, "segments of the swimmer");
    parser.AddWhole("--steps", "N", learning.Steps, 1, LearnLimits::MostSteps,
                    "learning steps, each of --step-time simulated seconds, all learners of an "
                    "island together",
                    "the plan for the segments");
    parser.AddWhole("--threads", "N", options.Threads, 1, MaxThreads,
                    "threads to learn and score on, in each rank; the result does not depend on it",
                    "every core, shared among the ranks on a machine; here " +
                        std::to_string(machineThreads));
    parser.AddPath("--output", "FILE", options.Output, "the network file", options.Output);
    parser.AddPath("--curve", "FILE", options.Curve, "the learning curve as CSV",
                   "FILE of --output + .curve.csv");
    parser.AddWhole("--check-every", "N", learning.CheckEvery, 1, LearnLimits::MostSteps,
                    "learning steps between scores of the greedy swimmer", "the plan's");
    parser.AddPath("--checkpoint", "FILE", options.Checkpoint,
                   "write the whole state of the run to FILE at every check, for --resume",
                   "none; with --resume, its FILE");
    parser.AddPath("--resume", "FILE", options.Resume,
                   "go on with the run of the checkpoint FILE, its options from it (only "
                   "--threads, --output, --curve and --checkpoint may differ)");
    parser.AddFlag("--show-plan", options.ShowPlan,
                   "print the plan these options learn with, every constant of it an option "
                   "a line (with --segments N alone: that length's defaults), and exit; "
                   "with --resume, the checkpoint's");

    const std::string planDefault = "";  // the group's title gives them
    const RealRange positiveToOne = {0, false, 1};
    const std::vector<COptionParser::COption> plan = {
        parser.AddWhole("--hidden", "N", learning.Hidden, 1, MaxHidden, "hidden neurons",
                        planDefault),
        parser.AddWhole("--learners", "P", learning.Learners, 1, MaxLearners,
                        "learners learning apart, side by side", planDefault),
        parser.AddWhole("--islands", "K", learning.Islands, 1, MaxLearners,
                        Format("K populations side by side that never meet, each of the plan's "
                               "learners on its budget (--learners, --steps and --check-every "
                               "are each island's), the first learning as one island alone "
                               "would; the best check of all is written (the plans: %d on five "
                               "segments, else 1)",
                               DefaultIslands(5)),
                        planDefault),
        parser.AddWhole("--trajectories", "K", learning.Trajectories, 1, MaxTrajectories,
                        "trajectories of each learner, their updates summed", planDefault),
        parser.AddReal("--take-over-below", "R", learning.TakeOverBelow, {0, true, 1},
                       "a learner whose checkpoint scores below R times the best learner's "
                       "takes its weights; 0: never",
                       planDefault),
        parser.AddReal("--take-over-from", "F", learning.TakeOverFrom, {0, true, 1},
                       "take-overs start at F of the budget", planDefault),
        parser.AddWhole("--take-over-every", "N", learning.TakeOverEvery, 1,
                        LearnLimits::MostSteps,
                        "take-overs and explore steps only at the first check at or after every "
                        "N learning steps, the checks between only scoring; by default at every "
                        "check",
                        planDefault),
        parser.AddReal("--random-torques", "P", learning.RandomTorques, {0, true, 1},
                       "the chance at each learning step that the torques are drawn at random, "
                       "each joint's at its lowest or highest, instead of greedily; 0: always "
                       "greedy",
                       planDefault),
        parser.AddWhole("--speed-leads", "B", learning.SpeedLeads, 0, 1,
                        "1: while no learner steers, take-overs follow the fastest, by speed; "
                        "0: only a learner that steers leads",
                        planDefault),
        parser.AddReal("--explore", "X", learning.Explore, {1, true, 10},
                       "a learner that takes over learns on with its source's eta and tau, each "
                       "multiplied or divided by X; 1: as they were",
                       planDefault),
        parser.AddReal("--step-time", "S", learning.StepPeriod, {0, false, 0.1},
                       "simulated seconds of a learning step, h", planDefault),
        parser.AddReal("--discount", "S", learning.Discount, {0, false, 1000},
                       "discount time constant tau, seconds", planDefault),
        parser.AddReal("--trace", "S", learning.Trace, {0, false, 1000},
                       "eligibility trace time constant kappa, seconds", planDefault),
        parser.AddReal("--learning-rate", "X", learning.LearningRate, positiveToOne,
                       "learning rate eta", planDefault),
        parser.AddReal("--final-rate", "F", learning.FinalRate, positiveToOne,
                       "the rate falls linearly (over --fall-over of the budget) to F times "
                       "eta; 1: constant",
                       planDefault),
        parser.AddReal("--fall-over", "F", learning.FallOver, positiveToOne,
                       "the rate falls over the first F of the budget, then holds", planDefault),
        parser.AddReal("--steer-within", "DEG", learning.SteerWithin, {0, false, 180},
                       "a check steers, and its score counts, only when each of its runs heads "
                       "within DEG degrees of where it should",
                       planDefault),
        parser.AddReal("--trajectory", "S", learning.TrajectoryTime, {0, false, 1e6},
                       "seconds of a trajectory from its random start", planDefault),
        parser.AddReal("--average-time", "S", learning.AverageTime, {0, false, 1e9},
                       "simulated seconds over which a learner's weights are averaged for its "
                       "checks",
                       planDefault),
    };
    for (COptionParser::COption option : plan)
        option.InGroup(PlanGroup);
}

// The files' defaults, and on the rank that writes them (check) what is
// wrong with them, "" if nothing: each writable, and no two the same.
std::string CheckFiles(TrainOptions& options, bool check)
{
    if (options.Curve.empty())
        options.Curve = options.Output + ".curve.csv";
    // A resumed run keeps its checkpoint up to date.
    if (options.Checkpoint.empty())
        options.Checkpoint = options.Resume;
    if (!check)
        return "";
    for (const std::string* path : {&options.Output, &options.Curve, &options.Checkpoint}) {
        const std::string why = path->empty() ? "" : WhyNotWritable(*path);
        if (!why.empty())
            return "'" + *path + "': " + why;
    }
    if (options.Curve == options.Output)
        return "--curve and --output name the same file";
    if (options.Checkpoint == options.Output || options.Checkpoint == options.Curve)
        return "--checkpoint names the same file as --output or --curve";
    return "";
}

// The arguments that decide what is learned: all but the options of where
// and how fast, with their values.
std::vector<std::string> LearningArguments(const std::vector<std::string>& arguments)
{
    std::vector<std::string> learning;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = argument.substr(0, argument.find('='));
        if (std::find(std::begin(PlaceOptions), std::end(PlaceOptions), name) !=
            std::end(PlaceOptions)) {
            if (name == argument)
                ++i;  // and its value, which follows
            continue;
        }
        learning.push_back(argument);
    }
    return learning;
}

// The command line as the network file's comment tells it.
std::string MadeBy(const std::vector<std::string>& learning)
{
    std::string command = std::string("made by swimmer-train ") + ProjectVersion();
    for (const std::string& argument : learning)
        command += " " + argument;
    return command;
}

// How many islands the options ask for, or the plan's.
int IslandsOf(const LearningOptions& options)
{
    return options.Islands ? options.Islands : DefaultIslands(options.Segments);
}

// The plan of each island for the segments with the options' changes.
TrainingPlan IslandOf(const LearningOptions& options)
{
    TrainingPlan plan = IslandPlan(options.Segments, options.Steps, options.CheckEvery);
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
    if (options.TakeOverFrom >= 0)
        plan.TakeOverFrom = options.TakeOverFrom;
    if (options.TakeOverEvery)
        plan.TakeOverEvery = options.TakeOverEvery;
    if (options.RandomTorques >= 0)
        plan.RandomTorques = options.RandomTorques;
    if (options.SpeedLeads >= 0)
        plan.SpeedLeads = options.SpeedLeads != 0;
    if (options.Explore)
        plan.ExploreFactor = options.Explore;
    if (options.FinalRate)
        plan.FinalRate = options.FinalRate;
    if (options.FallOver)
        plan.FallOver = options.FallOver;
    if (options.SteerWithin)
        plan.SteerWithin = options.SteerWithin / DegreesPerRadian;
    if (options.AverageTime)
        plan.AverageTime = options.AverageTime;
    return plan;
}

// The plan for the segments with the options' changes: islands of it.
TrainingPlan PlanOf(const LearningOptions& options)
{
    return AcrossIslands(IslandOf(options), IslandsOf(options));
}

// A value in the fewest digits that read back to it, whole numbers whole
// (1000, not 1e+03).
std::string ValueText(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    return ShortestDecimal(value);
}

// An angle the plan holds in radians as the degrees an option gives, in
// the fewest digits that read back to the same radians.
std::string DegreesText(double radians)
{
    const double degrees = radians * DegreesPerRadian;
    const std::string rounded = ValueText(std::round(degrees * 1e9) / 1e9);
    double read = 0.0;
    if (ParseDecimal(rounded, read) && read / DegreesPerRadian == radians)
        return rounded;
    return ShortestDecimal(degrees);
}

// The plan as the options that give it, each value read back to the same
// bits: every constant a user may change, whatever the defaults.
std::vector<std::pair<const char*, std::string>> PlanOptions(const TrainingPlan& plan)
{
    const TDConstants& learning = plan.Learning;
    const int islands = plan.Islands;  // the options give each island's
    std::vector<std::pair<const char*, std::string>> options = {
        {"--segments", std::to_string(plan.Segments)},
        {"--steps", std::to_string(plan.Steps / islands)},
        {"--check-every", std::to_string(plan.CheckEvery / islands)},
        {"--hidden", std::to_string(plan.HiddenNeurons)},
        {"--learners", std::to_string(plan.Learners / islands)},
        {"--islands", std::to_string(islands)},
        {"--trajectories", std::to_string(plan.Trajectories)},
        {"--take-over-below", ValueText(plan.TakeOverBelow)},
        {"--take-over-from", ValueText(plan.TakeOverFrom)},
        {"--random-torques", ValueText(plan.RandomTorques)},
        {"--speed-leads", plan.SpeedLeads ? "1" : "0"},
        {"--explore", ValueText(plan.ExploreFactor)},
        {"--step-time", ValueText(learning.StepPeriod)},
        {"--discount", ValueText(learning.Discount)},
        {"--trace", ValueText(learning.TraceDecay)},
        {"--learning-rate", ValueText(learning.LearningRate)},
        {"--final-rate", ValueText(plan.FinalRate)},
        {"--fall-over", ValueText(plan.FallOver)},
        {"--steer-within", DegreesText(plan.SteerWithin)},
        {"--trajectory", ValueText(learning.TrajectoryTime)},
        {"--average-time", ValueText(plan.AverageTime)},
    };
    // Take-overs at every check have no option of their own: its absence.
    if (plan.TakeOverEvery)
        options.emplace_back("--take-over-every", std::to_string(plan.TakeOverEvery / islands));
    return options;
}

// What learning arguments ask for, or nothing if they are refused.
std::optional<LearningOptions> ReadLearning(const std::vector<std::string>& arguments)
{
    TrainOptions options;
    COptionParser parser("swimmer-train", Description, Footer);
    DeclareTrainOptions(parser, options, 1);
    std::ostream silent(nullptr);
    if (parser.Parse(arguments, silent, silent))
        return std::nullopt;
    return options.Learning;
}

// The checkpoint of --resume, read by rank 0 and given to every rank, its
// options taking the place of those given, which must agree with them;
// why not, or "".
std::string TakeCheckpoint(TrainOptions& options, const std::vector<std::string>& arguments,
                           CRankGroup& ranks, Checkpoint& checkpoint)
{
    const std::string name = "--resume '" + options.Resume + "' ";
    std::string bytes, error;
    const bool read = ranks.Rank() != 0 || ReadCheckpointFile(options.Resume, bytes, error);
    if (ranks.AnyRank(!read))
        return name + error;
    ranks.Broadcast(bytes);
    const std::string why = ReadCheckpoint(bytes, checkpoint);
    if (!why.empty())
        return name + why;
    if (checkpoint.Version != ProjectVersion())
        return name + "was written by swimmer-train " + checkpoint.Version + ", this is " +
               ProjectVersion();
    std::vector<std::string> both = checkpoint.Options;
    for (const std::string& argument : LearningArguments(arguments))
        both.push_back(argument);
    const std::optional<LearningOptions> stored = ReadLearning(checkpoint.Options);
    const std::optional<LearningOptions> asked = ReadLearning(both);
    if (!stored || !asked)
        return name + "holds options this swimmer-train refuses";
    if (PlanOf(*asked) != PlanOf(*stored) || asked->Seed != stored->Seed)
        return name + "is a checkpoint of other options: " + MadeBy(checkpoint.Options);
    options.Learning = *stored;
    return "";
}

// The run's state and the curve so far, from every rank to rank 0, which
// writes them whole; false if writing failed.
bool SaveCheckpoint(CTrainingRun& run, const TrainOptions& options,
                    const std::vector<std::string>& learning, const std::string& curve,
                    CRankGroup& ranks)
{
    Checkpoint checkpoint{ProjectVersion(), learning, curve, run.SaveState()};
    if (ranks.Rank() != 0)
        return true;
    const std::string bytes = CheckpointBytes(checkpoint);
    return WriteFileAtomically(options.Checkpoint, bytes.data(), bytes.size());
}

}  // namespace

int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<int>& stopStatus)
{
    CSingleProcess alone;
    return RunTrainCommand(arguments, out, err, showProgress, stopStatus, alone);
}

int RunTrainCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err, bool showProgress, const std::atomic<int>& stopStatus,
                    CRankGroup& ranks)
{
    const bool speaks = ranks.Rank() == 0;
    std::ostream silent(nullptr);
    std::ostream& said = speaks ? err : silent;

    TrainOptions options;
    options.Threads = std::max(1, CWorkerTeam::MachineThreads() / ranks.OnThisMachine());
    COptionParser parser("swimmer-train", Description, Footer);
    DeclareTrainOptions(parser, options, options.Threads);
    // Showing the plan writes nothing, so no file need be writable.
    const std::optional<int> status =
        parser.Parse(arguments, speaks ? out : silent, said, [&] {
            const long long steps = IslandOf(options.Learning).Steps;
            const int islands = IslandsOf(options.Learning);
            if (steps > LearnLimits::MostSteps / islands)
                return Format("--steps %lld: the steps of %d islands together would pass %lld",
                              steps, islands, LearnLimits::MostSteps);
            return CheckFiles(options, speaks && !options.ShowPlan);
        });
    // Rank 0 alone looks at the files; every rank follows its verdict.
    if (ranks.AnyRank(status == ExitStatus::BadInput))
        return ExitStatus::BadInput;
    if (status)
        return *status;
    Checkpoint resumed;
    if (!options.Resume.empty()) {
        const std::string why = TakeCheckpoint(options, arguments, ranks, resumed);
        if (!why.empty()) {
            said << "swimmer-train: " << why << '\n';
            return ExitStatus::BadInput;
        }
    }
    const std::vector<std::string> learning =
        options.Resume.empty() ? LearningArguments(arguments) : resumed.Options;

    const TrainingPlan plan = PlanOf(options.Learning);
    if (options.ShowPlan) {
        if (speaks) {
            out << "--seed " << options.Learning.Seed << '\n';
            for (const auto& [name, value] : PlanOptions(plan))
                out << name << ' ' << value << '\n';
        }
        return ExitStatus::Success;
    }
    CWorkerTeam team(options.Threads);
    CTrainingRun run(plan, options.Learning.Seed, team, ranks);
    run.StopWhen(stopStatus);
    std::string curve = "steps,simulated_time,mean_td_error";
    for (int p = 0; p < plan.Learners; ++p)
        curve += ",speed" + std::to_string(p);
    curve += ",best_speed,native_direction";
    for (int p = 0; p < plan.Learners; ++p)
        curve += Format(",rate%d,discount%d", p, p);
    curve += '\n';
    if (!options.Resume.empty()) {
        if (!run.LoadState(resumed.Words) || resumed.Curve.rfind(curve, 0) != 0) {
            said << "swimmer-train: --resume '" << options.Resume
                 << "' does not hold a run of its own options under this swimmer-train's "
                    "plan for them\n";
            return ExitStatus::BadInput;
        }
        curve = resumed.Curve;
    }
    auto addCheck = [&] {
        const TrainingCheck& check = run.GetLastCheck();
        curve += Format("%lld,%.17g,%.17g", check.Steps, check.Steps * plan.Learning.StepPeriod,
                        check.MeanTdError);
        for (const GreedyScore& score : check.Scores)
            curve += Format(",%.17g", score.Speed);
        curve += Format(",%.17g,%.17g", run.GetBestScore().Speed,
                        run.GetBestScore().NativeDirection);
        for (const LearnerRates& rates : check.Rates)
            curve += Format(",%.17g,%.17g", rates.LearningRate, rates.Discount);
        curve += '\n';
    };
    const auto started = std::chrono::steady_clock::now();
    const long long startSteps = run.GetSteps();

    CProgressLine line(said, "swimmer-train", showProgress && speaks);
    // Stretches of 50 000 steps a learner between looks at the stop (an
    // agreement of every rank) and the progress: a fraction of a second.
    const long long progressEvery = 50000LL * plan.Learners;
    bool stopped = false;
    while (!run.IsDone()) {
        // Every rank stops at the same step, whichever was told.
        if (ranks.AnyRank(stopStatus.load(std::memory_order_relaxed) != 0)) {
            stopped = true;
            break;
        }
        if (run.Advance((run.GetSteps() / progressEvery + 1) * progressEvery)) {
            addCheck();
            if (!options.Checkpoint.empty() &&
                !SaveCheckpoint(run, options, learning, curve, ranks)) {
                line.End();
                said << "swimmer-train: writing the checkpoint '" << options.Checkpoint
                     << "' failed; learning on\n";
            }
            if (run.HasDiverged()) {
                line.End();
                said << "swimmer-train: the weights diverged at step " << run.GetSteps()
                     << (run.GetBestLearner() >= 0 ? "; keeping the best check before\n" : "\n");
                break;
            }
        }
        if (run.WasStopped()) {
            stopped = true;
            break;
        }
        if (line.IsShown())
            line.Show("step", run.GetSteps(), plan.Steps,
                      Format(", about %.0f s left; best swimmer %.3f units/s ",
                             line.SecondsLeft(run.GetSteps() - startSteps, plan.Steps - startSteps),
                             std::max(run.GetBestScore().Speed, 0.0)));
    }
    line.End();
    if (stopped && run.CheckIfNone())
        addCheck();  // interrupted before the first check: judge what there is
    if (run.GetBestLearner() < 0) {
        // The weights diverged before any check found a finite network:
        // there is nothing to write, and a curve alone is no result.
        said << "swimmer-train: no check found a network to keep; nothing written\n";
        return ExitStatus::Failed;
    }
    // Stopped by another rank's signal: as a batch system stops a job.
    const int stoppedStatus = stopStatus.load() != 0 ? stopStatus.load() : ExitStatus::Terminated;
    const int done = stopped ? stoppedStatus : ExitStatus::Success;
    if (!speaks)
        return done;
    const GreedyScore& bestScore = run.GetBestScore();

    // What made the file, as comments: the options that decide what is
    // learned, and the check it comes from.
    const std::string note =
        MadeBy(learning) + "\n" +
        Format("the averaged weights of learner %d at step %lld of %lld: greedy swimmer %.4f "
               "units/s (slowest %.4f), heading spread %.2f deg",
               run.GetBestLearner(), run.GetBestStep(), run.GetSteps(), bestScore.Speed,
               bestScore.Slowest, bestScore.Spread * DegreesPerRadian);
    std::string error;
    if (!WriteNetworkFile(options.Output, plan.Segments, bestScore.NativeDirection, run.GetBest(),
                          error, note)) {
        err << "swimmer-train: " << error << '\n';
        return ExitStatus::Failed;
    }
    if (!WriteFileAtomically(options.Curve, curve.data(), curve.size())) {
        std::error_code failure;
        std::filesystem::remove(options.Output, failure);  // all or nothing
        err << "swimmer-train: writing '" << options.Curve << "' failed\n";
        return ExitStatus::Failed;
    }
    err << Format("swimmer-train: %lld steps in %.1f s (checks %.1f s); best greedy swimmer "
                  "%.4f units/s, native direction %.4f rad, heading spread %.2f deg\n",
                  run.GetSteps(),
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                  run.GetCheckSeconds(), bestScore.Speed, bestScore.NativeDirection,
                  bestScore.Spread * DegreesPerRadian);
    // The file is still the best there was, but a user should know before
    // clicking that this seed's swimmer may head elsewhere.
    if (!HeadsWell(bestScore, plan.SteerWithin))
        err << Format("swimmer-train: no check headed within %.1f deg of its target from every "
                      "start (at best %.2f deg off): this swimmer may not follow a click; another "
                      "--seed may learn one that does\n",
                      WellWithin(plan.SteerWithin) * DegreesPerRadian,
                      bestScore.Spread * DegreesPerRadian);
    return done;
}
