#include "WorkerTeam.h"

CWorkerTeam::CWorkerTeam(int threads)
    : Members(threads < 1 ? 1 : threads > MaxThreads() ? MaxThreads() : threads)
{
    Threads.reserve(static_cast<std::size_t>(Members - 1));
    for (int member = 1; member < Members; ++member)
        Threads.emplace_back(&CWorkerTeam::Serve, this, member);
}

CWorkerTeam::~CWorkerTeam()
{
    {
        const std::lock_guard<std::mutex> hold(Lock);
        Stopping = true;
        ++Round;
    }
    RoundStarted.notify_all();
    for (std::thread& thread : Threads)
        thread.join();
}

int CWorkerTeam::MaxThreads()
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    return 1;
#else
    return 1024;
#endif
}

int CWorkerTeam::MachineThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores > static_cast<unsigned>(MaxThreads()) ? MaxThreads()
                                                                         : static_cast<int>(cores);
}

void CWorkerTeam::RunShare(int member) const
{
    for (int i = member; i < Count; i += Members)
        Call(Task, i);
}

// The task's fields are written before the round starts and read after
// it, under the lock; so are the results each member's count of Done
// publishes to the caller.
void CWorkerTeam::RunErased(int count, void* task, Trampoline call)
{
    if (Members == 1) {
        Task = task;
        Call = call;
        Count = count;
        RunShare(0);
        return;
    }
    {
        const std::lock_guard<std::mutex> hold(Lock);
        Task = task;
        Call = call;
        Count = count;
        Done = 0;
        ++Round;
    }
    RoundStarted.notify_all();
    RunShare(0);
    std::unique_lock<std::mutex> hold(Lock);
    MemberDone.wait(hold, [this] { return Done == Members - 1; });
}

void CWorkerTeam::Serve(int member)
{
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(Lock);
            RoundStarted.wait(hold, [&] { return Round != seen; });
            seen = Round;
            if (Stopping)
                return;
        }
        RunShare(member);
        {
            const std::lock_guard<std::mutex> hold(Lock);
            ++Done;
        }
        MemberDone.notify_one();
    }
}
