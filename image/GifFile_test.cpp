#include "GifFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "ReadImage.h"

namespace {

namespace fs = std::filesystem;

const std::uint8_t Palette[3][3] = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}};

// A white frame with a black bar and a red square that move from frame to
// frame, as the swimmer does.
std::vector<std::uint8_t> Frame(int width, int height, int shift)
{
    std::vector<std::uint8_t> indices(static_cast<size_t>(width) * height, 0);
    for (int x = 0; x < width; ++x)
        indices[static_cast<size_t>((5 + shift) % height) * width + x] = 1;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            indices[static_cast<size_t>(y + shift) * width + x + 2 * shift] = 2;
    return indices;
}

// Every frame reads back, composed as a viewer shows it, to the colours of
// its indices and with its own delay: the encoder's window of changes must
// not lose or keep a pixel.
TEST(GifFileTest, FramesReadBackWithTheirDelays)
{
    if (!GifSupported())
        GTEST_SKIP() << "this build has no GIF encoder";
    const int width = 40, height = 24;
    const fs::path path = fs::temp_directory_path() / "swimmer-gif-test.gif";
    const int delays[] = {4, 4, 3, 7};
    {
        CGifFile gif(path.string(), width, height, &Palette[0][0], 3);
        ASSERT_TRUE(gif.Begin());
        for (int i = 0; i < 4; ++i) {
            const std::vector<std::uint8_t> frame = Frame(width, height, i);
            ASSERT_TRUE(gif.Add(frame.data(), delays[i]));
            EXPECT_FALSE(fs::exists(path));  // not before it is complete
        }
        ASSERT_TRUE(gif.Finish());
    }
    std::vector<CRgbImage> frames;
    std::vector<int> read;
    ASSERT_TRUE(ReadGifFrames(path.string(), frames, read));
    ASSERT_EQ(frames.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(read[i], delays[i]) << i;
        const std::vector<std::uint8_t> frame = Frame(width, height, i);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* colour = Palette[frame[static_cast<size_t>(y) * width + x]];
                const Rgb pixel = frames[i].At(x, y);
                wrong += pixel.R != colour[0] || pixel.G != colour[1] || pixel.B != colour[2];
            }
        EXPECT_EQ(wrong, 0) << "frame " << i;
    }
    fs::remove(path);
}

// An animation abandoned before Finish leaves no file, and a folder that
// does not exist is refused at once.
TEST(GifFileTest, AnUnfinishedAnimationLeavesNothing)
{
    if (!GifSupported())
        GTEST_SKIP() << "this build has no GIF encoder";
    const fs::path path = fs::temp_directory_path() / "swimmer-gif-abandoned.gif";
    {
        CGifFile gif(path.string(), 8, 8, &Palette[0][0], 3);
        ASSERT_TRUE(gif.Begin());
        const std::vector<std::uint8_t> frame(64, 1);
        ASSERT_TRUE(gif.Add(frame.data(), 4));
    }
    EXPECT_FALSE(fs::exists(path));
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().filename().string().find("swimmer-gif-abandoned"), std::string::npos);

    CGifFile nowhere((fs::temp_directory_path() / "swimmer-no-folder" / "x.gif").string(), 8, 8,
                     &Palette[0][0], 3);
    EXPECT_FALSE(nowhere.Begin());
}

}  // namespace
