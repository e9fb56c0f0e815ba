#include "TrainCommand.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "CommandLine.h"
#include "NetworkFile.h"
#include "SwimmerTrainer.h"
#include "WorkerTeam.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

struct Result
{
    int Status;
    std::string Err;
};

Result Train(const std::vector<std::string>& arguments, bool interrupt = false)
{
    std::ostringstream out, err;
    const std::atomic<int> interrupted{interrupt ? ExitStatus::Interrupted : 0};
    const int status = RunTrainCommand(arguments, out, err, false, interrupted);
    return {status, err.str()};
}

// A short run writes a network file that reads back as a swimmer of its
// segments and a curve with a row per check; the same run writes the same
// bytes, on one thread or on three, and says that no check of so short a
// run steered. An interrupted run still writes both, whole.
TEST(SwimmerTrainerTest, TheCommandWritesTheBestNetworkAndTheCurve)
{
    const fs::path folder = fs::temp_directory_path() / "swimmer-train-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string first = (folder / "a.net").string(), second = (folder / "b.net").string();
    const std::vector<std::string> run = {"--seed", "4", "--steps", "3000", "--check-every",
                                          "2000", "--segments", "4"};
    std::vector<std::string> arguments = run;
    arguments.insert(arguments.end(), {"--output", first, "--threads", "1"});
    const Result result = Train(arguments);
    ASSERT_EQ(result.Status, 0);
    EXPECT_NE(result.Err.find("no check headed within 5.0 deg of its target from every start"),
              std::string::npos)
        << result.Err;
    arguments = run;
    arguments.insert(arguments.end(), {"--output", second, "--threads", "3"});
    ASSERT_EQ(Train(arguments).Status, 0);
    EXPECT_EQ(Contents(first), Contents(second));
    EXPECT_EQ(Contents(first + ".curve.csv"), Contents(second + ".curve.csv"));

    SwimmerNetwork file;
    std::string error;
    ASSERT_TRUE(ReadNetworkFile(first, file, error)) << error;
    EXPECT_EQ(file.Segments, 4);
    EXPECT_EQ(file.Network.GetNeuronCount(), CSwimmerTrainer::NeuronsFor(DefaultPlan(4)));
    std::istringstream curve(Contents(first + ".curve.csv"));
    std::string line;
    int rows = 0;
    while (std::getline(curve, line))
        ++rows;
    EXPECT_EQ(rows, 1 + 2);  // header, checks at 2000 and the end

    const std::string stopped = (folder / "stopped.net").string();
    const Result interrupted = Train({"--steps", "100000", "--output", stopped}, true);
    EXPECT_EQ(interrupted.Status, 130);
    EXPECT_TRUE(ReadNetworkFile(stopped, file, error)) << error;
    EXPECT_TRUE(fs::exists(stopped + ".curve.csv"));
    fs::remove_all(folder);
}

