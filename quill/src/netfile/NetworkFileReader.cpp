#include "NetworkFile.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "NetworkFit.h"
#include "NetworkNumbers.h"

namespace {

// A token quoted for a one-line message: at most a few dozen characters,
// anything but printable ASCII as \xNN, so that random bytes cannot break
// the line or the terminal.
std::string Quote(std::string_view token)
{
    constexpr std::size_t MaxShown = 40;
    static const char Hex[] = "0123456789abcdef";
    std::string out = "'";
    for (std::size_t i = 0; i < token.size() && i < MaxShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(token[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        }
    }
    if (token.size() > MaxShown)
        out += "...";
    return out + "'";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The lines that carry items, in order, with their numbers counted from 1
// over every line of the text, comments and blank lines included.
class CItemLines
{
public:
    explicit CItemLines(std::string_view text) : Text(text) {}

    // The next item line split into its blank-separated tokens; false at the
    // end of the text, where Number() is then the line after the last one,
    // the line the missing item would have taken.
    bool Next(std::vector<std::string_view>& tokens)
    {
        while (Position < Text.size()) {
            std::size_t end = Text.find('\n', Position);
            if (end == std::string_view::npos)
                end = Text.size();
            std::string_view line = Text.substr(Position, end - Position);
            Position = end + 1;
            LineNumber = ++Lines;
            // A file that went through a Windows editor is still the same file.
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            Split(line, tokens);
            if (!tokens.empty() && tokens[0][0] != '#')
                return true;
        }
        LineNumber = Lines + 1;
        return false;
    }

    int Number() const { return LineNumber; }

private:
    static void Split(std::string_view line, std::vector<std::string_view>& tokens)
    {
        tokens.clear();
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsBlank(line[i]))
                ++i;
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i]))
                ++i;
            if (i > start)
                tokens.push_back(line.substr(start, i - start));
        }
    }

    std::string_view Text;
    std::size_t Position = 0;
    int LineNumber = 0;
    int Lines = 0;  // lines read so far
};

// The tokens from first on, one blank apart.
std::string Joined(const std::vector<std::string_view>& tokens, std::size_t first = 0)
{
    std::string out;
    for (std::size_t i = first; i < tokens.size(); ++i) {
        if (i > first)
            out += ' ';
        out += tokens[i];
    }
    return out;
}

// Reads one file's items in order and stops at the first fault, leaving
// "NAME:LINE: what" in Error.
class CNetworkFileParser
{
public:
    CNetworkFileParser(const std::string& name, std::string_view text)
        : Name(name), Text(text), Lines(text)
    {
    }

    bool Parse(SwimmerNetwork& result);
    const std::string& GetError() const { return Error; }

private:
    bool Fail(const std::string& what)
    {
        Error = Name + ":" + std::to_string(Lines.Number()) + ": " + what;
        return false;
    }
    // The next item line, or a message naming what the end of the file cut off.
    bool NextItem(const char* expected)
    {
        if (Lines.Next(Tokens))
            return true;
        return Fail(std::string("the file ends where ") + expected + " was expected");
    }
    // A line "key VALUE" with an integer value.
    bool KeyedInt(const char* key, int& value);
    bool Header();
    bool Segments();
    bool NativeDirection();
    bool Neurons();
    bool Kinds();
    bool Weights();

    const std::string& Name;
    std::string_view Text;
    CItemLines Lines;
    std::vector<std::string_view> Tokens;
    std::string Error;

    int SegmentCount = 0;
    double Direction = 0.0;
    int NeuronCount = 0;
    std::vector<std::int8_t> KindCodes;
    std::vector<float> WeightValues;
};

bool CNetworkFileParser::Parse(SwimmerNetwork& result)
{
    if (Text.empty()) {
        Error = Name + ":1: the file is empty";
        return false;
    }
    // Every line the writer makes ends with a newline, so a last line
    // without one is a file cut short, perhaps inside a number that would
    // otherwise still read as a (different) weight.
    if (Text.back() != '\n') {
        int lines = 1;
        for (char c : Text)
            lines += c == '\n';
        Error = Name + ":" + std::to_string(lines) +
                ": the last line does not end with a newline: the file is truncated";
        return false;
    }
    if (!Header() || !Segments() || !NativeDirection() || !Neurons() || !Kinds() || !Weights())
        return false;
    if (Lines.Next(Tokens))
        return Fail("unexpected content after the last weight line: " + Quote(Joined(Tokens)));

    result.Segments = SegmentCount;
    result.NativeDirection = Direction;
    result.Network.Load(NeuronCount, KindCodes.data(), WeightValues.data());
    return true;
}

bool CNetworkFileParser::Header()
{
    if (!NextItem("the header 'swimmer-network 1'"))
        return false;
    if (Tokens[0] != "swimmer-network")
        return Fail("not a network file: expected the header 'swimmer-network 1', found " +
                    Quote(Joined(Tokens)));
    if (Tokens.size() == 1)
        return Fail("the header 'swimmer-network' has no version: this program reads version 1");
    if (Tokens.size() != 2 || Tokens[1] != "1")
        return Fail("unknown network file version " + Quote(Joined(Tokens, 1)) +
                    ": this program reads version 1");
    return true;
}

