#include "SwimmerTrainer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "AllocationCounter.h"
#include "NetworkFile.h"
#include "TrainCommand.h"

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

// The seed is the only source of randomness: the same seed learns the same
// weights to the bit, another seed others. A learning step allocates
// nothing.
TEST(SwimmerTrainerTest, LearningIsDeterministicAndAllocationFree)
{
    CSwimmerTrainer a(3, 7), b(3, 7), c(3, 8);
    for (int step = 0; step < 2000; ++step) {
        a.Step();
        b.Step();
        c.Step();
    }
    AllocationCounter counter;
    for (int step = 0; step < 500; ++step)
        a.Step();
    EXPECT_EQ(counter.Count(), 0);
    for (int step = 0; step < 500; ++step) {
        b.Step();
        c.Step();
    }
    CFFNetwork na, nb, nc;
    a.GetRoundedNetwork(false, na);
    b.GetRoundedNetwork(false, nb);
    c.GetRoundedNetwork(false, nc);
    const int n = na.GetNeuronCount();
    ASSERT_EQ(n, 30);
    int same = 0, differ = 0;
    for (int i = 0; i < n * n; ++i) {
        same += na.GetWeights()[i] == nb.GetWeights()[i];
        differ += na.GetWeights()[i] != nc.GetWeights()[i];
    }
    EXPECT_EQ(same, n * n);
    EXPECT_GT(differ, 0);
    EXPECT_TRUE(a.IsFinite());
}

// A short run writes a network file that reads back as a swimmer of its
// segments and a curve with a row per check; the same run writes the same
// bytes. An interrupted run still writes both, whole.
TEST(SwimmerTrainerTest, TheCommandWritesTheBestNetworkAndTheCurve)
{
    const fs::path folder = fs::temp_directory_path() / "swimmer-train-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string first = (folder / "a.net").string(), second = (folder / "b.net").string();
    const std::vector<std::string> run = {"--seed", "4", "--steps", "3000", "--check-every",
                                          "1500", "--segments", "4"};
    std::vector<std::string> arguments = run;
    arguments.insert(arguments.end(), {"--output", first});
    ASSERT_EQ(Train(arguments).Status, 0);
    arguments = run;
    arguments.insert(arguments.end(), {"--output", second});
    ASSERT_EQ(Train(arguments).Status, 0);
    EXPECT_EQ(Contents(first), Contents(second));

    NetworkFile file;
    std::string error;
    ASSERT_TRUE(ReadNetworkFile(first, file, error)) << error;
    EXPECT_EQ(file.Segments, 4);
    EXPECT_EQ(file.Network.GetNeuronCount(), CSwimmerTrainer::NeuronsFor(4));
    std::istringstream curve(Contents(first + ".curve.csv"));
    std::string line;
    int rows = 0;
    while (std::getline(curve, line))
        ++rows;
    EXPECT_EQ(rows, 1 + 2);  // header, checks at 1500 and 3000

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