// A run stopped by SIGTERM after a check (as a batch system stops a job)
// writes its best so far and keeps the checkpoint of its last check; resumed
// on other threads, it writes the very files of a run never stopped. A
// checkpoint that is missing, cut short, damaged, not a checkpoint or of
// other options is refused in one line, and nothing is written.
TEST(SwimmerTrainerTest, AStoppedRunResumesToTheFilesOfARunNeverStopped)
{
    const fs::path folder = fs::temp_directory_path() / "swimmer-train-resume-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string whole = (folder / "whole.net").string();
    const std::string resumed = (folder / "resumed.net").string();
    const std::string checkpoint = (folder / "run.checkpoint").string();
    const std::vector<std::string> run = {"--segments", "2", "--steps", "3000", "--check-every",
                                          "1000"};
    std::vector<std::string> arguments = run;
    arguments.insert(arguments.end(), {"--output", whole, "--threads", "1"});
    ASSERT_EQ(Train(arguments).Status, 0);

    arguments = run;
    arguments.insert(arguments.end(), {"--output", (folder / "stopped.net").string(),
                                       "--checkpoint", checkpoint});
    std::atomic<int> stop{0};
    std::ostringstream out, err;
    if (CWorkerTeam::MaxThreads() > 1) {
        std::thread watcher([&] {
            while (!fs::exists(checkpoint))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            stop = ExitStatus::Terminated;
        });
        EXPECT_EQ(RunTrainCommand(arguments, out, err, false, stop), ExitStatus::Terminated)
            << err.str();
        watcher.join();
    } else {
        // No thread to stop it with (the WebAssembly build): the checkpoint
        // of its last check, resumed, must still write the same files.
        EXPECT_EQ(RunTrainCommand(arguments, out, err, false, stop), 0) << err.str();
    }
    const std::string kept = Contents(checkpoint);

    const Result again = Train({"--resume", checkpoint, "--output", resumed, "--threads", "2"});
    ASSERT_EQ(again.Status, 0) << again.Err;
    EXPECT_EQ(Contents(resumed), Contents(whole));
    EXPECT_EQ(Contents(resumed + ".curve.csv"), Contents(whole + ".curve.csv"));

    const std::string path = (folder / "bad.checkpoint").string();
    const struct
    {
        std::string Bytes;
        std::vector<std::string> More;
        const char* Why;
    } cases[] = {
        {"", {}, "is not a swimmer-train checkpoint"},
        {kept.substr(0, kept.size() - 5), {}, "is cut short"},
        {kept.substr(0, 40) + "x" + kept.substr(41), {}, "is damaged"},
        {Contents(whole), {}, "is not a swimmer-train checkpoint"},
        {kept, {"--seed", "2"}, "is a checkpoint of other options: made by swimmer-train"},
        {kept, {"--segments", "3"}, "is a checkpoint of other options"},
    };
    const std::string output = (folder / "refused.net").string();
    for (const auto& c : cases) {
        std::ofstream(path, std::ios::binary) << c.Bytes;
        arguments = {"--resume", path, "--output", output};
        arguments.insert(arguments.end(), c.More.begin(), c.More.end());
        const Result refused = Train(arguments);
        EXPECT_EQ(refused.Status, 2) << c.Why;
        EXPECT_NE(refused.Err.find(c.Why), std::string::npos) << refused.Err;
        EXPECT_EQ(refused.Err.find('\n'), refused.Err.size() - 1) << refused.Err;
        EXPECT_FALSE(fs::exists(output)) << c.Why;
    }
    const Result missing = Train({"--resume", (folder / "none").string(), "--output", output});
    EXPECT_EQ(missing.Status, 2);
    EXPECT_NE(missing.Err.find("cannot be opened"), std::string::npos) << missing.Err;
    fs::remove_all(folder);
}

// Weights that diverge before any check leave no network to keep: the run
// fails and writes neither file.
TEST(SwimmerTrainerTest, WeightsDivergedBeforeAnyCheckWriteNothing)
{
    const fs::path output = fs::temp_directory_path() / "swimmer-train-diverged.net";
    const Result result = Train({"--learning-rate", "1", "--steps", "4000", "--check-every", "2000",
                                 "--output", output.string()});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("diverged at step 2000\n"), std::string::npos) << result.Err;
    EXPECT_NE(result.Err.find("nothing written"), std::string::npos) << result.Err;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(output.string() + ".curve.csv"));
}

// What the options change reaches the plan: the learners (a curve column
// each), the hidden neurons (the file's network), the step (the curve's
// simulated time); without them, the plan of three segments. The file's
// comment tells the options that decide what is learned, and no others.
TEST(SwimmerTrainerTest, TheOptionsReachThePlan)
{
    const fs::path folder = fs::temp_directory_path() / "swimmer-train-plan-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string plain = (folder / "plain.net").string();
    const std::string changed = (folder / "changed.net").string();
    ASSERT_EQ(Train({"--steps", "600", "--check-every", "600", "--output", plain}).Status, 0);
    const std::vector<std::string> plan = {
        "--hidden", "5", "--learners", "3", "--trajectories", "2", "--step-time", "0.05",
        "--take-over-below", "0", "--final-rate", "0.5", "--fall-over", "0.5",
        "--discount", "1.5", "--learning-rate", "0.02", "--explore", "1.25",
        "--take-over-from", "0.5", "--speed-leads", "1", "--steer-within", "5",
        "--take-over-every", "300", "--random-torques", "0.1"};
    std::vector<std::string> arguments = {"--steps", "600", "--check-every", "600"};
    arguments.insert(arguments.end(), plan.begin(), plan.end());
    arguments.insert(arguments.end(), {"--output=" + changed, "--threads", "1"});
    ASSERT_EQ(Train(arguments).Status, 0);

    SwimmerNetwork file;
    std::string error;
    ASSERT_TRUE(ReadNetworkFile(plain, file, error)) << error;
    EXPECT_EQ(file.Segments, 3);
    EXPECT_EQ(file.Network.GetNeuronCount(), CSwimmerTrainer::NeuronsFor(DefaultPlan(3)));
    EXPECT_EQ(Contents(plain + ".curve.csv").rfind(
                  "steps,simulated_time,mean_td_error,speed0,speed1,best_speed,native_direction,"
                  "rate0,discount0,rate1,discount1\n600,24,", 0),
              0u);

    ASSERT_TRUE(ReadNetworkFile(changed, file, error)) << error;
    TrainingPlan expected = DefaultPlan(3);
    expected.HiddenNeurons = 5;
    EXPECT_EQ(file.Network.GetNeuronCount(), CSwimmerTrainer::NeuronsFor(expected));
    const std::string curve = Contents(changed + ".curve.csv");
    EXPECT_EQ(curve.rfind("steps,simulated_time,mean_td_error,speed0,speed1,speed2,best_speed,"
                          "native_direction,rate0,discount0,rate1,discount1,rate2,discount2\n"
                          "600,30,", 0),
              0u);
    EXPECT_TRUE(curve.ends_with(",0.02,1.5,0.02,1.5,0.02,1.5\n")) << curve;
    const std::string text = Contents(changed);
    const std::size_t at = text.find("# made by swimmer-train ");
    ASSERT_NE(at, std::string::npos) << text;
    const std::string comment = text.substr(at, text.find('\n', at) - at);
    for (const std::string& option : plan)
        EXPECT_NE(comment.find(" " + option), std::string::npos) << comment;
    EXPECT_EQ(comment.find("--output"), std::string::npos) << comment;
    EXPECT_EQ(comment.find("--threads"), std::string::npos) << comment;
    fs::remove_all(folder);
}

