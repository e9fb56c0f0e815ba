#pragma once
// CWebSwimmer: the demonstration's swimmer as a page shows it. It holds the
// control loop, its picture drawn into a software canvas the size of the
// page's view, and that canvas expanded into RGBA pixels that the page
// copies onto its own canvas, only the box that changed. The page hands in
// the wall clock of each animation frame; the pacer turns it into ticks.
//
// One drawing per frame, after that frame's ticks, is the same picture the
// window draws after the last of them: each drawing erases the box of the
// drawing before it, however many ticks lie between.

#include <cstdint>
#include <vector>

#include "PixelCanvas.h"
#include "SwimmerControlLoop.h"
#include "SwimmerPicture.h"
#include "TickPacer.h"

struct SwimmerNetwork;

class CWebSwimmer
{
public:
    // The swimmer at the demonstration's scale, at its start on a view of
    // the given size, drawn on a white view.
    CWebSwimmer(const SwimmerNetwork& swimmer, ClientSize client);

    // An animation frame at nowMs of wall clock: runs the ticks the pacer
    // gives and draws if there were any. Returns the ticks run.
    int Frame(double nowMs);
    // A left press or a tap at view pixel (x, y), y downwards.
    void PressAt(unsigned x, unsigned y);
    // The view took a new size: the swimmer stays where it is (the next
    // tick wraps it if it is now outside) and the whole view is redrawn.
    void Resize(ClientSize client);

    // Both without pacing, for measurements: ticks, and a drawing.
    void RunTicks(int ticks);
    void Draw();

    ClientSize GetClient() const { return Client; }
    // RGBA, 4 bytes a pixel, rows from the top, no padding.
    const std::uint8_t* GetPixels() const;
    // The pixels the last drawing changed, edges included; empty (Left >
    // Right) when nothing was drawn since it was read.
    const PixelBox& GetChanged() const { return Changed; }
    void ClearChanged();

    const CSwimmerControlLoop& GetLoop() const { return Loop; }
    const CTickPacer& GetPacer() const { return Pacer; }
    double GetTicks() const { return Ticks; }
    double GetSimulatedTime() const { return Ticks * CSwimmerControlLoop::TickPeriod; }
    // The speed of the centre of mass, length units per second.
    double GetSpeed() const;

private:
    void ExpandChanged();

    CSwimmerControlLoop Loop;
    CSwimmerPicture Picture;
    ClientSize Client;
    CPixelCanvas Canvas;
    std::vector<std::uint32_t> Rgba;  // one pixel a word, bytes R, G, B, A in memory order
    PixelBox Changed = {0, 0, -1, -1};
    CTickPacer Pacer;
    double Ticks = 0.0;
};
