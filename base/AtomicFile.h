#pragma once
// CAtomicFile: a file that appears whole or not at all. The bytes go to a
// temporary file beside the target, which Commit renames over the target
// once everything is written and flushed; a file never committed (a failed
// write, an exception, an early return) is removed again by the destructor.
//
// A target that exists and is not a regular file (/dev/null, a terminal, a
// pipe) is written directly: there is nothing to replace, and renaming over
// a device would destroy it.

#include <cstddef>
#include <fstream>
#include <string>

class CAtomicFile
{
public:
    // Opens the temporary file; Good() tells whether that worked.
    explicit CAtomicFile(const std::string& path);
    ~CAtomicFile();

    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool Good() const { return static_cast<bool>(Stream); }
    std::ostream& GetStream() { return Stream; }
    // Flushes, closes and renames; false (and no file) if any write failed.
    bool Commit();
    // Removes what was written so far; the target is left as it was.
    void Discard();

private:
    std::string Path;
    std::string WritePath;  // the temporary name, or Path itself for a device
    std::ofstream Stream;
    bool Open = false;
};

// Why no file can be written at path before trying: the folder it would go
// in is missing, or a folder stands in its place. Empty when nothing is in
// the way.
std::string WhyNotWritable(const std::string& path);

// The whole of data as the file at path, through a CAtomicFile.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);
