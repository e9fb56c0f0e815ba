#include "OptionParser.h"

#include <CLI/CLI.hpp>

#include <charconv>

#include "CommandLine.h"
#include "DecimalText.h"

namespace {

const std::size_t LineColumns = 80;
const std::size_t NameColumns = 23;  // the longest option with its value, and two blanks

// text in lines of at most width characters, broken at blanks (a longer
// word stands alone), its own line breaks kept.
std::string Wrap(const std::string& text, std::size_t width)
{
    std::string wrapped;
    std::size_t lineStart = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(" \n", start);
        if (end == std::string::npos)
            end = text.size();
        const bool first = wrapped.size() == lineStart;
        if (!first && wrapped.size() - lineStart + 1 + (end - start) > width) {
            wrapped += '\n';
            lineStart = wrapped.size();
        } else if (!first) {
            wrapped += ' ';
        }
        wrapped.append(text, start, end - start);
        if (end < text.size() && text[end] == '\n') {
            wrapped += '\n';
            lineStart = wrapped.size();
        }
        start = end + 1;
    }
    return wrapped;
}

// The tools' usage: the usage line first, then what the tool does, the
// options in their groups, each help wrapped beside the names, and the
// footer.
class CUsageFormatter : public CLI::Formatter
{
public:
    CUsageFormatter() { column_width(NameColumns); }

    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override
    {
        std::string help = make_usage(app, name) + make_description(app) + make_positionals(app) +
                           make_groups(app, mode) + "\n" + make_footer(app);
        // One blank line between groups, where CLI11 puts two.
        for (std::size_t at; (at = help.find("\n\n\n")) != std::string::npos;)
            help.erase(at, 1);
        return help;
    }

    std::string make_option_desc(const CLI::Option* option) const override
    {
        return Wrap(option->get_description(), LineColumns - NameColumns);
    }
};

// Why an argument that no option takes is refused.
std::string Unexpected(const std::string& argument)
{
    const bool option = argument.size() > 1 && argument[0] == '-';
    return (option ? "unknown option '" : "unexpected argument '") + argument + "'";
}

// "help (range; default)".
std::string HelpLine(const std::string& help, const std::string& range,
                     const std::string& defaultPhrase)
{
    return help + " (" + range + (defaultPhrase.empty() ? "" : "; " + defaultPhrase) + ")";
}

}  // namespace

COptionParser::COptionParser(std::string program, const std::string& description,
                             const std::string& footer)
    : Program(std::move(program)), Parser(std::make_unique<CLI::App>(description, Program))
{
    Parser->formatter(std::make_shared<CUsageFormatter>());
    // The same command line in every build: CLI11 would read "/name" as an
    // option on Windows, where it may as well be a path.
    Parser->allow_windows_style_options(false);
    if (!footer.empty())
        Parser->footer(footer.back() == '\n' ? footer.substr(0, footer.size() - 1) : footer);
    // Plain switches: a bad option beside them is refused all the same.
    Parser->set_help_flag();
    AddFlag("--help", HelpAsked, "show this text");
    AddFlag("--version", VersionAsked, "print the version");
}

COptionParser::~COptionParser() = default;

COptionParser::COption COptionParser::COption::Required()
{
    Declared->required();
    return *this;
}

COptionParser::COption COptionParser::COption::InGroup(const std::string& title)
{
    Declared->group(title);
    return *this;
}

bool COptionParser::COption::Given() const
{
    return Declared->count() > 0;
}

std::string COptionParser::DefaultPhrase(const std::optional<std::string>& defaultText,
                                         const std::string& own)
{
    if (!defaultText)
        return "default " + own;
    return defaultText->empty() ? "" : "default: " + *defaultText;
}

COptionParser::COption
COptionParser::AddWholeValue(const std::string& name, const std::string& valueName, long long least,
                             long long most, long long typeMost, const std::string& help,
                             const std::string& defaultText, std::function<void(long long)> store)
{
    const bool bounded = most != OrMore;
    const std::string range =
        std::to_string(least) + (bounded ? " to " + std::to_string(most) : " or more");
    most = std::min(most, typeMost);
    return AddEach(name, valueName, HelpLine(help, range, defaultText),
                   [=](const std::string& text) -> std::string {
                       long long read = 0;
                       const char* end = text.data() + text.size();
                       const auto [stop, status] = std::from_chars(text.data(), end, read);
                       const bool beyondType = status == std::errc::result_out_of_range;
                       if (text.empty() || stop != end || (status != std::errc() && !beyondType))
                           return "'" + text + "' is not a whole number";
                       const bool below = beyondType ? text[0] == '-' : read < least;
                       const bool above = beyondType ? text[0] != '-' : read > most;
                       if (bounded && (below || above))
                           return text + " is not in " + range;
                       if (below)
                           return text + " is less than " + std::to_string(least);
                       if (above)
                           return text + " is too large";
                       store(read);
                       return "";
                   });
}