// The plan shown reads back as the same plan: every constant has its
// option, and its value survives the text, for every length's defaults and
// for a plan changed everywhere.
TEST(SwimmerTrainerTest, TheShownPlanGivesItselfBack)
{
    auto show = [](std::vector<std::string> arguments) {
        arguments.push_back("--show-plan");
        std::ostringstream out, err;
        const std::atomic<int> running{0};
        EXPECT_EQ(RunTrainCommand(arguments, out, err, false, running), 0) << err.str();
        return out.str();
    };
    auto words = [](const std::string& text) {
        std::istringstream split(text);
        return std::vector<std::string>(std::istream_iterator<std::string>(split), {});
    };
    for (int segments = 2; segments <= 10; ++segments) {
        const std::string shown = show({"--segments", std::to_string(segments)});
        EXPECT_NE(shown.find("--segments " + std::to_string(segments) + "\n"), std::string::npos);
        EXPECT_EQ(show(words(shown)), shown) << segments;
    }
    const std::vector<std::string> changed = {
        "--seed", "9", "--segments", "4", "--steps", "1234567", "--check-every", "4321",
        "--hidden", "5", "--learners", "3", "--islands", "3", "--trajectories", "2",
        "--take-over-below", "0",
        "--take-over-from", "0.375", "--random-torques", "0.1", "--speed-leads", "1",
        "--explore", "1.5", "--step-time", "0.025", "--discount", "1.75", "--trace", "0.3",
        "--learning-rate", "0.0021", "--final-rate", "0.3", "--fall-over", "0.7",
        "--steer-within", "6.5", "--trajectory", "2.5", "--average-time", "777",
        "--take-over-every", "300"};
    std::string given;
    for (std::size_t i = 0; i < changed.size(); i += 2)
        given += changed[i] + " " + changed[i + 1] + "\n";
    EXPECT_EQ(show(changed), given);
}

// --help says every option, the plan's and the curve's columns; --version
// the version.
TEST(SwimmerTrainerTest, HelpAndVersion)
{
    std::ostringstream out, err;
    const std::atomic<int> interrupted{0};
    ASSERT_EQ(RunTrainCommand({"--help"}, out, err, false, interrupted), 0);
    const std::string help = out.str();
    EXPECT_EQ(help.rfind("Usage: swimmer-train [OPTIONS]\n", 0), 0u) << help;
    for (const char* said :
         {"--seed S", "--segments N", "2 to 10", "--check-every N", "--threads N",
          "The plan for each length of swimmer can be changed (defaults: the plan's):",
          "--take-over-below R", "0: never", "--average-time S",
          "Curve columns: steps,simulated_time,mean_td_error"})
        EXPECT_NE(help.find(said), std::string::npos) << said;
    EXPECT_TRUE(err.str().empty());

    std::ostringstream version;
    ASSERT_EQ(RunTrainCommand({"--version"}, version, err, false, interrupted), 0);
    EXPECT_EQ(version.str().rfind("swimmer-train ", 0), 0u) << version.str();
}

