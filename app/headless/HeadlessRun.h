#pragma once
// The control loop run without a window, on a view of fixed size, with its
// trajectory written as CSV.

#include <functional>
#include <ostream>
#include <string>

#include "HeadlessOptions.h"
#include "SwimmerControlLoop.h"

struct HeadlessSummary
{
    double Distance = 0.0;          // centre of mass, start to end
    double QuarterDuration = 0.0;   // seconds in the last quarter of the run
    double QuarterSpeed = 0.0;      // net displacement over the last quarter per second
    double QuarterHeading = 0.0;    // direction of that displacement, radians
    double Target = 0.0;            // target direction at the end
    std::string RecordingError;     // empty unless a picture could not be written
};

class CHeadlessRecorder;

// The CSV's first line: a θ and an ω column per segment, a torque column per
// joint.
std::string HeadlessCsvHeader(int segments);

// Starts the swimmer on the options' view and runs options.Ticks ticks,
// writing rows to csv and pictures to recorder (each if not null) and
// calling progress(ticksDone) now and then. Returns what --summary reports;
// a picture that cannot be written ends the run.
HeadlessSummary RunHeadless(const HeadlessOptions& options, CSwimmerControlLoop& swimmer,
                            std::ostream* csv, CHeadlessRecorder* recorder = nullptr,
                            const std::function<void(long long)>& progress = nullptr);
