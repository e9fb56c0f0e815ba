#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "EmbeddedNetwork.h"
#include "FFNetworkVF.h"
#include "GifFile.h"
#include "HeadlessCommand.h"
#include "HeadlessRun.h"
#include "NetworkFile.h"
#include "Random.h"
#include "Swimmer.h"
#include "SwimmerView.h"

namespace {

struct CommandResult
{
    int Status;
    std::string Out, Err;
};

CommandResult Command(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int status = RunHeadlessCommand(arguments, out, err, false);
    return {status, out.str(), err.str()};
}

std::vector<std::vector<double>> ParseCsv(const std::string& text, std::string& header)
{
    std::istringstream lines(text);
    std::getline(lines, header);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(lines, line);) {
        std::vector<double> row;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            row.push_back(std::strtod(field.c_str(), nullptr));
        rows.push_back(row);
    }
    return rows;
}

bool FileExists(const char* name)
{
    std::ifstream file(name);
    return file.good();
}

// Every refusal: status 2, nothing on standard output, one line on standard
// error that names the option and the value at fault, and no file written.
TEST(HeadlessTest, BadInputIsNamedOnOneLineAndWritesNothing)
{
    const char* output = "headless_test_bad_input.csv";
    std::remove(output);
    struct Case
    {
        std::vector<std::string> Arguments;
        std::vector<const char*> Named;
    };
    const Case cases[] = {
        {{"--frobnicate"}, {"unknown option '--frobnicate'"}},
        {{"stray"}, {"unexpected argument 'stray'"}},
        {{"--help", "--frobnicate"}, {"--frobnicate"}},
        {{"--ticks", "12x"}, {"--ticks: '12x' is not a whole number"}},
        {{"--ticks", "-1"}, {"--ticks: -1"}},
        {{"--ticks", "0x10"}, {"--ticks: '0x10'"}},
        {{"--ticks", "99999999999999999999"}, {"--ticks: 99999999999999999999 is too large"}},
        {{"--ticks"}, {"--ticks needs a value"}},
        {{"--width", "0"}, {"--width: 0"}},
        {{"--height", "-5"}, {"--height: -5"}},
        {{"--width", "3000000000"}, {"--width: 3000000000 is too large"}},
        {{"--click", "3:4"}, {"--click: '3:4'"}},
        {{"--click", "3:4:70000"}, {"--click: '3:4:70000'"}},
        {{"--click", "5:1:1", "--click", "5:1"}, {"--click: '5:1'"}},
        {{"--ticks", "10", "--click", "11:1:1"}, {"--click at tick 11", "1 to 10"}},
        {{"--every", "0"}, {"--every: 0"}},
        {{"--fps", "0"}, {"--fps: 0 is not in 1 to 50"}},
        {{"--fps", "51"}, {"--fps: 51 is not in 1 to 50"}},
        {{"--fps=fast"}, {"--fps: 'fast'"}},
        {{"--fps", "10", "--fps", "fast"}, {"--fps: 'fast'"}},
        {{"--network", ""}, {"--network: an empty path"}},
        {{"--frames", "headless_test_a_file"}, {"is a file"}},
        {{"--gif", "headless_test_no_folder/run.gif"},
         {GifSupported() ? "does not exist" : "no GIF encoder"}},
        {{"--no-csv"}, {"--no-csv and --output contradict"}},
        {{"--gif", "x.gif", "--width", "9000"}, {"8192"}},
    };
    std::ofstream("headless_test_a_file") << "not a folder";
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"--output", output};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        const CommandResult result = Command(arguments);
        EXPECT_EQ(result.Status, 2) << c.Named[0];
        EXPECT_TRUE(result.Out.empty()) << c.Named[0];
        EXPECT_EQ(result.Err.rfind("swimmer-headless: ", 0), 0u) << result.Err;
        for (const char* named : c.Named)
            EXPECT_NE(result.Err.find(named), std::string::npos) << result.Err;
        EXPECT_EQ(result.Err.find('\n'), result.Err.size() - 1) << result.Err;
        EXPECT_FALSE(FileExists(output)) << c.Named[0];
    }
    std::remove("headless_test_a_file");
}

