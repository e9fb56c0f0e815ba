#include "PngFile.h"

#include <cstdio>
#include <vector>

#include "AtomicFile.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

void AppendBytes(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

bool WritePng(const std::string& path, const CRgbImage& image)
{
    // A PNG has at least one pixel.
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return false;
    // Pictures here are large flat areas: filtering rows gains nothing over
    // none, and trying all five filters a row was most of the time.
    stbi_write_force_png_filter = 0;
    stbi_write_png_compression_level = 1;
    std::vector<unsigned char> bytes;
    const int rowBytes = image.GetWidth() * 3;
    if (!stbi_write_png_to_func(AppendBytes, &bytes, image.GetWidth(), image.GetHeight(), 3,
                                image.GetBytes().data(), rowBytes))
        return false;
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}
