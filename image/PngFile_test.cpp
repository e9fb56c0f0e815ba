#include "PngFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "ReadImage.h"

namespace {

namespace fs = std::filesystem;

const Rgb White = {255, 255, 255}, Black = {0, 0, 0}, Red = {255, 0, 0};

// Like a screenshot: white, a grey gradient band as a title bar, a black
// line, a red square.
CRgbImage Screenshot(int width, int height)
{
    CRgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, White);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, {std::uint8_t(x * 255 / width), std::uint8_t(x * 255 / width), 200});
    for (int y = 30; y < height; ++y)
        image.Set(width / 2, y, Black);
    for (int y = 60; y < 65; ++y)
        for (int x = width / 2 - 2; x <= width / 2 + 2; ++x)
            image.Set(x, y, Red);
    return image;
}

fs::path TempPath(const char* name)
{
    return fs::temp_directory_path() / name;
}

// What is written reads back, through an independent decoder, to the same
// pixels: a tiny picture, a flat one that must shrink, and noise.
TEST(PngFileTest, PicturesReadBackToTheirPixels)
{
    CRgbImage tiny(3, 2);
    tiny.Set(0, 0, Red);
    tiny.Set(1, 0, {0, 255, 0});
    tiny.Set(2, 0, {0, 0, 255});
    tiny.Set(0, 1, White);
    tiny.Set(1, 1, Black);
    tiny.Set(2, 1, {1, 2, 3});

    CRgbImage noise(97, 31);
    std::uint32_t seed = 12345;
    for (int y = 0; y < noise.GetHeight(); ++y)
        for (int x = 0; x < noise.GetWidth(); ++x) {
            seed = seed * 1103515245u + 12345u;
            noise.Set(x, y,
                      {std::uint8_t(seed >> 24), std::uint8_t(seed >> 16), std::uint8_t(seed >> 8)});
        }

    const CRgbImage screen = Screenshot(1600, 120);
    const CRgbImage* images[] = {&tiny, &noise, &screen};
    for (const CRgbImage* image : images) {
        const fs::path path = TempPath("swimmer-png-test.png");
        ASSERT_TRUE(WritePng(path.string(), *image));
        CRgbImage back;
        EXPECT_TRUE(ReadImage(path.string(), back));
        EXPECT_EQ(back.GetWidth(), image->GetWidth());
        EXPECT_EQ(back.GetHeight(), image->GetHeight());
        EXPECT_EQ(back.GetBytes(), image->GetBytes());
        if (image == &screen) {
            EXPECT_LT(fs::file_size(path), screen.GetBytes().size() / 50);
        }
        fs::remove(path);
    }
}

// A file that cannot be written is reported and leaves nothing behind; a
// failed write never replaces a good file of the same name.
TEST(PngFileTest, AFailedWriteLeavesNothingBehind)
{
    const CRgbImage image = Screenshot(40, 70);
    const fs::path missing = TempPath("swimmer-no-such-folder") / "x.png";
    EXPECT_FALSE(WritePng(missing.string(), image));
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    const fs::path path = TempPath("swimmer-png-keep.png");
    ASSERT_TRUE(WritePng(path.string(), image));
    const auto size = fs::file_size(path);
    EXPECT_FALSE(WritePng(path.string(), CRgbImage(0, 0)));  // nothing to encode
    EXPECT_EQ(fs::file_size(path), size);
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::temp_directory_path()))
        EXPECT_EQ(entry.path().string().find("swimmer-png-keep.png."), std::string::npos);
    fs::remove(path);
}

}  // namespace
