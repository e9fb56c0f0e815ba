#pragma once
// Network files: a trained value-function network for a swimmer of a given
// length, as text that a person can read and diff.
//
//     swimmer-network 1
//     segments 3
//     native-direction 0.22
//     neurons 30
//     kinds 2 2 2 ... 1            one activation code per neuron
//     weights
//     w(0→1) w(0→2) ... w(0→n-1)   line k: from neuron k to k+1, ..., n-1
//     ...
//     w(n-2→n-1)
//
// Lines whose first non-blank character is '#' are comments, and blank lines
// are ignored, anywhere. Weights are single-precision values (what
// CFFNetwork::Load takes), each written as the shortest decimal that reads
// back to the same float; the native direction is in radians.
//
// A file is checked whole before anything of it is used: the reader returns
// the network only if every line is right, and otherwise one line
// "FILE:LINE: what is wrong". The writer refuses, with the same kind of line
// and no file, a network that the reader would refuse or that a file cannot
// hold exactly, so that every file written reads back to the same bits.
//
// Numbers are formatted and parsed in the "C" locale's notation; a program
// that changes LC_NUMERIC must restore it around these calls.

#include <cstdint>
#include <string>

#include "FFNetwork.h"
#include "SwimmerNetwork.h"

// The file's text for the network, or false with error (no file name or
// line in it) when the network cannot be written faithfully: segments out of
// range, a non-finite direction, a neuron count or kinds other than the
// swimmer's value-function layout, a weight that is not finite or not
// exactly a single-precision value.
// note, if not empty, is written as comment lines after the fixed ones,
// each of its lines behind "# ".
bool FormatNetworkFile(int segments, double nativeDirection, const CFFNetwork& network,
                       std::string& text, std::string& error, const std::string& note = "");

// FormatNetworkFile written to path as a whole or not at all: on any failure
// error is "PATH: what is wrong", and path is left as it was.
bool WriteNetworkFile(const std::string& path, int segments, double nativeDirection,
                      const CFFNetwork& network, std::string& error, const std::string& note = "");

// The most bytes a network file may have. The largest network a file may
// describe (1000 neurons: 499,500 weights, each at most 15 characters as
// "%.9g" writes a float, "-1.23456791e-30", and one blank) takes under 8 MB;
// twice that leaves room for comments, and a stray huge file is refused
// before it fills memory.
constexpr std::uintmax_t NetworkFileMaxBytes = std::uintmax_t{16} << 20;

// Whether a file of that many bytes may be a network file at all; if not,
// error is "NAME: larger than 16 MiB, which no network file is". A reader
// that knows the size beforehand asks before reading.
bool CheckNetworkFileSize(const std::string& name, std::uintmax_t bytes, std::string& error);

// Checks and reads the text of a network file; name is used in the error
// ("NAME:LINE: what is wrong"). result is changed only on success.
bool ParseNetworkFile(const std::string& name, const std::string& text, SwimmerNetwork& result,
                      std::string& error);

// ParseNetworkFile on the contents of the file at path.
bool ReadNetworkFile(const std::string& path, SwimmerNetwork& result, std::string& error);
