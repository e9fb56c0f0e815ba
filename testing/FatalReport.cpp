#include "FatalReport.h"

#include <sstream>
#include <vector>

::testing::AssertionResult IsFatalReport(const ChildResult& result, const std::string& condition,
                                         const std::string& fileSuffix)
{
    auto failure = [&](const std::string& why) {
        return ::testing::AssertionFailure() << why << "; exit status " << result.ExitStatus
                                             << ", output:\n" << result.Output;
    };
    if (!result.Ran)
        return ::testing::AssertionSuccess() << "no child process here: the test is skipped";
    if (result.ExitStatus != 1)
        return failure("exit status is not 1");
    if (result.Output.empty() || result.Output.back() != '\n')
        return failure("the output does not end with a newline");

    std::vector<std::string> lines;
    std::istringstream stream(result.Output);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    if (lines.size() != 3)
        return failure("not three lines");
    if (lines[0] != "Fatal error: " + condition)
        return failure("wrong condition line");
    const std::string file = "File: ";
    if (lines[1].rfind(file, 0) != 0 || lines[1].size() < file.size() + fileSuffix.size() ||
        lines[1].compare(lines[1].size() - fileSuffix.size(), fileSuffix.size(), fileSuffix) != 0)
        return failure("wrong file line");
    const std::string number = lines[2].rfind("Line: ", 0) == 0 ? lines[2].substr(6) : "";
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return failure("wrong line-number line");
    return ::testing::AssertionSuccess();
}
