#pragma once
// CSwimmerPicture: how the swimmer is drawn, in pixels, without a platform.
//
// The swimmer is a chain of 1-pixel black lines, one segment long each, with
// a red 5 x 5 square on the head (joint 0) and a black one on every other
// joint, on a white background. There is no off-screen buffer: each picture
// first erases exactly the box the previous one covered (the markers' box;
// the lines lie inside it) and remembers the box of what it draws now.
//
// A view point (x, y), in length units from the bottom-left corner with y
// up, lands on the pixel (x·Scale, (ViewHeight - y)·Scale), each truncated
// towards zero, in client pixels from the top-left corner with y down.

#include <cstdint>

#include "SwimmerControlLoop.h"

// Pixels from Left to Right - 1 and Top to Bottom - 1: the right and bottom
// edges are excluded, as a fill takes them.
struct PixelRect
{
    int Left, Top, Right, Bottom;
};

// Pixels from Left to Right and Top to Bottom, every edge included: the box
// of what a picture covered.
struct PixelBox
{
    int Left, Top, Right, Bottom;
};

enum class Paint
{
    Background,  // white
    Joint,       // black
    Head,        // red
};

// The colour of each paint, (red, green, blue), by Paint.
constexpr std::uint8_t PaintColours[3][3] = {{255, 255, 255}, {0, 0, 0}, {255, 0, 0}};

// What drawing needs of a device.
class CCanvas
{
public:
    virtual void Fill(const PixelRect& rect, Paint paint) = 0;
    // A 1-pixel black line from the current position to (x, y), which
    // becomes the current position.
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;

protected:
    ~CCanvas() = default;
};

class CSwimmerPicture
{
public:
    // Erases the previous picture, then draws the loop's swimmer on a client
    // area of the given size.
    void Draw(CCanvas& canvas, const CSwimmerControlLoop& loop, ClientSize client);
    // An inverted box, which the first marker inside the client area resets.
    void ResetDirty(ClientSize client);
    // The whole client area (plus one pixel right and below, erased alike).
    void DirtyWholeClient(ClientSize client);

    const PixelBox& GetDirty() const { return rcDirty; }

private:
    // A 5 x 5 square centred on the pixel (px, py), recorded in the dirty box.
    void DrawMarker(CCanvas& canvas, int px, int py, Paint paint);
    void ExtendDirty(int px, int py);

    PixelBox rcDirty = {0, 0, 0, 0};
};
