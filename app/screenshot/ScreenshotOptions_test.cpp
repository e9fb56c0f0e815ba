#include "ScreenshotOptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Parsed
{
    std::optional<int> Status;
    std::string Out, Err;
    ScreenshotOptions Options;
};

Parsed Parse(const std::vector<std::string>& arguments)
{
    Parsed parsed;
    std::ostringstream out, err;
    parsed.Status = ParseScreenshotOptions(arguments, parsed.Options, out, err);
    parsed.Out = out.str();
    parsed.Err = err.str();
    return parsed;
}

TEST(ScreenshotOptionsTest, ReadsTheFileTheWaitTheDelayAndClose)
{
    Parsed parsed = Parse({"--wait", "20", "--delay", "2.5", "--close", "out.png"});
    ASSERT_FALSE(parsed.Status) << parsed.Err;
    EXPECT_EQ(parsed.Options.Output, "out.png");
    EXPECT_TRUE(parsed.Options.WaitForWindow);
    EXPECT_EQ(parsed.Options.WaitSeconds, 20.0);
    EXPECT_EQ(parsed.Options.DelaySeconds, 2.5);
    EXPECT_TRUE(parsed.Options.Close);

    parsed = Parse({"plain.png"});
    ASSERT_FALSE(parsed.Status) << parsed.Err;
    EXPECT_FALSE(parsed.Options.WaitForWindow);
    EXPECT_FALSE(parsed.Options.Close);
    EXPECT_EQ(parsed.Options.DelaySeconds, 0.0);

    // A path of a slash, as on any system.
    parsed = Parse({"/folder/out.png"});
    ASSERT_FALSE(parsed.Status) << parsed.Err;
    EXPECT_EQ(parsed.Options.Output, "/folder/out.png");

    // A file whose name starts with a dash, after "--".
    parsed = Parse({"--wait=0", "--", "-dash.png"});
    ASSERT_FALSE(parsed.Status) << parsed.Err;
    EXPECT_EQ(parsed.Options.Output, "-dash.png");
    EXPECT_TRUE(parsed.Options.WaitForWindow);
}

// --help and --version need no FILE; the usage says what the program does,
// its FILE and its exit statuses.
TEST(ScreenshotOptionsTest, HelpAndVersionEndTheProgram)
{
    const Parsed help = Parse({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: swimmer-screenshot [OPTIONS] FILE\n", 0), 0u) << help.Out;
    for (const char* said : {"--wait SECONDS", "--delay SECONDS", "--close", "Exit status: 0 done"})
        EXPECT_NE(help.Out.find(said), std::string::npos) << said;

    const Parsed version = Parse({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out.rfind("swimmer-screenshot ", 0), 0u) << version.Out;
    EXPECT_TRUE(version.Err.empty());
}

// Bad input is refused with status 2 and one line naming what is wrong,
// never half read.
TEST(ScreenshotOptionsTest, RefusesBadInputInOneLine)
{
    struct Case
    {
        std::vector<std::string> Arguments;
        const char* Named;
    };
    const Case cases[] = {
        {{}, "FILE is required"},
        {{"--close"}, "FILE is required"},
        {{"a.png", "b.png"}, "'b.png'"},
        {{"--wait"}, "--wait needs a value"},
        {{"--wait", "-1", "a.png"}, "--wait: -1 is not in 0 to 3600"},
        {{"--delay", "nan", "a.png"}, "--delay: nan"},
        {{"--delay", "inf", "a.png"}, "--delay: inf"},
        {{"--wait", "3601", "a.png"}, "--wait: 3601"},
        {{"--wait", "2s", "a.png"}, "--wait: '2s'"},
        {{"--wait", "0x10", "a.png"}, "--wait: '0x10'"},
        {{"--wait", "", "a.png"}, "--wait: ''"},
        {{"--frobnicate", "a.png"}, "unknown option '--frobnicate'"},
        {{"--help", "--frobnicate"}, "--frobnicate"},
        {{""}, "FILE: an empty path"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& argument : c.Arguments)
            line += "[" + argument + "]";
        const Parsed parsed = Parse(c.Arguments);
        EXPECT_EQ(parsed.Status, 2) << line;
        EXPECT_TRUE(parsed.Out.empty()) << line;
        EXPECT_EQ(parsed.Err.rfind("swimmer-screenshot: ", 0), 0u) << parsed.Err;
        EXPECT_NE(parsed.Err.find(c.Named), std::string::npos) << line << ": " << parsed.Err;
        EXPECT_EQ(parsed.Err.find('\n'), parsed.Err.size() - 1) << line << ": " << parsed.Err;
    }
}

}  // namespace
