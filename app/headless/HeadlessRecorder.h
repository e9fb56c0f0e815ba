#pragma once
// CHeadlessRecorder: pictures of a headless run, drawn by the same
// CSwimmerPicture the window uses on a software canvas of the view's size:
// PNG frames into a folder and an animated GIF, at a rate in frames per
// second of simulated time.
//
// Frame k shows the view after tick ⌊100·k / fps⌋ (frame 0: the start).
// When fps does not divide 100 the frames are spread as evenly as whole
// ticks allow, and each GIF frame lasts exactly the ticks to the next one
// (a tick is a hundredth of a second, the GIF's unit), so the animation
// keeps simulated time.
//
// Nothing is left half-done: every PNG and the GIF are written under a
// temporary name and renamed when complete, and Abandon removes whatever
// the run wrote (and the folder, if the recorder made it).

#include <memory>
#include <string>
#include <vector>

#include "GifFile.h"
#include "PixelCanvas.h"
#include "RgbImage.h"
#include "SwimmerPicture.h"

class CHeadlessRecorder
{
public:
    CHeadlessRecorder(ClientSize client, int fps, const std::string& framesFolder,
                      const std::string& gif);
    ~CHeadlessRecorder();

    // Checks the paths as a whole before any work: a frames path that is a
    // file, a GIF in a folder that does not exist. False with a reason.
    static bool CheckPaths(const std::string& framesFolder, const std::string& gif,
                           std::string& error);

    // Creates the folder and opens the GIF.
    bool Begin(std::string& error);
    // The tick the next frame shows.
    long long NextFrameTick() const { return TickOfFrame(FramesDone); }
    // Draws the loop's picture and writes it as the next frame.
    bool Record(const CSwimmerControlLoop& loop, std::string& error);
    // Commits the GIF.
    bool Finish(std::string& error);
    // Removes everything this run wrote.
    void Abandon();

    long long GetFramesDone() const { return FramesDone; }

private:
    long long TickOfFrame(long long frame) const { return frame * 100 / Fps; }

    ClientSize Client;
    int Fps;
    std::string FramesFolder;
    std::string GifPath;
    bool MadeFolder = false;
    CSwimmerPicture Picture;
    CPixelCanvas Canvas;
    CRgbImage Rgb;  // the canvas through the palette, for PNG
    std::unique_ptr<CGifFile> Gif;
    std::vector<std::string> Written;
    long long FramesDone = 0;
};
