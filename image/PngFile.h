#pragma once
// PNG files of RGB pictures: 8 bits a channel, encoded by stb_image_write.

#include <string>

#include "RgbImage.h"

// Writes the picture to path under a temporary name, renamed to path once
// complete, so that a failed write leaves no file behind; false on failure.
bool WritePng(const std::string& path, const CRgbImage& image);
