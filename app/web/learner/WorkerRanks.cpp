#include "WorkerRanks.h"

#include <string>
#include <vector>

#include <emscripten/emscripten.h>

// The worker's side of the page's switchboard is Module.ranks, given to the
// module when the worker makes it (swimmer-learner-worker.js): share(own)
// resolves to every rank's words in rank order, send(to, words) posts at
// once, receive(from) resolves to the next words from that rank. A double
// is 8 bytes, so a pointer's index into HEAPF64 is the pointer / 8.
EM_ASYNC_JS(void, SwimmerShareBlocks, (double* words, int first, int own, int total), {
    const all = await Module.ranks.share(HEAPF64.slice(words / 8 + first, words / 8 + first + own));
    if (all.length !== total)
        throw new Error(`the ranks shared ${all.length} words where ${total} were due`);
    HEAPF64.set(all, words / 8);
});

EM_JS(void, SwimmerSendWords, (int to, const double* words, int count), {
    Module.ranks.send(to, HEAPF64.slice(words / 8, words / 8 + count));
});

EM_ASYNC_JS(void, SwimmerReceiveWords, (int from, double* words, int count), {
    const got = await Module.ranks.receive(from);
    if (got.length !== count)
        throw new Error(`rank ${from} sent ${got.length} words where ${count} were due`);
    HEAPF64.set(got, words / 8);
});

namespace {

class CWorkerRanks : public CRankGroup
{
public:
    CWorkerRanks(int rank, int size) : Own(rank), Count(size) {}

    int Rank() const override { return Own; }
    int Size() const override { return Count; }
    // The workers share the machine's cores, with the view's thread.
    int OnThisMachine() const override { return Count; }

    void ShareBlocks(double* words, const int* counts) override
    {
        int first = 0, total = 0;
        for (int r = 0; r < Count; ++r) {
            if (r < Own)
                first += counts[r];
            total += counts[r];
        }
        SwimmerShareBlocks(words, first, counts[Own], total);
    }

    void Send(int to, const double* words, int count) override { SwimmerSendWords(to, words, count); }
    void Receive(int from, double* words, int count) override { SwimmerReceiveWords(from, words, count); }

    bool AnyRank(bool yes) override
    {
        std::vector<double> votes(static_cast<std::size_t>(Count));
        votes[static_cast<std::size_t>(Own)] = yes ? 1.0 : 0.0;
        const std::vector<int> ones(static_cast<std::size_t>(Count), 1);
        ShareBlocks(votes.data(), ones.data());
        for (double vote : votes)
            if (vote != 0.0)
                return true;
        return false;
    }

    // Rank 0's size, then its bytes, a byte a word.
    void Broadcast(std::string& bytes) override
    {
        std::vector<int> counts(static_cast<std::size_t>(Count));
        counts[0] = 1;
        double size = static_cast<double>(bytes.size());
        ShareBlocks(&size, counts.data());
        std::vector<double> words(bytes.begin(), bytes.end());
        words.resize(static_cast<std::size_t>(size));
        counts[0] = static_cast<int>(size);
        ShareBlocks(words.data(), counts.data());
        bytes.assign(words.begin(), words.end());
    }

private:
    int Own;
    int Count;
};

}  // namespace

std::unique_ptr<CRankGroup> JoinWorkers(int rank, int size)
{
    return std::make_unique<CWorkerRanks>(rank, size);
}
