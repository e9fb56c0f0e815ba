#include "ProgressLine.h"

CProgressLine::CProgressLine(std::ostream& out, const char* program, bool shown)
    : Out(out), Program(program), Shown(shown), Started(std::chrono::steady_clock::now())
{
}

void CProgressLine::Show(const char* unit, long long done, long long total, const std::string& more)
{
    if (!Shown)
        return;
    Out << '\r' << Program << ": " << unit << ' ' << done << " of " << total << " ("
        << (total > 0 ? 100 * done / total : 100) << "%)" << more << std::flush;
    Written = true;
}

double CProgressLine::SecondsLeft(long long done, long long total) const
{
    if (done <= 0)
        return 0.0;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - Started;
    return elapsed.count() / static_cast<double>(done) * static_cast<double>(total - done);
}

void CProgressLine::End()
{
    if (Written)
        Out << '\n';
    Written = false;
}
