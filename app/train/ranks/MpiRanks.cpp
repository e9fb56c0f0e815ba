// The ranks of an MPI job. A process that no MPI launcher started runs
// alone without starting MPI at all: that costs half a second here and
// needs nothing of the machine, so swimmer-train without mpirun is the
// program it always was.

#include <mpi.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "JoinRanks.h"

namespace {

// What Open MPI's mpirun and the PMI and PMIx launchers (srun among them)
// give each process they start.
bool StartedByLauncher()
{
    for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_RANK"})
        if (std::getenv(name) != nullptr)
            return true;
    return false;
}

// A fault of the job itself: every rank ends, through mpirun.
void Abort(const char* why)
{
    std::fprintf(stderr, "swimmer-train: %s\n", why);
    MPI_Abort(MPI_COMM_WORLD, 1);
}

class CMpiRanks : public CRankGroup
{
public:
    CMpiRanks(int& argc, char**& argv)
    {
        MPI_Init(&argc, &argv);
        MPI_Comm_rank(MPI_COMM_WORLD, &Own);
        MPI_Comm_size(MPI_COMM_WORLD, &Count);
        // The ranks that share this machine's memory, and so its cores.
        MPI_Comm local;
        MPI_Comm_split_type(MPI_COMM_WORLD, MPI_COMM_TYPE_SHARED, Own, MPI_INFO_NULL, &local);
        MPI_Comm_size(local, &Local);
        MPI_Comm_free(&local);
    }
    ~CMpiRanks() override { MPI_Finalize(); }

    int Rank() const override { return Own; }
    int Size() const override { return Count; }
    int OnThisMachine() const override { return Local; }

    void ShareBlocks(double* words, const int* counts) override
    {
        std::vector<int> starts(static_cast<std::size_t>(Count));
        for (int r = 1; r < Count; ++r)
            starts[static_cast<std::size_t>(r)] = starts[static_cast<std::size_t>(r - 1)] + counts[r - 1];
        MPI_Allgatherv(MPI_IN_PLACE, 0, MPI_DATATYPE_NULL, words, counts, starts.data(), MPI_DOUBLE,
                       MPI_COMM_WORLD);
    }

    void Send(int to, const double* words, int count) override
    {
        MPI_Send(words, count, MPI_DOUBLE, to, 0, MPI_COMM_WORLD);
    }

    void Receive(int from, double* words, int count) override
    {
        MPI_Status status;
        MPI_Recv(words, count, MPI_DOUBLE, from, 0, MPI_COMM_WORLD, &status);
        int received = 0;
        MPI_Get_count(&status, MPI_DOUBLE, &received);
        if (received != count)
            Abort("a rank received other words than it waited for");
    }

    bool AnyRank(bool yes) override
    {
        int own = yes ? 1 : 0, any = 0;
        MPI_Allreduce(&own, &any, 1, MPI_INT, MPI_LOR, MPI_COMM_WORLD);
        return any != 0;
    }

    void Broadcast(std::string& bytes) override
    {
        unsigned long long size = bytes.size();
        MPI_Bcast(&size, 1, MPI_UNSIGNED_LONG_LONG, 0, MPI_COMM_WORLD);
        if (size > INT_MAX)
            Abort("more than 2 GiB to pass to every rank");
        bytes.resize(size);
        MPI_Bcast(bytes.data(), static_cast<int>(size), MPI_CHAR, 0, MPI_COMM_WORLD);
    }

private:
    int Own = 0;
    int Count = 1;
    int Local = 1;
};

}  // namespace

std::unique_ptr<CRankGroup> JoinRanks(int& argc, char**& argv)
{
    if (!StartedByLauncher())
        return std::make_unique<CSingleProcess>();
    return std::make_unique<CMpiRanks>(argc, argv);
}

