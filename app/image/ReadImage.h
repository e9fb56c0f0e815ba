#pragma once
// Reading a PNG (or GIF: its first frame) back into RGB, for tests and
// tools that check what was written.

#include <string>

#include "RgbImage.h"

// False if the file is missing or not a picture stb_image can read.
bool ReadImage(const std::string& path, CRgbImage& image);
