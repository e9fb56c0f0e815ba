// The trained network swims: under greedy control the swimmer's centre of
// mass travels steadily in the target direction, and turns to a new one
// after a click.
//
// Measured with the embedded network (swimmer-headless --summary): from the
// start, and after a click in any of eight directions, the centre of mass
// covers 14 to 18.5 units in 20 s, 0.79 to 0.88 units/s once settled, with
// the heading within 1.6 degrees of the target. The thresholds below leave
// a wide margin for another platform's last bits.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "EmbeddedNetwork.h"
#include "Angles.h"
#include "Demonstration.h"
#include "HeadlessRun.h"

namespace {

const double Pi = std::numbers::pi;
const double HeadingTolerance = 10.0 / DegreesPerRadian;
const double SteadyProgress = 2.0;   // units per 5 s towards the target (measured about 4)
const double MinimumDistance = 8.0;  // units in 20 s (measured at least 14)
const int TicksPerSecond = 100;

double AngleBetween(double a, double b)
{
    return std::fabs(std::remainder(a - b, 2 * Pi));
}

// The embedded swimmer from its start on the default view, and where its
// centre of mass was last.
struct Track
{
    Track() : Swimmer(MakeDemonstration<CSwimmerControlLoop>(EmbeddedSwimmer()))
    {
        Swimmer.Start(Client);
        Last = CentreOfMass(Swimmer);
    }
    // Runs for some seconds; returns the displacement of the centre of mass.
    void Run(double seconds, double& dx, double& dy)
    {
        for (int tick = 0; tick < seconds * TicksPerSecond; ++tick)
            Swimmer.Tick(Client);
        const Point now = CentreOfMass(Swimmer);
        dx = now.X - Last.X;
        dy = now.Y - Last.Y;
        Last = now;
    }
    ClientSize Client = {Demonstration::DefaultWidth, Demonstration::DefaultHeight};
    CSwimmerControlLoop Swimmer;
    Point Last;
};

TEST(SwimsTest, FromTheStartItSwimsSteadilyToTheRight)
{
    Track track;
    double dx, dy, totalX = 0, totalY = 0;
    track.Run(5.0, dx, dy);  // setting off
    totalX += dx;
    totalY += dy;
    for (int window = 1; window < 4; ++window) {
        track.Run(5.0, dx, dy);
        EXPECT_GT(dx, SteadyProgress) << "window " << window;
        EXPECT_LT(AngleBetween(std::atan2(dy, dx), 0.0), HeadingTolerance) << "window " << window;
        totalX += dx;
        totalY += dy;
    }
    EXPECT_GT(std::hypot(totalX, totalY), MinimumDistance);
}

TEST(SwimsTest, AClickTurnsItTowardsTheClickedDirection)
{
    // Up, left, down-right: by clicks relative to the head's pixel.
    const double directions[] = {Pi / 2, Pi, -Pi / 4};
    for (double direction : directions) {
        Track track;
        CSwimmerControlLoop& swimmer = track.Swimmer;
        double dx, dy;
        track.Run(10.0, dx, dy);
        const double headX = swimmer.GetHeadX() * 70, headY = (10 - swimmer.GetHeadY()) * 70;
        swimmer.PressAt(static_cast<unsigned>(headX + 140 * std::cos(direction)),
                        static_cast<unsigned>(headY - 140 * std::sin(direction)), track.Client);
        EXPECT_LT(AngleBetween(swimmer.GetTargetDirection(), direction), 0.02);
        track.Run(5.0, dx, dy);  // turning
        track.Run(10.0, dx, dy);
        EXPECT_GT(std::hypot(dx, dy), 2 * SteadyProgress) << direction;
        EXPECT_LT(AngleBetween(std::atan2(dy, dx), swimmer.GetTargetDirection()), HeadingTolerance)
            << direction;
    }
}

}  // namespace
