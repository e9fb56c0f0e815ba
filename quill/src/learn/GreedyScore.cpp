#include "GreedyScore.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "FFNetworkVF.h"
#include "Swimmer.h"
#include "SwimmerControlLoop.h"

namespace {

const int Starts = 8;
const double RunTime = 30.0;  // seconds
const double Upright = 1.5707963265;

}  // namespace

GreedyScore ScoreGreedySwimmer(const CFFNetwork& network, int segments)
{
    const double pi = std::numbers::pi;
    const double h = CSwimmerControlLoop::SubStepPeriod;
    CSwimmer swimmer(segments);
    CFFNetworkVF value(swimmer);
    value.SetNetwork(network);
    const int d = swimmer.GetStateDimension();
    CVector x(d), u(segments - 1), dx(d), turned(d);
    const long long steps = std::llround(RunTime / h);
    const long long quarter = steps - steps / 4, half = steps / 2;
    const double measured = static_cast<double>(steps - quarter) * h;
    const int runs = 2 * Starts;
    std::vector<double> vx(runs), vy(runs);
    double sumX = 0, sumY = 0;
    for (int run = 0; run < runs; ++run) {
        x.Zero();
        for (int i = 1; i <= segments; ++i)
            x[2 * i] = Upright + 2 * pi * (run % Starts) / Starts;
        // The centre of mass moves with the velocity in entries 0 and 1.
        double px = 0, py = 0, qx = 0, qy = 0;
        for (long long k = 0; k < steps; ++k) {
            if (k == quarter) {
                qx = px;
                qy = py;
            }
            if (run >= Starts && k == half) {
                swimmer.RotateState(x, (run % 2 ? 1 : -1) * 2 * pi / 3, turned);
                for (int i = 0; i < d; ++i)
                    x[i] = turned[i];
                for (int i = 1; i <= segments; ++i)
                    x[2 * i] = std::remainder(x[2 * i], 2 * pi);
            }
            value.SetInput(x);
            value.Evaluate();
            swimmer.ChooseGreedyAction(x, value, u);
            swimmer.GetDerivative(x, u, dx);
            px += x[0] * h;
            py += x[1] * h;
            swimmer.EulerStep(x, dx, h);
        }
        vx[run] = (px - qx) / measured;
        vy[run] = (py - qy) / measured;
        sumX += vx[run];
        sumY += vy[run];
    }
    GreedyScore score;
    score.NativeDirection = std::atan2(sumY, sumX);
    const double c = std::cos(score.NativeDirection), s = std::sin(score.NativeDirection);
    double slowest = std::numeric_limits<double>::infinity();
    for (int run = 0; run < runs; ++run) {
        const double along = vx[run] * c + vy[run] * s;
        score.Speed += along / runs;
        slowest = std::min(slowest, along);
        const double off = std::fabs(std::remainder(std::atan2(vy[run], vx[run]) -
                                                        score.NativeDirection, 2 * pi));
        if (!(off <= score.Spread))
            score.Spread = off;  // NaN too
    }
    score.Slowest = slowest;
    score.Score = std::isfinite(score.Speed) && score.Spread <= MaxSpread ? slowest : 0.0;
    return score;
}