COptionParser::COption COptionParser::AddReal(const std::string& name, const std::string& valueName,
                                              double& value, RealRange range,
                                              const std::string& help,
                                              const std::optional<std::string>& defaultText)
{
    const std::string rangeText =
        range.LeastIncluded
            ? Format("%.15g to %.15g", range.Least, range.Most)
            : Format("%.15g < %s <= %.15g", range.Least, valueName.c_str(), range.Most);
    return AddEach(name, valueName,
                   HelpLine(help, rangeText, DefaultPhrase(defaultText, Format("%.15g", value))),
                   [=, &value](const std::string& text) -> std::string {
                       double read = 0;
                       if (!ParseDecimal(text, read))
                           return "'" + text + "' is not a number";
                       // NaN fails every comparison, and so is refused.
                       const bool fromLeast =
                           range.LeastIncluded ? read >= range.Least : read > range.Least;
                       if (!fromLeast || !(read <= range.Most))
                           return text + " is not in " + rangeText;
                       value = read;
                       return "";
                   });
}

COptionParser::COption COptionParser::AddPath(const std::string& name, const std::string& valueName,
                                              std::string& value, const std::string& help,
                                              const std::string& defaultText)
{
    const bool positional = name == valueName;
    return AddEach(name, positional ? "" : valueName,
                   defaultText.empty() ? help : help + " (default: " + defaultText + ")",
                   [&value](const std::string& text) -> std::string {
                       if (text.empty())
                           return "an empty path";
                       value = text;
                       return "";
                   });
}

COptionParser::COption
COptionParser::AddEach(const std::string& name, const std::string& valueName,
                       const std::string& help,
                       std::function<std::string(const std::string& value)> take)
{
    CLI::Option* option = Parser->add_option(
        name,
        [name, take](const CLI::results_t& values) {
            for (const std::string& value : values) {
                const std::string why = take(value);
                if (!why.empty())
                    throw CLI::ValidationError(name, why);
            }
            return true;
        },
        help);
    option->type_name(valueName);
    option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    return COption(option);
}

COptionParser::COption COptionParser::AddFlag(const std::string& name, bool& value,
                                              const std::string& help)
{
    return COption(Parser->add_flag(name, value, help));
}

std::string COptionParser::Read(const std::vector<std::string>& arguments)
{
    HelpAsked = VersionAsked = false;
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        Parser->parse(reversed);
    } catch (const CLI::RequiredError& error) {
        // --help and --version need nothing else, but nothing unknown either
        // (CLI11 looks for that last).
        if (!HelpAsked && !VersionAsked)
            return error.what();
        if (!Parser->remaining().empty())
            return Unexpected(Parser->remaining().front());
    } catch (const CLI::ExtrasError&) {
        return Unexpected(Parser->remaining().front());
    } catch (const CLI::ArgumentMismatch& error) {
        // The arguments ran out before the last option's value.
        const std::string last =
            arguments.empty() ? "" : arguments.back().substr(0, arguments.back().find('='));
        const CLI::Option* option = Parser->get_option_no_throw(last);
        if (option != nullptr && option->get_type_size() > 0)
            return last + " needs a value";
        return error.what();
    } catch (const CLI::ParseError& error) {
        return error.what();
    }
    return "";
}

std::optional<int> COptionParser::Parse(const std::vector<std::string>& arguments,
                                        std::ostream& out, std::ostream& err,
                                        const std::function<std::string()>& check)
{
    std::string error = Read(arguments);
    if (error.empty() && !HelpAsked && !VersionAsked && check)
        error = check();
    if (!error.empty()) {
        // One line, whatever the values quoted in it hold.
        for (char& c : error)
            if (c == '\n' || c == '\r')
                c = ' ';
        err << Program << ": " << error << " (see --help)\n";
        return ExitStatus::BadInput;
    }
    if (HelpAsked) {
        out << Usage();
        return ExitStatus::Success;
    }
    if (VersionAsked) {
        out << VersionLine(Program.c_str());
        return ExitStatus::Success;
    }
    return std::nullopt;
}

std::string COptionParser::Usage() const
{
    return Parser->help();
}
