#pragma once
// A test that has to watch the program end (a fatal check, say) runs the
// ending call in a child process: the test executable starts itself again
// with --child=<name>, the child runs only the body registered under that
// name, and the parent reads the child's standard output and exit status.
// GoogleTest's death tests cannot do this job: they read standard error only.
//
// Under node (the WebAssembly build) a process cannot start another: there
// RunChild marks the running test as skipped, saying so, and returns a
// result with Ran false, which IsFatalReport lets pass; the rest of the
// test still runs, and a failure there still fails it.

#include <string>

struct ChildResult
{
    int ExitStatus;      // the child's exit status; 99 if the body returned
    std::string Output;  // the child's standard output, line ends as '\n'
    bool Ran = true;     // false where no child process can be started
};

ChildResult RunChild(const char* name);

struct ChildRegistration
{
    ChildRegistration(const char* name, void (*body)());
};

// Runs the child body named on the command line, if any. Returns true and
// the exit status when this process is such a child.
bool RunChildIfAsked(int argc, char** argv, int* status);

#define CHILD_BODY(name)                                                  \
    static void ChildBody_##name();                                       \
    static const ChildRegistration ChildRegistration_##name(#name,        \
                                                            ChildBody_##name); \
    static void ChildBody_##name()
