#include "CheckpointFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>

#include "CommandLine.h"

namespace {

const char Magic[] = "swimmer-train checkpoint\n";
const char SumKey[] = "sum ";
const std::size_t SumLine = sizeof(SumKey) - 1 + 16 + 1;

std::uint64_t Fnv1a(const char* bytes, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string Hex16(std::uint64_t value)
{
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
    return text;
}

// Reads the fields in order, each whole; a field that is not there leaves
// Failed set and every later read empty.
class CFieldReader
{
public:
    CFieldReader(const std::string& bytes, std::size_t end) : Bytes(bytes), End(end) {}

    // The rest of a line that starts with key.
    std::string Line(const std::string& key)
    {
        const std::size_t stop = Bytes.find('\n', At);
        if (Failed || stop == std::string::npos || stop >= End ||
            Bytes.compare(At, key.size(), key) != 0) {
            Failed = true;
            return "";
        }
        std::string rest = Bytes.substr(At + key.size(), stop - At - key.size());
        At = stop + 1;
        return rest;
    }

    // "key N" with N a whole number of at most most.
    std::size_t Count(const std::string& key, std::size_t most)
    {
        std::size_t count = 0;
        if (!ParseInteger(Line(key + " "), count) || count > most)
            Failed = true;
        return Failed ? 0 : count;
    }

    std::string Take(std::size_t size)
    {
        if (Failed || size > End - At) {
            Failed = true;
            return "";
        }
        At += size;
        return Bytes.substr(At - size, size);
    }

    bool Finished() const { return !Failed && At == End; }

private:
    const std::string& Bytes;
    std::size_t End;
    std::size_t At = 0;
    bool Failed = false;
};

}  // namespace

std::string CheckpointBytes(const Checkpoint& checkpoint)
{
    std::string bytes = Magic;
    bytes += "version " + checkpoint.Version + "\n";
    bytes += "options " + std::to_string(checkpoint.Options.size()) + "\n";
    for (const std::string& option : checkpoint.Options)
        bytes += option + "\n";
    bytes += "curve " + std::to_string(checkpoint.Curve.size()) + "\n" + checkpoint.Curve;
    bytes += "words " + std::to_string(checkpoint.Words.size()) + "\n";
    for (double word : checkpoint.Words) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &word, sizeof bits);
        for (int i = 0; i < 8; ++i, bits >>= 8)
            bytes += static_cast<char>(bits & 0xFF);
    }
    bytes += SumKey + Hex16(Fnv1a(bytes.data(), bytes.size())) + "\n";
    return bytes;
}

std::string ReadCheckpoint(const std::string& bytes, Checkpoint& checkpoint)
{
    if (bytes.compare(0, sizeof(Magic) - 1, Magic) != 0)
        return "is not a swimmer-train checkpoint";
    const std::size_t body = bytes.size() - SumLine;
    if (bytes.size() < sizeof(Magic) - 1 + SumLine || bytes.compare(body, 4, SumKey) != 0 ||
        bytes.back() != '\n')
        return "is cut short (it does not end with its check sum)";
    if (bytes.compare(body + 4, 16, Hex16(Fnv1a(bytes.data(), body))) != 0)
        return "is damaged (its check sum does not match its contents)";

    CFieldReader reader(bytes, body);
    reader.Line(std::string(Magic, sizeof(Magic) - 2));
    Checkpoint read;
    read.Version = reader.Line("version ");
    read.Options.resize(reader.Count("options", body));
    for (std::string& option : read.Options)
        option = reader.Line("");
    read.Curve = reader.Take(reader.Count("curve", body));
    const std::string words = reader.Take(8 * reader.Count("words", body / 8));
    for (std::size_t at = 0; at < words.size(); at += 8) {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | static_cast<unsigned char>(words[at + static_cast<std::size_t>(i)]);
        double word = 0;
        std::memcpy(&word, &bits, sizeof word);
        read.Words.push_back(word);
    }
    if (!reader.Finished())
        return "is not a swimmer-train checkpoint (its fields are not in order)";
    checkpoint = std::move(read);
    return "";
}

bool ReadCheckpointFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        error = "cannot be opened";
        return false;
    }
    bytes.clear();
    char buffer[1 << 16];
    while (stream) {
        stream.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(stream.gcount()));
        if (bytes.size() > MostCheckpointBytes) {
            error = "is larger than any checkpoint (1 GiB)";
            return false;
        }
    }
    // A directory opens but does not read; eof alone is a whole read.
    if (stream.bad() || !stream.eof()) {
        error = "cannot be read";
        return false;
    }
    return true;
}
