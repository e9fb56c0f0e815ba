#include "StartPicture.h"

namespace {

bool InMarker(int x, int y, int centreX, int centreY)
{
    return x >= centreX - 2 && x <= centreX + 2 && y >= centreY - 2 && y <= centreY + 2;
}

}  // namespace

Paint StartPicturePaint(int x, int y)
{
    if (InMarker(x, y, 700, 350) || InMarker(x, y, 700, 280) || InMarker(x, y, 700, 210) ||
        (x == 700 && y >= 210 && y <= 420))
        return Paint::Joint;
    if (InMarker(x, y, 700, 420))
        return Paint::Head;
    return Paint::Background;
}
