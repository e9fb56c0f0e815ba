#pragma once
// Reading a PNG (or GIF: its first frame) back into RGB, for tests and
// tools that check what was written.

#include <string>
#include <vector>

#include "RgbImage.h"

// False if the file is missing or not a picture stb_image can read.
bool ReadImage(const std::string& path, CRgbImage& image);

// Every frame of an animated GIF, composed as a viewer shows it, with its
// delay in hundredths of a second.
bool ReadGifFrames(const std::string& path, std::vector<CRgbImage>& frames,
                   std::vector<int>& delays);
