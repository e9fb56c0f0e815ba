#include "HeadlessRecorder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "AtomicFile.h"
#include "PngFile.h"

namespace fs = std::filesystem;

CHeadlessRecorder::CHeadlessRecorder(ClientSize client, int fps, const std::string& framesFolder,
                                     const std::string& gif)
    : Client(client),
      Fps(fps),
      FramesFolder(framesFolder),
      GifPath(gif),
      Canvas(client.Width, client.Height),
      Rgb(framesFolder.empty() ? 0 : client.Width, framesFolder.empty() ? 0 : client.Height)
{
    Picture.DirtyWholeClient(Client);
}

CHeadlessRecorder::~CHeadlessRecorder() = default;

bool CHeadlessRecorder::CheckPaths(const std::string& framesFolder, const std::string& gif,
                                   std::string& error)
{
    std::error_code failure;
    if (!framesFolder.empty() && fs::exists(framesFolder, failure) &&
        !fs::is_directory(framesFolder, failure)) {
        error = "--frames '" + framesFolder + "' is a file, not a folder";
        return false;
    }
    if (!gif.empty()) {
        if (!GifSupported()) {
            error = "--gif: this build has no GIF encoder (the native build has)";
            return false;
        }
        const std::string why = WhyNotWritable(gif);
        if (!why.empty()) {
            error = "--gif '" + gif + "': " + why;
            return false;
        }
    }
    return true;
}

bool CHeadlessRecorder::Begin(std::string& error)
{
    if (!FramesFolder.empty() && !fs::is_directory(FramesFolder)) {
        std::error_code failure;
        fs::create_directories(FramesFolder, failure);
        if (failure) {
            error = "cannot create the folder '" + FramesFolder + "': " + failure.message();
            return false;
        }
        MadeFolder = true;
    }
    if (!GifPath.empty()) {
        Gif = std::make_unique<CGifFile>(GifPath, Client.Width, Client.Height,
                                         &PaintColours[0][0], 3);
        if (!Gif->Begin()) {
            error = "cannot write '" + GifPath + "'";
            return false;
        }
    }
    return true;
}

bool CHeadlessRecorder::Record(const CSwimmerControlLoop& loop, std::string& error)
{
    Picture.Draw(Canvas, loop, Client);
    if (!FramesFolder.empty()) {
        const std::uint8_t* index = Canvas.GetIndices();
        std::uint8_t* rgb = Rgb.Data();
        const size_t pixels = static_cast<size_t>(Client.Width) * Client.Height;
        for (size_t i = 0; i < pixels; ++i, rgb += 3) {
            const std::uint8_t* colour = PaintColours[index[i]];
            rgb[0] = colour[0];
            rgb[1] = colour[1];
            rgb[2] = colour[2];
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06lld.png", FramesDone);
        const std::string path = (fs::path(FramesFolder) / name).string();
        if (!WritePng(path, Rgb)) {
            error = "writing '" + path + "' failed";
            return false;
        }
        Written.push_back(path);
    }
    if (Gif) {
        const long long delay = TickOfFrame(FramesDone + 1) - TickOfFrame(FramesDone);
        if (!Gif->Add(Canvas.GetIndices(), static_cast<int>(delay))) {
            error = "writing '" + GifPath + "' failed";
            return false;
        }
    }
    ++FramesDone;
    return true;
}

bool CHeadlessRecorder::Finish(std::string& error)
{
    if (Gif && !Gif->Finish()) {
        error = "writing '" + GifPath + "' failed";
        return false;
    }
    if (Gif)
        Written.push_back(GifPath);  // complete, but still this run's to take back
    Gif.reset();
    return true;
}

void CHeadlessRecorder::Abandon()
{
    Gif.reset();  // never committed: the temporary file goes with it
    std::error_code failure;
    for (const std::string& path : Written)
        fs::remove(path, failure);
    Written.clear();
    if (MadeFolder)
        fs::remove(FramesFolder, failure);  // only if empty: nothing of anyone else's
}