// Every refusal: status 2, one line naming the option or the file at fault,
// and no file written.
TEST(SwimmerTrainerTest, BadRequestsAreRefusedBeforeAnyWork)
{
    struct Case
    {
        std::vector<std::string> Arguments;
        const char* Named;
    };
    const Case cases[] = {
        {{"--seed", "-1"}, "--seed: -1 is not in 0 to 4294967295"},
        {{"--seed", "x"}, "--seed: 'x' is not a whole number"},
        {{"--seed", "4294967296"}, "--seed: 4294967296"},
        {{"--steps", "0"}, "--steps: 0"},
        {{"--steps", "9007199254740993"}, "--steps: 9007199254740993"},
        {{"--steps"}, "--steps needs a value"},
        {{"--segments", "1"}, "--segments: 1 is not in 2 to 10"},
        {{"--segments", "11"}, "--segments: 11 is not in 2 to 10"},
        {{"--segments", "011"}, "--segments: 011 is not in 2 to 10"},  // decimal, not octal
        {{"--segments", "0x3"}, "--segments: '0x3'"},
        {{"--check-every", "0"}, "--check-every: 0"},
        {{"--threads", "0"}, "--threads: 0"},
        {{"--threads", "-2"}, "--threads: -2"},
        {{"--threads", "257"}, "--threads: 257"},
        {{"--hidden", "0"}, "--hidden: 0"},
        {{"--hidden", "201"}, "--hidden: 201"},
        {{"--learners", "0"}, "--learners: 0"},
        {{"--learners", "65"}, "--learners: 65 is not in 1 to 64"},
        {{"--trajectories", "0"}, "--trajectories: 0"},
        {{"--trajectories", "65"}, "--trajectories: 65 is not in 1 to 64"},
        {{"--take-over-below", "-0.5"}, "--take-over-below: -0.5 is not in 0 to 1"},
        {{"--take-over-below", "1.5"}, "--take-over-below: 1.5"},
        {{"--take-over-from", "1.5"}, "--take-over-from: 1.5"},
        {{"--take-over-every", "0"}, "--take-over-every: 0"},
        {{"--random-torques", "1.5"}, "--random-torques: 1.5"},
        {{"--explore", "0.8"}, "--explore: 0.8 is not in 1 to 10"},
        {{"--speed-leads", "2"}, "--speed-leads: 2 is not in 0 to 1"},
        {{"--islands", "2", "--steps", "9007199254740992"},
         "--steps 9007199254740992: the steps of 2 islands together would pass 9007199254740992"},
        {{"--segments", "5", "--steps", "2251799813685249"},
         "--steps 2251799813685249: the steps of 4 islands together would pass 9007199254740992"},
        {{"--step-time", "0.2"}, "--step-time: 0.2 is not in 0 < S <= 0.1"},
        {{"--discount", "0"}, "--discount: 0"},
        {{"--trace", "1e9"}, "--trace: 1e9"},
        {{"--learning-rate", "nan"}, "--learning-rate: nan"},
        {{"--learning-rate", "0.01x"}, "--learning-rate: '0.01x' is not a number"},
        {{"--final-rate", "2"}, "--final-rate: 2"},
        {{"--fall-over", "0"}, "--fall-over: 0"},
        {{"--trajectory", "inf"}, "--trajectory: inf"},
        {{"--average-time", "-1"}, "--average-time: -1"},
        {{"--output", ""}, "--output: an empty path"},
        {{"--output", "/no-such-folder/x.net"}, "'/no-such-folder/x.net'"},
        // The largest of each is taken: only the file is refused.
        {{"--segments", "10", "--steps", "9007199254740992", "--check-every", "9007199254740992",
          "--seed", "4294967295", "--output", "/no-such-folder/x.net"},
         "swimmer-train: '/no-such-folder/x.net'"},
        {{"--output", "same.csv", "--curve", "same.csv"},
         "--curve and --output name the same file"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--version", "--frobnicate"}, "--frobnicate"},
        {{"4"}, "unexpected argument '4'"},
    };
    for (const Case& c : cases) {
        const Result result = Train(c.Arguments);
        EXPECT_EQ(result.Status, 2) << c.Named;
        EXPECT_EQ(result.Err.rfind("swimmer-train: ", 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find(c.Named), std::string::npos) << result.Err;
        EXPECT_EQ(result.Err.find('\n'), result.Err.size() - 1) << result.Err;
    }
    EXPECT_FALSE(fs::exists("swimmer.net"));
    EXPECT_FALSE(fs::exists("same.csv"));
}

}  // namespace
