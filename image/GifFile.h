#pragma once
// CGifFile: an animated GIF of paint-index frames, encoded by cgif and
// written through a CAtomicFile: the file appears, complete, only when
// Finish succeeds, and a run that stops early leaves nothing behind.
//
// Only the native build has the encoder (Debian's libcgif); elsewhere
// GifSupported() is false and Begin fails.

#include <cstdint>
#include <memory>
#include <string>

bool GifSupported();

class CGifFile
{
public:
    // palette: entries × (red, green, blue), at most 256 entries.
    CGifFile(const std::string& path, int width, int height, const std::uint8_t* palette,
             int entries);
    ~CGifFile();

    CGifFile(const CGifFile&) = delete;
    CGifFile& operator=(const CGifFile&) = delete;

    // False if the file cannot be opened or the build has no encoder.
    bool Begin();
    // One frame of width × height palette indices, rows from the top, shown
    // for delay hundredths of a second.
    bool Add(const std::uint8_t* indices, int delay);
    // Ends the animation and commits the file.
    bool Finish();

private:
    struct State;
    std::unique_ptr<State> Impl;
};