bool CNetworkFileParser::KeyedInt(const char* key, int& value)
{
    const std::string form = std::string("'") + key + " N'";
    if (!NextItem(form.c_str()))
        return false;
    if (Tokens.size() != 2 || Tokens[0] != key)
        return Fail("expected " + form + ", found " + Quote(Joined(Tokens)));
    if (!ParseInt(Tokens[1], value))
        return Fail(std::string(key) + " " + Quote(Tokens[1]) + " is not an integer");
    return true;
}

bool CNetworkFileParser::Segments()
{
    std::string misfit;
    if (!KeyedInt("segments", SegmentCount))
        return false;
    if (!CheckSegments(SegmentCount, misfit))
        return Fail(misfit);
    return true;
}

bool CNetworkFileParser::NativeDirection()
{
    if (!NextItem("'native-direction RADIANS'"))
        return false;
    if (Tokens.size() != 2 || Tokens[0] != "native-direction")
        return Fail("expected 'native-direction RADIANS', found " + Quote(Joined(Tokens)));
    switch (ParseDouble(Tokens[1], Direction)) {
    case NumberStatus::Ok:
        return true;
    case NumberStatus::NotFinite:
        return Fail("native direction " + Quote(Tokens[1]) + " is not a finite number");
    case NumberStatus::NotANumber:
        break;
    }
    return Fail("native direction " + Quote(Tokens[1]) + " is not a number");
}

bool CNetworkFileParser::Neurons()
{
    std::string misfit;
    if (!KeyedInt("neurons", NeuronCount))
        return false;
    if (!CheckNeurons(SegmentCount, NeuronCount, misfit))
        return Fail(misfit);
    return true;
}

bool CNetworkFileParser::Kinds()
{
    if (!NextItem("'kinds' and one activation code per neuron"))
        return false;
    if (Tokens[0] != "kinds")
        return Fail("expected 'kinds' and one activation code per neuron, found " +
                    Quote(Joined(Tokens)));
    const int listed = static_cast<int>(Tokens.size()) - 1;
    if (listed != NeuronCount)
        return Fail("kinds lists " + std::to_string(listed) + " codes for " +
                    std::to_string(NeuronCount) + " neurons");
    KindCodes.resize(static_cast<std::size_t>(NeuronCount));
    for (int i = 0; i < NeuronCount; ++i) {
        const std::string_view token = Tokens[static_cast<std::size_t>(i) + 1];
        int code = 0;
        if (!ParseInt(token, code) || code < 0 || code >= ActivationKindCount)
            return Fail("the kind " + Quote(token) + " of neuron " + std::to_string(i) +
                        " is not an activation code 0..6");
        KindCodes[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(code);
    }
    std::string misfit;
    if (!CheckKinds(SegmentCount, NeuronCount, KindCodes.data(), misfit))
        return Fail(misfit);
    return true;
}

bool CNetworkFileParser::Weights()
{
    if (!NextItem("'weights'"))
        return false;
    if (Tokens.size() != 1 || Tokens[0] != "weights")
        return Fail("expected 'weights', found " + Quote(Joined(Tokens)));
    const int n = NeuronCount;
    WeightValues.clear();
    WeightValues.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2);
    for (int k = 0; k + 1 < n; ++k) {
        if (!Lines.Next(Tokens))
            return Fail("the file ends after " + std::to_string(k) + " of " +
                        std::to_string(n - 1) + " weight lines");
        const int expected = n - 1 - k;
        const int found = static_cast<int>(Tokens.size());
        if (found != expected)
            return Fail("the weight line of neuron " + std::to_string(k) + " has " +
                        std::to_string(found) + " weights, expected " +
                        std::to_string(expected) + " (to neurons " + std::to_string(k + 1) +
                        ".." + std::to_string(n - 1) + ")");
        for (int j = 0; j < found; ++j) {
            const std::string_view token = Tokens[static_cast<std::size_t>(j)];
            float weight = 0.0f;
            const NumberStatus status = ParseFloat(token, weight);
            if (status != NumberStatus::Ok)
                return Fail("the weight from neuron " + std::to_string(k) + " to neuron " +
                            std::to_string(k + 1 + j) + ", " + Quote(token) +
                            (status == NumberStatus::NotFinite
                                 ? ", is not a finite single-precision number"
                                 : ", is not a number"));
            WeightValues.push_back(weight);
        }
    }
    return true;
}

}  // namespace

bool ParseNetworkFile(const std::string& name, const std::string& text, SwimmerNetwork& result,
                      std::string& error)
{
    CNetworkFileParser parser(name, text);
    if (parser.Parse(result))
        return true;
    error = parser.GetError();
    return false;
}

bool CheckNetworkFileSize(const std::string& name, std::uintmax_t bytes, std::string& error)
{
    if (bytes <= NetworkFileMaxBytes)
        return true;
    error = name + ": larger than " + std::to_string(NetworkFileMaxBytes >> 20) +
            " MiB, which no network file is";
    return false;
}

bool ReadNetworkFile(const std::string& path, SwimmerNetwork& result, std::string& error)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = path + ": cannot open the file for reading";
        return false;
    }
    std::string text;
    char buffer[1 << 16];
    while (stream) {
        stream.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (!CheckNetworkFileSize(path, text.size(), error))
            return false;
    }
    // A directory opens but does not read; eof alone is a whole read.
    if (stream.bad() || !stream.eof()) {
        error = path + ": cannot read the file";
        return false;
    }
    return ParseNetworkFile(path, text, result, error);
}
