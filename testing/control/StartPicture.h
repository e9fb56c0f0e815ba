#pragma once
// The demonstration's start, as every device must draw it: on the default
// view of 1400 x 700 pixels (20 x 10 units at 70 pixels a unit) the head
// starts half-way across and one unit below the middle, at (10, 4) units,
// pixel (700, 700 - 4·70) = (700, 420), and the three segments point
// straight up, so joints 1 to 3 land 70, 140 and 210 pixels higher, on rows
// 350, 280 and 210. A 5 x 5 marker is centred on each: red on the head,
// black on the others. The one line runs from the head's pixel up to row
// 210 (its end point left out, then covered by the top marker), drawn over
// the head. Everything else is white.

#include "SwimmerPicture.h"

// The paint of pixel (x, y), y downwards, in that picture.
Paint StartPicturePaint(int x, int y);
