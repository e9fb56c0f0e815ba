#include "ReadImage.h"

#include <cstring>

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
