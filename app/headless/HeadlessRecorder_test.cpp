#include "HeadlessRecorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "GifFile.h"
#include "HeadlessCommand.h"
#include "ReadImage.h"
#include "StartPicture.h"
#include "SwimmerView.h"

namespace {

namespace fs = std::filesystem;

int RunCommand(const std::vector<std::string>& arguments, std::string* err = nullptr)
{
    std::ostringstream out, errors;
    const int status = RunHeadlessCommand(arguments, out, errors, false);
    if (err)
        *err = errors.str();
    return status;
}

fs::path Fresh(const char* name)
{
    const fs::path path = fs::temp_directory_path() / name;
    fs::remove_all(path);
    return path;
}


// 20 ticks at 30 frames a second: frames at ticks 0, 3, 6, 10, 13, 16 and
// 20 (⌊100 k / 30⌋), lasting the ticks to the next, so the GIF plays the
// 0.23 s they span in real time. The PNG frames and the GIF frames are the
// same pictures, the first of them the start, drawn as the window draws it.
TEST(HeadlessRecorderTest, FramesComeAtTheirTicksAsPngAndGif)
{
    const fs::path folder = Fresh("swimmer-frames-test"), gif = Fresh("swimmer-run-test.gif");
    std::vector<std::string> arguments = {"--ticks", "20", "--fps", "30", "--no-csv",
                                          "--frames", folder.string()};
    if (GifSupported()) {
        arguments.push_back("--gif");
        arguments.push_back(gif.string());
    }
    std::string err;
    ASSERT_EQ(RunCommand(arguments, &err), 0) << err;

    std::vector<CRgbImage> png(7);
    for (int k = 0; k < 7; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", k);
        ASSERT_TRUE(ReadImage((folder / name).string(), png[k])) << name;
        ASSERT_EQ(png[k].GetWidth(), SwimmerView::DefaultClient.Width);
        ASSERT_EQ(png[k].GetHeight(), SwimmerView::DefaultClient.Height);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 7);
    int wrong = 0;  // frame 0 is the start picture
    for (int y = 0; y < png[0].GetHeight(); ++y)
        for (int x = 0; x < png[0].GetWidth(); ++x) {
            const auto& colour = PaintColours[static_cast<int>(StartPicturePaint(x, y))];
            wrong += png[0].At(x, y) != Rgb{colour[0], colour[1], colour[2]};
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(png[6].GetBytes(), png[0].GetBytes());  // it moved

    if (GifSupported()) {
        std::vector<CRgbImage> frames;
        std::vector<int> delays;
        ASSERT_TRUE(ReadGifFrames(gif.string(), frames, delays));
        ASSERT_EQ(frames.size(), 7u);
        EXPECT_EQ(delays, (std::vector<int>{3, 3, 4, 3, 3, 4, 3}));
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(frames[k].GetBytes(), png[k].GetBytes()) << "frame " << k;
    }
    fs::remove_all(folder);
    fs::remove(gif);
}

// A run whose CSV cannot be written takes its pictures along: nothing of
// the run stays, and the folder it made goes too.
TEST(HeadlessRecorderTest, AFailedRunLeavesNoPicture)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fail a write";
    const fs::path folder = Fresh("swimmer-frames-failed"), gif = Fresh("swimmer-run-failed.gif");
    std::vector<std::string> arguments = {"--ticks", "40", "--output", "/dev/full",
                                          "--frames", folder.string()};
    if (GifSupported()) {
        arguments.push_back("--gif");
        arguments.push_back(gif.string());
    }
    std::string err;
    EXPECT_EQ(RunCommand(arguments, &err), 1);
    EXPECT_NE(err.find("failed"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(gif));
}

}  // namespace
