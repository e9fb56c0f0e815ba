#pragma once
// The control loop run without a window, on a view of fixed size, with its
// trajectory written as CSV.

#include <functional>
#include <ostream>

#include "HeadlessOptions.h"
#include "control/SwimmerControlLoop.h"

// The swimmer of the program (3 segments, native direction 0.22 rad, 70
// pixels per unit) on a client area of fixed size.
class CHeadlessSwimmer : public CSwimmerControlLoop
{
public:
    static constexpr int Segments = 3;
    static constexpr double NativeDirection = 0.22;
    static constexpr double PixelsPerUnit = 70.0;

    CHeadlessSwimmer(const CFFNetwork& network, int widthPixels, int heightPixels);

    int ClientWidth() override { return Width; }
    int ClientHeight() override { return Height; }

    // Where the centre of mass is, unwrapped, in length units.
    void CentreOfMass(double& x, double& y) const;

private:
    int Width;
    int Height;
};

struct HeadlessSummary
{
    double Distance = 0.0;          // centre of mass, start to end
    double QuarterDuration = 0.0;   // seconds in the last quarter of the run
    double QuarterSpeed = 0.0;      // net displacement over the last quarter per second
    double QuarterHeading = 0.0;    // direction of that displacement, radians
    double Target = 0.0;            // target direction at the end
};

extern const char HeadlessCsvHeader[];

// Runs options.Ticks ticks, writing rows to csv (if not null) and calling
// progress(ticksDone) now and then. Returns what --summary reports.
HeadlessSummary RunHeadless(const HeadlessOptions& options, const CFFNetwork& network,
                            std::ostream* csv,
                            const std::function<void(long long)>& progress = nullptr);
