#pragma once
// A learning run's checkpoint as a file: text lines saying what it is, the
// program's version, the options that decide what is learned (one a line)
// and the learning curve so far, then the run's state as binary words
// (little-endian IEEE doubles, the same bytes on every platform), and a
// last line with a 64-bit FNV-1a sum of every byte before it, so that a
// file cut short or damaged is told apart from a checkpoint.
//
//   swimmer-train checkpoint
//   version VERSION
//   options N
//   ...N lines...
//   curve BYTES
//   ...BYTES bytes...
//   words COUNT
//   ...8·COUNT bytes...
//   sum XXXXXXXXXXXXXXXX

#include <cstddef>
#include <string>
#include <vector>

struct Checkpoint
{
    std::string Version;
    std::vector<std::string> Options;
    std::string Curve;
    std::vector<double> Words;
};

std::string CheckpointBytes(const Checkpoint& checkpoint);
// Why bytes are not a checkpoint ("is cut short", ...), or "" when they
// are one, then in checkpoint.
std::string ReadCheckpoint(const std::string& bytes, Checkpoint& checkpoint);

// The whole of the file at path, of at most MostCheckpointBytes; false with
// why in error ("cannot open", "larger than ...").
constexpr std::size_t MostCheckpointBytes = std::size_t(1) << 30;
bool ReadCheckpointFile(const std::string& path, std::string& bytes, std::string& error);
