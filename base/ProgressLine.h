#pragma once
// CProgressLine: how far a long run has come, on one line of a terminal,
// rewritten in place:
//     swimmer-train: step 1200000 of 30000000 (4%), about 131 s left; ...
// A line that is not shown (standard error is no terminal) costs nothing.

#include <chrono>
#include <ostream>
#include <string>

class CProgressLine
{
public:
    CProgressLine(std::ostream& out, const char* program, bool shown);

    bool IsShown() const { return Shown; }
    // "\rPROGRAM: UNIT DONE of TOTAL (P%)" followed by more.
    void Show(const char* unit, long long done, long long total, const std::string& more = "");
    // Seconds still to go at the pace so far; 0 before anything is done.
    double SecondsLeft(long long done, long long total) const;
    // Ends the line, if anything was shown, so that what follows starts on
    // a line of its own.
    void End();

private:
    std::ostream& Out;
    const char* Program;
    bool Shown;
    bool Written = false;
    std::chrono::steady_clock::time_point Started;
};
