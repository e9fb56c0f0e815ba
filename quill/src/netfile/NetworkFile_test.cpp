#include "NetworkFile.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "DecimalText.h"
#include "Demonstration.h"
#include "FFNetwork.h"
#include "FFNetworkVF.h"
#include "NetworkFit.h"
#include "NetworkNumbers.h"
#include "Random.h"
#include "Swimmer.h"
#include "EmbeddedSwimmer.h"

namespace {

namespace fs = std::filesystem;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every kind, and every weight that carries a connection, to the bit.
void ExpectSameNetwork(const CFFNetwork& actual, const CFFNetwork& expected)
{
    const int n = expected.GetNeuronCount();
    ASSERT_EQ(actual.GetNeuronCount(), n);
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(actual.GetActivation(i), expected.GetActivation(i)) << "neuron " << i;
    for (int k = 0; k < n; ++k)
        for (int l = k + 1; l < n; ++l)
            ASSERT_TRUE(SameBits(actual.GetWeight(k, l), expected.GetWeight(k, l)))
                << k << " -> " << l << ": " << actual.GetWeight(k, l) << " against "
                << expected.GetWeight(k, l);
}

// The significant digits of a decimal such as "-0.00123e-05": those of
// its mantissa from the first nonzero one; 1 for zero.
int SignificantDigits(const std::string& text)
{
    const std::string mantissa = text.substr(0, text.find_first_of("eE"));
    int digits = 0;
    bool leading = true;
    for (char c : mantissa) {
        if (c < '0' || c > '9')
            continue;
        leading = leading && c == '0';
        digits += !leading;
    }
    return digits == 0 ? 1 : digits;
}

// "NAME:LINE: what", all on one line.
bool IsRefusalLine(const std::string& error, const std::string& name)
{
    const std::string prefix = name + ":";
    if (error.rfind(prefix, 0) != 0 || error.find('\n') != std::string::npos)
        return false;
    const std::size_t digits = error.find_first_not_of("0123456789", prefix.size());
    return digits != std::string::npos && digits > prefix.size() &&
           error.compare(digits, 2, ": ") == 0 && error.size() > digits + 2;
}

std::string EmbeddedText()
{
    CFFNetwork network;
    LoadEmbeddedNetwork(network);
    std::string text, error;
    EXPECT_TRUE(FormatNetworkFile(Demonstration::Segments, Demonstration::NativeDirection,
                                  network, text, error))
        << error;
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string Contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A folder of its own for one test: the cases run as parallel processes.
fs::path FreshFolder(const char* name)
{
    const fs::path folder = fs::temp_directory_path() / (std::string("swimmer-netfile-") + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(NetworkFileTest, TheEmbeddedNetworkRoundTripsToTheBitAndItsFileNeverChanges)
{
    CFFNetwork embedded;
    LoadEmbeddedNetwork(embedded);
    const std::string text = EmbeddedText();
    const std::vector<std::string> lines = SplitLines(text);

    // The items a person reads, and two weight lines in the listing's own
    // shortest decimals: the first weights out of neuron 0, and neuron 2,
    // an angle input, feeding only its encoders 13 and 14 with 3.14159.
    auto line = [&](const std::string& prefix) {
        for (const std::string& l : lines)
            if (l.rfind(prefix, 0) == 0)
                return l;
        return std::string("(none)");
    };
    EXPECT_EQ(line("swimmer-network"), "swimmer-network 1");
    EXPECT_EQ(line("segments"), "segments 3");
    EXPECT_EQ(line("native-direction"), "native-direction 0.22");
    EXPECT_EQ(line("neurons"), "neurons 30");
    EXPECT_EQ(line("kinds"), "kinds 2 2 2 2 2 2 2 2 2 4 3 4 3 4 3 2 2 2 2 2 2 2 2 2 2 2 2 2 2 1");
    EXPECT_EQ(line("0.56535 "), line("0.56535 -0.168679 0.813205"));
    EXPECT_EQ(line("0 0 0 0 0 0 0 0 0 0 3"),
              "0 0 0 0 0 0 0 0 0 0 3.14159 3.14159 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines.back(), "0.368856");  // 28 -> 29, the last float

    SwimmerNetwork read;
    std::string error;
    ASSERT_TRUE(ParseNetworkFile("embedded.net", text, read, error)) << error;
    EXPECT_EQ(read.Segments, 3);
    EXPECT_TRUE(SameBits(read.NativeDirection, Demonstration::NativeDirection));
    ExpectSameNetwork(read.Network, embedded);

    // Through the disk: the same bytes every time, and back again.
    const fs::path folder = FreshFolder("embedded");
    const fs::path path = folder / "embedded.net";
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(WriteNetworkFile(path.string(), 3, 0.22, embedded, error)) << error;
        EXPECT_EQ(Contents(path), text) << "run " << run;
    }
    SwimmerNetwork fromDisk;
    ASSERT_TRUE(ReadNetworkFile(path.string(), fromDisk, error)) << error;
    ExpectSameNetwork(fromDisk.Network, embedded);
    std::string again;
    ASSERT_TRUE(FormatNetworkFile(fromDisk.Segments, fromDisk.NativeDirection, fromDisk.Network,
                                  again, error));
    EXPECT_EQ(again, text);

    // A note, every line of it, goes in as comments and changes nothing else.
    std::string noted;
    ASSERT_TRUE(FormatNetworkFile(3, 0.22, embedded, noted, error, "made by hand\n\n# twice"));
    EXPECT_NE(noted.find("\n# made by hand\n# \n# # twice\n"), std::string::npos) << noted;
    SwimmerNetwork withNote;
    ASSERT_TRUE(ParseNetworkFile("noted.net", noted, withNote, error)) << error;
    ExpectSameNetwork(withNote.Network, embedded);
    fs::remove_all(folder);
}

// A randomized network holds doubles, which a file of floats cannot carry:
// refused, not rounded behind the caller's back. Rounded to floats by the
// caller, with the awkward floats planted in it, it comes back to the bit.
TEST(NetworkFileTest, ARandomizedFourSegmentNetworkIsRefusedUntilItsWeightsAreFloats)
{
    CSwimmer swimmer(4);
    CFFNetworkVF valueFunction(swimmer);
    const int neurons = MinimumSwimmerNeurons(4) + 7;
    valueFunction.SetNeurons(neurons);
    CRandom rng(4242u);
    valueFunction.RandomizeParameters(rng);
    const CFFNetwork& drawn = valueFunction.GetNetwork();

    std::string text, error;
    EXPECT_FALSE(FormatNetworkFile(4, -1.25, drawn, text, error));
    EXPECT_NE(error.find("not a finite single-precision value"), std::string::npos) << error;

    CFFNetwork rounded;
    rounded.CopyFrom(drawn);
    for (int k = 0; k < neurons; ++k)
        for (int l = k + 1; l < neurons; ++l)
            rounded.SetWeight(k, l, static_cast<float>(drawn.GetWeight(k, l)));
    const float awkward[] = {-0.0f, std::numeric_limits<float>::denorm_min(), FLT_MIN, FLT_MAX,
                             -FLT_MAX, 1.0f / 3.0f, 16777217.0f, 1e-30f};
    for (int i = 0; i < static_cast<int>(std::size(awkward)); ++i)
        rounded.SetWeight(i, neurons - 1, awkward[i]);

    const double direction = std::nextafter(3.0, 4.0);  // needs all 17 digits
    ASSERT_TRUE(FormatNetworkFile(4, direction, rounded, text, error)) << error;
    SwimmerNetwork read;
    ASSERT_TRUE(ParseNetworkFile("random.net", text, read, error)) << error;
    EXPECT_EQ(read.Segments, 4);
    EXPECT_TRUE(SameBits(read.NativeDirection, direction));
    ExpectSameNetwork(read.Network, rounded);
    EXPECT_TRUE(std::signbit(read.Network.GetWeight(0, neurons - 1)));
}

// The size limit refuses only what cannot be a network file: the largest
// network a file may describe, every weight at the longest a float is
// written, fits under it; a byte more than the limit is refused, by
// ReadNetworkFile as it reads, with the same message a reader that knows
// the size gets before reading.
TEST(NetworkFileTest, TheLargestNetworkFitsTheSizeLimitAndALargerFileIsRefused)
{
    const int segments = NetworkLimits::MinSegments;
    CSwimmer swimmer(segments);
    CFFNetworkVF valueFunction(swimmer);
    valueFunction.SetNeurons(NetworkLimits::MaxNeurons);
    CFFNetwork largest;
    largest.CopyFrom(valueFunction.GetNetwork());
    // Nine significant digits, a sign and a two-digit negative exponent.
    const float longest = -1.00000085e-30f;
    ASSERT_EQ(ShortestDecimal(longest).size(), 15u) << ShortestDecimal(longest);
    for (int k = 0; k < NetworkLimits::MaxNeurons; ++k)
        for (int l = k + 1; l < NetworkLimits::MaxNeurons; ++l)
            largest.SetWeight(k, l, longest);
    std::string text, error;
    ASSERT_TRUE(FormatNetworkFile(segments, -0.1, largest, text, error)) << error;
    EXPECT_LT(text.size(), NetworkFileMaxBytes / 2) << "no room left for comments";
    EXPECT_TRUE(CheckNetworkFileSize("largest.net", text.size(), error));
    EXPECT_TRUE(CheckNetworkFileSize("limit.net", NetworkFileMaxBytes, error));

    EXPECT_FALSE(CheckNetworkFileSize("huge.net", NetworkFileMaxBytes + 1, error));
    EXPECT_EQ(error, "huge.net: larger than 16 MiB, which no network file is");
    const fs::path folder = FreshFolder("huge");
    const fs::path huge = folder / "huge.net";
    {
        std::ofstream file(huge, std::ios::binary);
        const std::string comments(1 << 20, '#');
        for (std::uintmax_t i = 0; i < NetworkFileMaxBytes >> 20; ++i)
            file << comments;
        file << '\n';
    }
    SwimmerNetwork read;
    EXPECT_FALSE(ReadNetworkFile(huge.string(), read, error));
    EXPECT_EQ(error, huge.string() + ": larger than 16 MiB, which no network file is");
    EXPECT_EQ(read.Network.GetNeuronCount(), 0);
    fs::remove_all(folder);
}

// The writer refuses what the reader would, so that no file it makes is
// one that cannot be read.
TEST(NetworkFileTest, TheWriterRefusesWhatNoFileCanHold)
{
    CFFNetwork embedded;
    LoadEmbeddedNetwork(embedded);
    std::string text, error;
    EXPECT_FALSE(FormatNetworkFile(1, 0.22, embedded, text, error));
    EXPECT_FALSE(FormatNetworkFile(21, 0.22, embedded, text, error));
    EXPECT_FALSE(FormatNetworkFile(3, std::nan(""), embedded, text, error));
    EXPECT_FALSE(FormatNetworkFile(4, 0.22, embedded, text, error));  // 3-segment layout
    EXPECT_NE(error.find("neuron 9 has kind 4 (Cos)"), std::string::npos) << error;

    CFFNetwork changed;
    for (double bad : {std::numeric_limits<double>::infinity(), std::nan(""), 0.1, 1e300}) {
        changed.CopyFrom(embedded);
        changed.SetWeight(5, 20, bad);
        EXPECT_FALSE(FormatNetworkFile(3, 0.22, changed, text, error)) << bad;
        EXPECT_NE(error.find("from neuron 5 to neuron 20"), std::string::npos) << error;
    }
    changed.CopyFrom(embedded);
    changed.SetActivation(29, ActivationKind::Tanh);
    EXPECT_FALSE(FormatNetworkFile(3, 0.22, changed, text, error));
    CFFNetwork small;
    small.Resize(15);  // one below the 16 a 3-segment swimmer needs
    EXPECT_FALSE(FormatNetworkFile(3, 0.22, small, text, error));
}

// Shortest: the decimal reads back to the same float, and one digit fewer
// would not. Checked over random bit patterns, subnormals and huge values
// included.
TEST(NetworkFileTest, WeightsAreTheShortestDecimalsThatReadBackToTheSameFloat)
{
    EXPECT_EQ(ShortestDecimal(0.1f), "0.1");
    EXPECT_EQ(ShortestDecimal(3.14159f), "3.14159");
    EXPECT_EQ(ShortestDecimal(-0.0f), "-0");
    EXPECT_EQ(ShortestDecimal(0.22), "0.22");

    CRandom rng(99u);
    int checked = 0;
    while (checked < 20000) {
        const std::uint32_t bits = rng.Next();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        ++checked;
        const std::string text = ShortestDecimal(value);
        float back = 0.0f;
        ASSERT_EQ(ParseFloat(text, back), NumberStatus::Ok) << text;
        ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
        // Fewer significant digits than the text has must give another float.
        const int digits = SignificantDigits(text);
        ASSERT_LE(digits, 9) << text;
        for (int fewer = 1; fewer < digits; ++fewer) {
            char shorter[400];  // %g of any double fits
            std::snprintf(shorter, sizeof shorter, "%.*g", fewer, static_cast<double>(value));
            const float other = std::strtof(shorter, nullptr);
            ASSERT_NE(std::memcmp(&other, &value, sizeof value), 0) << text << " as " << shorter;
        }
    }
}

// Every refusal, on the embedded network's file changed in one place: the
// message names the file and the line of the fault, says what is wrong in
// one line, and nothing of the file reaches the result.
TEST(NetworkFileTest, EveryFaultIsRefusedWithTheFileAndTheLineOfIt)
{
    const std::vector<std::string> good = SplitLines(EmbeddedText());
    auto at = [&](const std::string& prefix) {
        for (std::size_t i = 0; i < good.size(); ++i)
            if (good[i].rfind(prefix, 0) == 0)
                return static_cast<int>(i);
        ADD_FAILURE() << "no line " << prefix;
        return 0;
    };
    const int header = at("swimmer-network"), segments = at("segments"),
              direction = at("native-direction"), neurons = at("neurons"), kinds = at("kinds"),
              weights = at("weights");
    const int firstWeights = weights + 1;  // the line of neuron 0
    const int last = static_cast<int>(good.size()) - 1;
    ASSERT_EQ(last - weights, 29);

    // Line index i as the number a message gives it.
    auto number = [](int i) { return i + 1; };
    auto with = [&](int i, const std::string& replacement) {
        std::vector<std::string> lines = good;
        lines[static_cast<std::size_t>(i)] = replacement;
        return JoinLines(lines);
    };
    auto without = [&](int i) {
        std::vector<std::string> lines = good;
        lines.erase(lines.begin() + i);
        return JoinLines(lines);
    };
    // The weight line of neuron k with its token j replaced.
    auto weight = [&](int k, int j, const std::string& token) {
        std::istringstream line(good[static_cast<std::size_t>(firstWeights + k)]);
        std::string joined, t;
        for (int i = 0; line >> t; ++i)
            joined += (i ? " " : "") + (i == j ? token : t);
        return with(firstWeights + k, joined);
    };
    const std::string text = JoinLines(good);
    std::string kindsOutOfRange = good[static_cast<std::size_t>(kinds)];
    kindsOutOfRange.replace(kindsOutOfRange.find("kinds 2"), 7, "kinds 7");
    std::string outputTanh = good[static_cast<std::size_t>(kinds)];
    outputTanh.back() = '2';
    const std::string sixKinds = "kinds 2 2 2 2 2 2";

    struct Case
    {
        const char* Fault;
        std::string Text;
        int Line;
        const char* Says;
    };
    const Case cases[] = {
        {"empty", "", 1, "the file is empty"},
        {"only comments", "# nothing\n\n", 3, "ends where the header"},
        {"cut inside a number", text.substr(0, text.size() - 3), number(last),
         "does not end with a newline"},
        {"cut after a line", JoinLines({good.begin(), good.end() - 5}), number(last - 4),
         "ends after 24 of 29 weight lines"},
        {"cut after the header", JoinLines({good.begin(), good.begin() + segments + 1}),
         number(segments + 1), "ends where 'native-direction RADIANS' was expected"},
        {"no header", without(header), number(header), "not a network file"},
        {"another format", with(header, "P6 640 480"), number(header), "not a network file"},
        {"no version", with(header, "swimmer-network"), number(header), "has no version"},
        {"unknown version", with(header, "swimmer-network 2"), number(header),
         "unknown network file version '2'"},
        {"one segment", with(segments, "segments 1"), number(segments), "outside 2..20"},
        {"too many segments", with(segments, "segments 21"), number(segments), "outside 2..20"},
        {"segments not a number", with(segments, "segments three"), number(segments),
         "'three' is not an integer"},
        {"segments overflow", with(segments, "segments 99999999999"), number(segments),
         "not an integer"},
        {"items out of order", with(segments, "neurons 30"), number(segments),
         "expected 'segments N'"},
        {"direction infinite", with(direction, "native-direction inf"), number(direction),
         "not a finite number"},
        {"direction beyond double", with(direction, "native-direction 1e400"), number(direction),
         "not a finite number"},
        {"direction nan", with(direction, "native-direction nan"), number(direction),
         "not a finite number"},
        {"direction a word", with(direction, "native-direction north"), number(direction),
         "'north' is not a number"},
        {"too few neurons", with(neurons, "neurons 15"), number(neurons),
         "15 neurons do not fit a swimmer of 3 segments"},
        {"no neurons", with(neurons, "neurons -3"), number(neurons), "do not fit"},
        {"too many neurons", with(neurons, "neurons 1001"), number(neurons), "more than the 1000"},
        {"layout of another length", with(segments, "segments 4"), number(kinds),
         "neuron 9 has kind 4 (Cos) where the swimmer's layout has 2 (Tanh)"},
        {"fewer kinds than neurons", with(kinds, sixKinds), number(kinds),
         "lists 6 codes for 30 neurons"},
        {"kind above 6", with(kinds, kindsOutOfRange), number(kinds),
         "kind '7' of neuron 0 is not an activation code 0..6"},
        {"kind not a number", with(kinds, std::string(good[static_cast<std::size_t>(kinds)])
                                              .replace(6, 1, "x")),
         number(kinds), "kind 'x' of neuron 0"},
        {"kinds not the layout", with(kinds, outputTanh), number(kinds),
         "neuron 29 has kind 2 (Tanh) where the swimmer's layout has 1 (Linear)"},
        {"no weights line", without(weights), number(weights), "expected 'weights', found '0.56535"},
        {"a weight too few", weight(5, 0, ""), number(firstWeights + 5),
         "neuron 5 has 23 weights, expected 24 (to neurons 6..29)"},
        {"a weight too many", weight(28, 0, "0.368856 1"), number(last),
         "neuron 28 has 2 weights, expected 1"},
        {"a word for a weight", weight(3, 4, "abc"), number(firstWeights + 3),
         "from neuron 3 to neuron 8, 'abc', is not a number"},
        {"a hexadecimal weight", weight(3, 4, "0x1p3"), number(firstWeights + 3),
         "is not a number"},
        {"an infinite weight", weight(7, 0, "-inf"), number(firstWeights + 7),
         "is not a finite single-precision number"},
        {"a weight beyond float", weight(7, 0, "1e39"), number(firstWeights + 7),
         "not a finite"},
        {"a NUL in a weight", weight(9, 2, std::string("0.5\0" "1", 5)), number(firstWeights + 9),
         "'0.5\\x001', is not a number"},
        {"trailing garbage", text + "0.25\n", number(last + 1),
         "unexpected content after the last weight line: '0.25'"},
    };
    for (const Case& c : cases) {
        SwimmerNetwork result;
        result.Segments = -7;
        std::string error;
        EXPECT_FALSE(ParseNetworkFile("net.txt", c.Text, result, error)) << c.Fault;
        const std::string where = "net.txt:" + std::to_string(c.Line) + ": ";
        EXPECT_EQ(error.rfind(where, 0), 0u) << c.Fault << ": " << error;
        EXPECT_NE(error.find(c.Says), std::string::npos) << c.Fault << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << c.Fault;
        EXPECT_EQ(result.Segments, -7) << c.Fault;
        EXPECT_EQ(result.Network.GetNeuronCount(), 0) << c.Fault;
    }
}

// What a person editing a file may do without changing what it means.
TEST(NetworkFileTest, CommentsBlankLinesSignsAndWindowsLineEndsChangeNothing)
{
    CFFNetwork embedded;
    LoadEmbeddedNetwork(embedded);
    std::string edited;
    for (const std::string& line : SplitLines(EmbeddedText())) {
        if (line.rfind("segments", 0) == 0)
            edited += "\t  segments   +3  \r\n";
        else
            edited += line + "\r\n";
        edited += "  # a remark\n\n";
    }
    SwimmerNetwork read;
    std::string error;
    ASSERT_TRUE(ParseNetworkFile("edited.net", edited, read, error)) << error;
    EXPECT_EQ(read.Segments, 3);
    ExpectSameNetwork(read.Network, embedded);
}

// Random bytes, and the good file with random damage, which gets much
// further into the checks: never a crash, always either one clean line of
// refusal or a network that writes and reads back the same.
TEST(NetworkFileTest, RandomBytesAreRefusedCleanlyOrReadBackTheSame)
{
    const std::string good = EmbeddedText();
    const char alphabet[] = "0123456789 .-+e\n#\rabcnief\t\0";
    CRandom rng(20240612u);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::string text;
        if (round % 2 == 0) {
            const std::size_t length = rng.Next() % 3000;
            for (std::size_t i = 0; i < length; ++i)
                text += static_cast<char>(round % 4 == 0 ? rng.Next() & 0xff
                                                         : alphabet[rng.Next() % (sizeof alphabet)]);
            if (round % 8 == 2)
                text = "swimmer-network 1\nsegments 3\n" + text;
        } else {
            text = good;
            const int damage = 1 + static_cast<int>(rng.Next() % 4);
            for (int d = 0; d < damage; ++d) {
                const std::size_t at = rng.Next() % text.size();
                switch (rng.Next() % 4) {
                case 0: text[at] = alphabet[rng.Next() % (sizeof alphabet)]; break;
                case 1: text.erase(at, 1 + rng.Next() % 40); break;
                case 2: text.insert(at, 1, static_cast<char>(rng.Next() & 0xff)); break;
                case 3: text.resize(at); break;
                }
                if (text.empty())
                    break;
            }
        }
        SwimmerNetwork read;
        std::string error;
        if (!ParseNetworkFile("fuzz", text, read, error)) {
            EXPECT_TRUE(IsRefusalLine(error, "fuzz")) << "round " << round << ": " << error;
            continue;
        }
        ++accepted;
        std::string again;
        ASSERT_TRUE(FormatNetworkFile(read.Segments, read.NativeDirection, read.Network, again,
                                      error))
            << "round " << round << ": " << error;
        SwimmerNetwork reread;
        ASSERT_TRUE(ParseNetworkFile("again", again, reread, error)) << error;
        EXPECT_TRUE(SameBits(reread.NativeDirection, read.NativeDirection));
        ExpectSameNetwork(reread.Network, read.Network);
    }
    // Damage that lands in a comment or turns one digit into another leaves
    // a valid file; some rounds must have been that, or the damage misses.
    EXPECT_GT(accepted, 0);
}

// A write that fails leaves nothing: no file and no temporary beside it,
// and a file that was there stays as it was.
TEST(NetworkFileTest, AFailedWriteLeavesNoFile)
{
    CFFNetwork embedded;
    LoadEmbeddedNetwork(embedded);
    const fs::path folder = FreshFolder("failed-write");
    std::string error;
    auto entries = [&] {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    };

    const fs::path missing = folder / "no-such-folder" / "x.net";
    EXPECT_FALSE(WriteNetworkFile(missing.string(), 3, 0.22, embedded, error));
    EXPECT_EQ(error.rfind(missing.string() + ": ", 0), 0u) << error;
    EXPECT_EQ(entries(), 0);

    // The target is a folder: the rename fails after the bytes are written.
    const fs::path occupied = folder / "occupied.net";
    fs::create_directories(occupied / "inside");
    EXPECT_FALSE(WriteNetworkFile(occupied.string(), 3, 0.22, embedded, error));
    EXPECT_TRUE(fs::is_directory(occupied / "inside"));
    EXPECT_EQ(entries(), 1);

    // A network the file cannot hold does not replace the old file.
    const fs::path existing = folder / "existing.net";
    ASSERT_TRUE(WriteNetworkFile(existing.string(), 3, 0.22, embedded, error)) << error;
    const std::string before = Contents(existing);
    CFFNetwork changed;
    changed.CopyFrom(embedded);
    changed.SetWeight(0, 1, 0.1);
    EXPECT_FALSE(WriteNetworkFile(existing.string(), 3, 0.22, changed, error));
    EXPECT_EQ(error.rfind(existing.string() + ": cannot write the network: ", 0), 0u) << error;
    EXPECT_EQ(Contents(existing), before);
    EXPECT_EQ(entries(), 2);

    // Reading what is not a readable file.
    SwimmerNetwork read;
    EXPECT_FALSE(ReadNetworkFile(missing.string(), read, error));
    EXPECT_EQ(error.rfind(missing.string() + ": ", 0), 0u) << error;
    EXPECT_FALSE(ReadNetworkFile(occupied.string(), read, error));
    EXPECT_EQ(read.Network.GetNeuronCount(), 0);
    fs::remove_all(folder);
}

}  // namespace
