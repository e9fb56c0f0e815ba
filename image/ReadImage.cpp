#include "ReadImage.h"

#include <cstring>
#include <fstream>
#include <iterator>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#include <stb_image.h>

bool ReadImage(const std::string& path, CRgbImage& image)
{
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!pixels)
        return false;
    image = CRgbImage(width, height);
    std::memcpy(image.Data(), pixels, static_cast<size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return true;
}

bool ReadGifFrames(const std::string& path, std::vector<CRgbImage>& frames,
                   std::vector<int>& delays)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.empty())
        return false;
    int* delaysMs = nullptr;
    int width = 0, height = 0, count = 0, channels = 0;
    stbi_uc* pixels = stbi_load_gif_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &delaysMs, &width,
                                                &height, &count, &channels, 3);
    if (!pixels)
        return false;
    const size_t frameBytes = static_cast<size_t>(width) * height * 3;
    frames.clear();
    delays.clear();
    for (int i = 0; i < count; ++i) {
        frames.emplace_back(width, height);
        std::memcpy(frames.back().Data(), pixels + i * frameBytes, frameBytes);
        delays.push_back(delaysMs ? delaysMs[i] / 10 : 0);
    }
    stbi_image_free(pixels);
    stbi_image_free(delaysMs);
    return true;
}
