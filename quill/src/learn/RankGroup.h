#pragma once
// CRankGroup: the processes a learning run is shared among, its ranks.
// Every rank runs the same program on the same options; the learners are
// shared out over the ranks in contiguous blocks, and the ranks meet only
// at the checks, where every operation here is collective: each rank calls
// it in the same order with the same sizes.
//
// Everything that crosses between ranks is a block of doubles: weights,
// scores, and whole numbers below 2^53 (steps, generator words), which a
// double holds exactly. A run of one process is CSingleProcess; a build
// with MPI supplies a group over its ranks.

#include <string>
#include <vector>

// Whether a word holds a whole number from 0 to most, most at 2^53 or
// below: what a count or a generator word read back must be.
inline bool IsWholeWord(double word, double most = 9007199254740992.0)
{
    return word >= 0 && word <= most && word == static_cast<double>(static_cast<long long>(word));
}

class CRankGroup
{
public:
    virtual ~CRankGroup() = default;

    virtual int Rank() const = 0;
    virtual int Size() const = 0;
    // The ranks on this machine, this one among them: they share its cores.
    virtual int OnThisMachine() const { return 1; }

    // words holds one block per rank, rank r's counts[r] words after the
    // blocks of the ranks before it; each rank fills its own, and on return
    // every rank holds them all.
    virtual void ShareBlocks(double* words, const int* counts) = 0;
    // One rank's words to another, which receives exactly count of them.
    // Every rank makes its sends and receives in one agreed order, so a
    // blocking pair always finds its partner.
    virtual void Send(int to, const double* words, int count) = 0;
    virtual void Receive(int from, double* words, int count) = 0;
    // Whether any rank says yes.
    virtual bool AnyRank(bool yes) = 0;
    // Rank 0's bytes to every rank.
    virtual void Broadcast(std::string& bytes) = 0;

    // The first of the count items (learners, runs) that rank owns, and the
    // end of its block: count·rank/size to count·(rank + 1)/size, so that
    // blocks differ by one item at most and some ranks may own none.
    static int FirstOf(int count, int rank, int size);
    int OwnerOf(int item, int count) const;
    // The words of each rank's block when count items of words words each
    // are shared out so: the counts ShareBlocks takes.
    std::vector<int> BlockCounts(int count, int words) const;
};

class CSingleProcess : public CRankGroup
{
public:
    int Rank() const override { return 0; }
    int Size() const override { return 1; }
    void ShareBlocks(double*, const int*) override {}
    void Send(int, const double*, int) override;
    void Receive(int, double*, int) override;
    bool AnyRank(bool yes) override { return yes; }
    void Broadcast(std::string&) override {}
};
