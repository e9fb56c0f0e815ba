#pragma once
// What the primary screen shows now, as an RGB picture: image pixel (x, y)
// is screen point (x, y).

#include "RgbImage.h"

// An empty (0 x 0) picture if the screen cannot be read.
CRgbImage CaptureScreen();
