#pragma once
// CWorkerTeam: a fixed team of threads, the caller's own among them, that
// runs numbered tasks in rounds. Task i of a round always runs on member
// i mod Size(), and Run returns once every task of the round is done, so
// what a round computes depends on the task numbers alone: never on how
// many members share the work, nor on their timing.
//
// A round is long (a learner's share of a checkpoint interval, a score's
// runs), so members sleep between rounds on a condition variable: waking
// one costs tens of microseconds against seconds of work, and a team larger
// than the machine's cores costs nothing while it waits. A team of one runs
// everything on the caller and starts no thread. Nothing allocates per
// round.
//
// Where the build has no threads (WebAssembly without shared memory, as in
// a page's worker or under node here), every team is a team of one.

#include <condition_variable>
#include <mutex>
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
    // Guarded by Lock. The caller bumps Round to start one; members run
    // their share of the round's task and count themselves Done.
    std::mutex Lock;
    std::condition_variable RoundStarted;
    std::condition_variable MemberDone;
    unsigned Round = 0;
    int Done = 0;
    bool Stopping = false;
    void* Task = nullptr;
    Trampoline Call = nullptr;
    int Count = 0;
};
