#pragma once
// Counts calls of the global operator new in this process, so that a test
// can prove that a piece of per-step code allocates nothing:
//
//     AllocationCounter counter;
//     Step();
//     EXPECT_EQ(counter.Count(), 0);

#include <atomic>

extern std::atomic<long> GlobalAllocationCount;

class AllocationCounter
{
public:
    AllocationCounter() : Start(GlobalAllocationCount.load()) {}
    long Count() const { return GlobalAllocationCount.load() - Start; }

private:
    long Start;
};
