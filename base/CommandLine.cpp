#include "CommandLine.h"

#include <fmt/args.h>
#include <fmt/printf.h>

const char* ProjectVersion()
{
    return SWIMMER_VERSION;
}

std::string VersionLine(const char* program)
{
    return std::string(program) + " " + ProjectVersion() + "\n";
}

std::string FormatValues(const char* format, std::initializer_list<FormatValue> values)
{
    fmt::dynamic_format_arg_store<fmt::printf_context> arguments;
    for (const FormatValue& value : values) {
        if (value.Text != nullptr)
            arguments.push_back(value.Text);
        else if (value.IsReal)
            arguments.push_back(value.Real);
        else
            arguments.push_back(value.Whole);
    }
    return fmt::vsprintf(fmt::string_view(format), arguments);
}
