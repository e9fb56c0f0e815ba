#pragma once
// CWorkerTeam: a fixed team of threads, the caller's own among them, that
// runs numbered tasks in rounds. Task i of a round always runs on member
// i mod Size(), and Run returns once every task of the round is done, so
// what a round computes depends on the task numbers alone: never on how
// many members share the work, nor on their timing.
//
// Rounds are short (a learning step is a few microseconds), so the members
// wait for the next round by spinning on an atomic counter for a while, and
// only then sleep on it until it changes: a team larger than the machine's
// cores, or a machine busy with other work, still gets every member run. A
// team of one runs everything on the caller and starts no thread. Nothing
// allocates per round.
//
// Where the build has no threads (WebAssembly without shared memory, as in
// a page's worker or under node here), every team is a team of one.

#include <atomic>
#include <thread>
#include <vector>

class CWorkerTeam
{
public:
    // The caller and threads - 1 more, at least one and at most MaxThreads().
    explicit CWorkerTeam(int threads);
    ~CWorkerTeam();

    CWorkerTeam(const CWorkerTeam&) = delete;
    CWorkerTeam& operator=(const CWorkerTeam&) = delete;

    int Size() const { return Members; }

    // Runs task(i) for every i in [0, count) and returns when all are done.
    template <typename Task>
    void Run(int count, Task& task)
    {
        RunErased(count, &task, [](void* t, int i) { (*static_cast<Task*>(t))(i); });
    }

    // The cores of this machine: the default team size.
    static int MachineThreads();
    // The largest team this build can make.
    static int MaxThreads();

private:
    using Trampoline = void (*)(void*, int);
    void RunErased(int count, void* task, Trampoline call);
    void Serve(int member);
    void RunShare(int member) const;

    int Members;
    std::vector<std::thread> Threads;
    // Bumped by the caller to start a round; members run their share of the
    // round's task and count themselves done.
    std::atomic<unsigned> Round{0};
    std::atomic<int> Done{0};
    std::atomic<bool> Stopping{false};
    void* Task = nullptr;
    Trampoline Call = nullptr;
    int Count = 0;
};
