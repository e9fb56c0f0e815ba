#pragma once
// FATAL_CHECK(condition): the program cannot go on when condition holds.
// It then writes three lines to standard output,
//     Fatal error: <the condition's source text>
//     File: <source path>
//     Line: <line number>
// none flushed on its own, and ends through the normal exit path with status
// 1, which flushes the streams. No dialog is shown and nothing is thrown.

[[noreturn]] void FatalError(const char* condition, const char* file, int line);

#define FATAL_CHECK(condition)                          \
    do {                                                \
        if (condition)                                  \
            FatalError(#condition, __FILE__, __LINE__); \
    } while (false)
