#include "RankGroup.h"

#include "FatalCheck.h"

int CRankGroup::FirstOf(int count, int rank, int size)
{
    return static_cast<int>(static_cast<long long>(count) * rank / size);
}

int CRankGroup::OwnerOf(int item, int count) const
{
    int rank = 0;
    while (FirstOf(count, rank + 1, Size()) <= item)
        ++rank;
    return rank;
}

std::vector<int> CRankGroup::BlockCounts(int count, int words) const
{
    std::vector<int> counts;
    for (int r = 0; r < Size(); ++r)
        counts.push_back(words * (FirstOf(count, r + 1, Size()) - FirstOf(count, r, Size())));
    return counts;
}

// A process alone owns everything, so nothing ever crosses.
void CSingleProcess::Send(int, const double*, int)
{
    FatalError("a single process has no other rank to send to", __FILE__, __LINE__);
}

void CSingleProcess::Receive(int, double*, int)
{
    FatalError("a single process has no other rank to receive from", __FILE__, __LINE__);
}
