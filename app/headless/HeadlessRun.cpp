#include "HeadlessRun.h"

#include "DecimalText.h"
#include "Elementary.h"
#include "HeadlessRecorder.h"
#include "ScriptedRun.h"

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
    SwimScript script;
    script.Ticks = options.Ticks;
    for (const HeadlessClick& click : options.Clicks)
        script.Clicks.push_back({click.Tick, swimmer.ViewPoint(click.X, click.Y, client)});
    // Pictures take longer than rows: report more often.
    const long long progressEvery = recorder ? 100 : 10000;
    HeadlessSummary summary;
    std::string line;
    if (csv)
        *csv << HeadlessCsvHeader(swimmer.GetSegments());
    // Row 0 and frame 0 show the start.
    auto afterTick = [&](long long tick) {
        if (csv && tick % options.Every == 0)
            WriteRow(*csv, line, tick, swimmer);
        if (recorder && tick == recorder->NextFrameTick() &&
            !recorder->Record(swimmer, summary.RecordingError))
            return false;
        if (progress && tick > 0 && tick % progressEvery == 0)
            progress(tick);
        return true;
    };
    const SwimMeasure measure = RunScript(swimmer, client, script, afterTick);
    if (!summary.RecordingError.empty())
        return summary;

    summary.Distance = Elementary::Hypot(measure.End.X - measure.Start.X, measure.End.Y - measure.Start.Y);
    summary.QuarterDuration = measure.QuarterSeconds;
    if (summary.QuarterDuration > 0) {
        summary.QuarterSpeed =
            Elementary::Hypot(measure.End.X - measure.Quarter.X, measure.End.Y - measure.Quarter.Y) /
            summary.QuarterDuration;
        summary.QuarterHeading =
            Elementary::Atan2(measure.End.Y - measure.Quarter.Y, measure.End.X - measure.Quarter.X);
    }
    summary.Target = swimmer.GetTargetDirection();
    return summary;
}