// --help says every option and the CSV's columns; --version the version.
TEST(HeadlessTest, HelpVersionAndSummary)
{
    const CommandResult help = Command({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: swimmer-headless [OPTIONS]\n", 0), 0u) << help.Out;
    for (const char* said : {"--click TICK:X:Y", "may be repeated", "--fps N", "1 to 50",
                             "default 25", "--save-network FILE", "Columns: tick,t,head_x,head_y",
                             "every double has 17 significant digits"})
        EXPECT_NE(help.Out.find(said), std::string::npos) << said;

    const CommandResult version = Command({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, VersionLine("swimmer-headless"));

    const CommandResult summary = Command({"--ticks", "40", "--summary", "--every", "40"});
    EXPECT_EQ(summary.Status, 0);
    EXPECT_NE(summary.Err.find("centre of mass:"), std::string::npos) << summary.Err;
    EXPECT_NE(summary.Err.find("mean heading"), std::string::npos) << summary.Err;
}

// With no options: 1000 ticks, every one written, on the default view; a
// value given twice counts the last time.
TEST(HeadlessTest, TheDefaultsAndTheLastOfARepeatedValue)
{
    const CommandResult plain = Command({});
    ASSERT_EQ(plain.Status, 0) << plain.Err;
    std::string header;
    EXPECT_EQ(ParseCsv(plain.Out, header).size(), 1001u);

    const CommandResult repeated = Command({"--ticks", "5", "--ticks=1000", "--every", "1"});
    ASSERT_EQ(repeated.Status, 0) << repeated.Err;
    EXPECT_EQ(repeated.Out, plain.Out);
}

// The rows hold the loop's own numbers, to the last bit, at the ticks asked for.
TEST(HeadlessTest, TheCsvReadsBackToTheSameBits)
{
    const CommandResult result = Command({"--ticks", "30", "--every", "3"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    std::string header;
    const auto rows = ParseCsv(result.Out, header);
    EXPECT_EQ(header, "tick,t,head_x,head_y,vx,vy,theta1,omega1,theta2,omega2,theta3,omega3,u1,u2,target");
    ASSERT_EQ(rows.size(), 11u);

    const ClientSize client = SwimmerView::DefaultClient;
    CSwimmerControlLoop swimmer = MakeOnView<CSwimmerControlLoop>(EmbeddedSwimmer());
    swimmer.Start(client);
    for (int tick = 0; tick <= 30; ++tick) {
        if (tick > 0)
            swimmer.Tick(client);
        if (tick % 3 != 0)
            continue;
        const std::vector<double>& row = rows[tick / 3];
        ASSERT_EQ(row.size(), 15u);
        const double expected[] = {
            static_cast<double>(tick), tick * 0.01, swimmer.GetHeadX(), swimmer.GetHeadY(),
            swimmer.GetState()[0], swimmer.GetState()[1], swimmer.GetState()[2],
            swimmer.GetState()[3], swimmer.GetState()[4], swimmer.GetState()[5],
            swimmer.GetState()[6], swimmer.GetState()[7], swimmer.GetTorques()[0],
            swimmer.GetTorques()[1], swimmer.GetTargetDirection()};
        for (int column = 0; column < 15; ++column)
            EXPECT_EQ(row[column], expected[column]) << "tick " << tick << " column " << column;
    }
}

// A press is handled just before its tick: it takes the head of the row
// before and shows in the target column from its own row on.
TEST(HeadlessTest, ClicksLandJustBeforeTheirTick)
{
    const CommandResult result = Command({"--ticks", "8", "--click", "5:0:350", "--click", "7:1400:0"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    std::string header;
    const auto rows = ParseCsv(result.Out, header);
    ASSERT_EQ(rows.size(), 9u);
    const int target = 14, headX = 2, headY = 3;
    for (int tick = 0; tick <= 4; ++tick)
        EXPECT_EQ(rows[tick][target], 0.0);
    // Pixel rows count down from the top of the view, 10 units up.
    const double scale = SwimmerView::PixelsPerUnit, top = SwimmerView::DefaultClient.Height / scale;
    EXPECT_EQ(rows[5][target], std::atan2((top - 350 / scale) - rows[4][headY], 0 / scale - rows[4][headX]));
    EXPECT_EQ(rows[6][target], rows[5][target]);
    EXPECT_EQ(rows[7][target], std::atan2((top - 0 / scale) - rows[6][headY], 1400 / scale - rows[6][headX]));
}

}  // namespace

namespace {

// The embedded network saved and loaded again swims the default run to the
// byte; a file of another swimmer brings its own segments into the CSV; a
// broken file is refused before anything is written.
TEST(HeadlessTest, NetworkFilesSwimAsTheyWereSaved)
{
    const std::string saved = "headless_test_embedded.net";
    ASSERT_EQ(Command({"--save-network", saved, "--ticks", "0", "--no-csv"}).Status, 0);
    const CommandResult embedded = Command({"--ticks", "300", "--click", "100:200:100"});
    const CommandResult loaded =
        Command({"--network", saved, "--ticks", "300", "--click", "100:200:100"});
    ASSERT_EQ(loaded.Status, 0) << loaded.Err;
    EXPECT_EQ(loaded.Out, embedded.Out);

    // Four segments, weights drawn and rounded to the file's single precision.
    CSwimmer four(4);
    CFFNetworkVF value(four);
    value.SetNeurons(24);
    CRandom rng(5);
    value.RandomizeParameters(rng);
    CFFNetwork network;
    network.CopyFrom(value.GetNetwork());
    for (int target = 1; target < 24; ++target)
        for (int source = 0; source < target; ++source)
            network.SetWeight(source, target, static_cast<float>(network.GetWeight(source, target)));
    std::string error;
    const std::string other = "headless_test_four.net";
    ASSERT_TRUE(WriteNetworkFile(other, 4, 0.5, network, error)) << error;
    const CommandResult swum = Command({"--network", other, "--ticks", "3"});
    ASSERT_EQ(swum.Status, 0) << swum.Err;
    std::string header;
    const auto rows = ParseCsv(swum.Out, header);
    EXPECT_EQ(header, "tick,t,head_x,head_y,vx,vy,theta1,omega1,theta2,omega2,theta3,omega3,"
                      "theta4,omega4,u1,u2,u3,target");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3].size(), 18u);

    std::ofstream(other, std::ios::app) << "trailing garbage\n";
    const char* output = "headless_test_refused.csv";
    const CommandResult refused = Command({"--network", other, "--output", output});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_NE(refused.Err.find(other + ":"), std::string::npos) << refused.Err;
    EXPECT_EQ(refused.Err.find('\n'), refused.Err.size() - 1) << refused.Err;
    EXPECT_FALSE(FileExists(output));
    std::remove(saved.c_str());
    std::remove(other.c_str());
}

}  // namespace
