#include "TrainCommand.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "NetworkFile.h"
#include "SwimmerTrainer.h"

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
    const std::atomic<bool> interrupted{interrupt};
    const int status = RunTrainCommand(arguments, out, err, false, interrupted);
    return {status, err.str()};
}

// A short run writes a network file that reads back as a swimmer of its
// segments and a curve with a row per check; the same run writes the same
// bytes, on one thread or on three. An interrupted run still writes both,
// whole.
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
    ASSERT_EQ(Train(arguments).Status, 0);
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

TEST(SwimmerTrainerTest, BadRequestsAreRefusedBeforeAnyWork)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--seed", "-1"},       {"--seed", "x"},          {"--steps", "0"},
        {"--segments", "1"},    {"--segments", "11"},     {"--check-every", "0"},
        {"--output", "/no-such-folder/x.net"},            {"--frobnicate"},
        {"--output", "same.csv", "--curve", "same.csv"},  {"--steps"},
        {"--threads", "0"},     {"--threads", "-2"},      {"--trajectories", "0"},
        {"--hidden", "0"},      {"--discount", "0"},      {"--learning-rate", "nan"},
        {"--learners", "0"},    {"--average-time", "-1"}, {"--final-rate", "2"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const Result result = Train(arguments);
        EXPECT_EQ(result.Status, 2) << arguments[0];
        EXPECT_EQ(result.Err.find('\n'), result.Err.size() - 1) << result.Err;
    }
    EXPECT_FALSE(fs::exists("swimmer.net"));
    EXPECT_FALSE(fs::exists("same.csv"));
}

}  // namespace
