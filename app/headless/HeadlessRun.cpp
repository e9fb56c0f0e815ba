#include "HeadlessRun.h"

#include <algorithm>

#include "DecimalText.h"
#include "Elementary.h"
#include "HeadlessRecorder.h"

std::string HeadlessCsvHeader(int segments)
{
    std::string header = "tick,t,head_x,head_y,vx,vy";
    for (int i = 1; i <= segments; ++i)
        header += ",theta" + std::to_string(i) + ",omega" + std::to_string(i);
    for (int j = 1; j < segments; ++j)
        header += ",u" + std::to_string(j);
    return header + ",target\n";
}

namespace {

void WriteRow(std::ostream& csv, std::string& line, long long tick, const CSwimmerControlLoop& swimmer)
{
    line.assign(std::to_string(tick));
    const auto column = [&line](double value) {
        line.push_back(',');
        AppendDecimal17(line, value);
    };
    column(static_cast<double>(tick) * CSwimmerControlLoop::TickPeriod);
    column(swimmer.GetHeadX());
    column(swimmer.GetHeadY());
    const CVector& state = swimmer.GetState();
    for (int i = 0; i < state.Size(); ++i)
        column(state[i]);
    const CVector& torques = swimmer.GetTorques();
    for (int j = 0; j < torques.Size(); ++j)
        column(torques[j]);
    column(swimmer.GetTargetDirection());
    line.push_back('\n');
    csv << line;
}

}  // namespace

HeadlessSummary RunHeadless(const HeadlessOptions& options, CSwimmerControlLoop& swimmer,
                            std::ostream* csv, CHeadlessRecorder* recorder,
                            const std::function<void(long long)>& progress)
{
    const ClientSize client = {options.Width, options.Height};
    swimmer.Start(client);
    const long long quarterStart = options.Ticks - options.Ticks / 4;
    // Pictures take longer than rows: report more often.
    const long long progressEvery = recorder ? 100 : 10000;
    HeadlessSummary summary;
    const Point start = CentreOfMass(swimmer);
    Point quarter = start;

    std::string line;
    if (csv) {
        *csv << HeadlessCsvHeader(swimmer.GetSegments());
        WriteRow(*csv, line, 0, swimmer);
    }
    if (recorder && !recorder->Record(swimmer, summary.RecordingError))
        return summary;
    // Presses in tick order; those for one tick in the order given.
    std::vector<HeadlessClick> clicks = options.Clicks;
    std::stable_sort(clicks.begin(), clicks.end(),
                     [](const HeadlessClick& a, const HeadlessClick& b) { return a.Tick < b.Tick; });
    size_t nextClick = 0;
    for (long long tick = 1; tick <= options.Ticks; ++tick) {
        for (; nextClick < clicks.size() && clicks[nextClick].Tick == tick; ++nextClick)
            swimmer.PressAt(clicks[nextClick].X, clicks[nextClick].Y, client);
        swimmer.Tick(client);
        if (csv && tick % options.Every == 0)
            WriteRow(*csv, line, tick, swimmer);
        if (recorder && tick == recorder->NextFrameTick() &&
            !recorder->Record(swimmer, summary.RecordingError))
            return summary;
        if (tick == quarterStart)
            quarter = CentreOfMass(swimmer);
        if (progress && tick % progressEvery == 0)
            progress(tick);
    }

    const Point end = CentreOfMass(swimmer);
    summary.Distance = Elementary::Hypot(end.X - start.X, end.Y - start.Y);
    summary.QuarterDuration = static_cast<double>(options.Ticks - quarterStart) * CSwimmerControlLoop::TickPeriod;
    if (summary.QuarterDuration > 0) {
        summary.QuarterSpeed = Elementary::Hypot(end.X - quarter.X, end.Y - quarter.Y) / summary.QuarterDuration;
        summary.QuarterHeading = Elementary::Atan2(end.Y - quarter.Y, end.X - quarter.X);
    }
    summary.Target = swimmer.GetTargetDirection();
    return summary;
}
