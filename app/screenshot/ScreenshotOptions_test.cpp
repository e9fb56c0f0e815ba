#include "ScreenshotOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(const std::vector<std::string>& arguments, ScreenshotOptions& options,
           std::string& error)
{
    options = ScreenshotOptions();
    error.clear();
    return ParseScreenshotOptions(arguments, options, error);
}

TEST(ScreenshotOptionsTest, ReadsTheFileTheWaitTheDelayAndClose)
{
    ScreenshotOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--wait", "20", "--delay", "2.5", "--close", "out.png"}, options, error))
        << error;
    EXPECT_EQ(options.Output, "out.png");
    EXPECT_TRUE(options.WaitForWindow);
    EXPECT_EQ(options.WaitSeconds, 20.0);
    EXPECT_EQ(options.DelaySeconds, 2.5);
    EXPECT_TRUE(options.Close);

    ASSERT_TRUE(Parse({"plain.png"}, options, error));
    EXPECT_FALSE(options.WaitForWindow);
    EXPECT_FALSE(options.Close);
    EXPECT_EQ(options.DelaySeconds, 0.0);

    EXPECT_TRUE(Parse({"--help"}, options, error));
    EXPECT_TRUE(options.Help);
}

// Bad input is refused with one line saying what is wrong, never half read.
TEST(ScreenshotOptionsTest, RefusesBadInputInOneLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--close"},
        {"a.png", "b.png"},
        {"--wait"},
        {"--wait", "-1", "a.png"},
        {"--delay", "nan", "a.png"},
        {"--delay", "inf", "a.png"},
        {"--wait", "3601", "a.png"},
        {"--wait", "2s", "a.png"},
        {"--wait", "", "a.png"},
        {"--frobnicate", "a.png"},
        {""},
    };
    for (const auto& arguments : bad) {
        ScreenshotOptions options;
        std::string error;
        std::string line;
        for (const auto& argument : arguments)
            line += "[" + argument + "]";
        EXPECT_FALSE(Parse(arguments, options, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
        EXPECT_EQ(error.find('\n'), std::string::npos) << line;
    }
}

}  // namespace
