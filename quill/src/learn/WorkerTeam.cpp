#include "WorkerTeam.h"

#include <chrono>

namespace {

// How long a member spins before it sleeps: the next round of learning
// comes within a few microseconds, waking a sleeping thread takes tens, and
// a member that spins longer only keeps a busy machine from the work.
const std::chrono::microseconds SpinTime(100);
// Spins between looks at the clock, which costs more than a look at the
// counter.
const int SpinsPerLook = 64;

// Tells the core that this is a spin-wait, so it yields to a sibling
// hyperthread and spends less power.
inline void Pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

// Waits, with acquire ordering, until counter differs from seen.
template <typename Counter>
void WaitWhileEqual(const std::atomic<Counter>& counter, Counter seen)
{
    const auto until = std::chrono::steady_clock::now() + SpinTime;
    do {
        for (int spins = 0; spins < SpinsPerLook; ++spins) {
            if (counter.load(std::memory_order_acquire) != seen)
                return;
            Pause();
        }
    } while (std::chrono::steady_clock::now() < until);
    while (counter.load(std::memory_order_acquire) == seen)
        counter.wait(seen, std::memory_order_acquire);
}

}  // namespace

CWorkerTeam::CWorkerTeam(int threads)
    : Members(threads < 1 ? 1 : threads > MaxThreads() ? MaxThreads() : threads)
{
    Threads.reserve(static_cast<std::size_t>(Members - 1));
    for (int member = 1; member < Members; ++member)
        Threads.emplace_back(&CWorkerTeam::Serve, this, member);
}

CWorkerTeam::~CWorkerTeam()
{
    Stopping.store(true, std::memory_order_relaxed);
    Round.fetch_add(1, std::memory_order_release);
    Round.notify_all();
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

// The task is published before the round is bumped (release), and a member
// reads it after seeing the bump (acquire); its results are published by
// its count of Done (release), which the caller reads (acquire).
void CWorkerTeam::RunErased(int count, void* task, Trampoline call)
{
    Task = task;
    Call = call;
    Count = count;
    if (Members == 1) {
        RunShare(0);
        return;
    }
    Done.store(0, std::memory_order_relaxed);
    Round.fetch_add(1, std::memory_order_release);
    Round.notify_all();
    RunShare(0);
    for (int done = Done.load(std::memory_order_acquire); done != Members - 1;
         done = Done.load(std::memory_order_acquire))
        WaitWhileEqual(Done, done);
}

void CWorkerTeam::Serve(int member)
{
    unsigned seen = 0;
    for (;;) {
        WaitWhileEqual(Round, seen);
        ++seen;
        if (Stopping.load(std::memory_order_relaxed))
            return;
        RunShare(member);
        Done.fetch_add(1, std::memory_order_release);
        Done.notify_one();
    }
}
