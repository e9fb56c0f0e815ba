// A run shared among ranks, each rank a thread of this process with a
// group that passes the words through memory as MPI passes them between
// processes: the same bits as one process, whatever the ranks.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "TrainingRun.h"

namespace {

// A barrier on a condition variable: std::barrier waits on an atomic, whose
// wait in the MinGW runtime can miss its wake-up under Wine.
class CBarrier
{
public:
    explicit CBarrier(int count) : Count(count) {}
    void arrive_and_wait()
    {
        std::unique_lock<std::mutex> hold(Lock);
        const unsigned generation = Generation;
        if (++Arrived == Count) {
            Arrived = 0;
            ++Generation;
            AllArrived.notify_all();
        } else {
            AllArrived.wait(hold, [&] { return Generation != generation; });
        }
    }

private:
    std::mutex Lock;
    std::condition_variable AllArrived;
    int Count;
    int Arrived = 0;
    unsigned Generation = 0;
};

// The meeting place of the ranks: collectives meet at a barrier, each rank
// reading what the others put out; sends wait in a mailbox per pair.
struct Hub
{
    explicit Hub(int size) : Size(size), Meet(size), Out(static_cast<std::size_t>(size)) {}
    int Size;
    CBarrier Meet;
    std::vector<const void*> Out;
    std::mutex Lock;
    std::condition_variable Arrived;
    std::map<std::pair<int, int>, std::deque<std::vector<double>>> Mail;
};

class CThreadRank : public CRankGroup
{
public:
    CThreadRank(Hub& hub, int rank) : Shared(hub), Own(rank) {}
    int Rank() const override { return Own; }
    int Size() const override { return Shared.Size; }

    void ShareBlocks(double* words, const int* counts) override
    {
        Shared.Out[static_cast<std::size_t>(Own)] = words;
        Shared.Meet.arrive_and_wait();
        int start = 0;
        for (int r = 0; r < Size(); ++r) {
            if (r != Own)
                std::copy_n(static_cast<const double*>(Shared.Out[static_cast<std::size_t>(r)]) + start,
                            counts[r], words + start);
            start += counts[r];
        }
        Shared.Meet.arrive_and_wait();
    }

    void Send(int to, const double* words, int count) override
    {
        std::lock_guard<std::mutex> hold(Shared.Lock);
        Shared.Mail[{Own, to}].emplace_back(words, words + count);
        Shared.Arrived.notify_all();
    }

    void Receive(int from, double* words, int count) override
    {
        std::unique_lock<std::mutex> hold(Shared.Lock);
        auto& box = Shared.Mail[{from, Own}];
        Shared.Arrived.wait(hold, [&] { return !box.empty(); });
        ASSERT_EQ(box.front().size(), static_cast<std::size_t>(count));
        std::copy(box.front().begin(), box.front().end(), words);
        box.pop_front();
    }

    bool AnyRank(bool yes) override
    {
        const bool said = yes;
        Shared.Out[static_cast<std::size_t>(Own)] = &said;
        Shared.Meet.arrive_and_wait();
        bool any = false;
        for (const void* other : Shared.Out)
            any = any || *static_cast<const bool*>(other);
        Shared.Meet.arrive_and_wait();
        return any;
    }

    void Broadcast(std::string& bytes) override
    {
        Shared.Out[static_cast<std::size_t>(Own)] = &bytes;
        Shared.Meet.arrive_and_wait();
        if (Own != 0)
            bytes = *static_cast<const std::string*>(Shared.Out[0]);
        Shared.Meet.arrive_and_wait();
    }

private:
    Hub& Shared;
    int Own;
};

// body(rank group) on size threads at once. A build without threads (the
// WebAssembly one) cannot run ranks as threads, and skips these tests.
#define SKIP_WITHOUT_THREADS()                                   \
    if (CWorkerTeam::MaxThreads() < 2)                           \
    GTEST_SKIP() << "this build has no threads to run ranks on"

void OnRanks(int size, const std::function<void(CRankGroup&)>& body)
{
    Hub hub(size);
    std::vector<std::thread> ranks;
    for (int r = 0; r < size; ++r)
        ranks.emplace_back([&hub, &body, r] {
            CThreadRank group(hub, r);
            body(group);
        });
    for (std::thread& rank : ranks)
        rank.join();
}

// Two checks of two learners, the first only scoring, the second due to
// move lineages, random torques drawn between the greedy ones; the checks'
// scoring is most of the time.
TrainingPlan ShortPlan()
{
    TrainingPlan plan = DefaultPlan(2, 2000, 1000);
    plan.TakeOverEvery = 2000;
    plan.RandomTorques = 0.1;
    return plan;
}

// What a run found: its checks' scores, its best, its state after its first
// check and at the end.
struct Outcome
{
    std::vector<double> Speeds;
    std::vector<LearnerRates> Rates;
    std::vector<double> Best;
    std::vector<double> FirstState;
    std::vector<double> State;
};

// The run of the plan from where words leave it (or the start), on the
// group, to its end.
Outcome Learn(const TrainingPlan& plan, CRankGroup& group, const std::vector<double>& words = {})
{
    CWorkerTeam team(1);
    CTrainingRun run(plan, 4, team, group);
    if (!words.empty()) {
        EXPECT_TRUE(run.LoadState(words));
    }
    Outcome outcome;
    while (!run.IsDone())
        if (run.Advance(plan.Steps)) {
            for (const GreedyScore& score : run.GetLastCheck().Scores)
                outcome.Speeds.push_back(score.Speed);
            outcome.Rates = run.GetLastCheck().Rates;
            if (outcome.FirstState.empty())
                outcome.FirstState = run.SaveState();
        }
    const CFFNetwork& best = run.GetBest();
    const int n = best.GetNeuronCount();
    outcome.Best.assign(best.GetWeights(), best.GetWeights() + n * n);
    outcome.State = run.SaveState();
    return outcome;
}

// Two learners on three ranks, rank 0 owning none: every rank sees the
// same checks and keeps the same best, and rank 0 gathers the same state as
// one process has. The state of the first check, resumed on two ranks,
// ends as the run never stopped, and so it does with a learner's rates
// changed in it as an explore step changes them; words of another plan,
// cut short, with a count that is no whole number or a τ of 0 are refused
// on every rank.
TEST(TrainingRanksTest, AnyRanksLearnAndResumeWhatOneProcessLearns)
{
    SKIP_WITHOUT_THREADS();
    const TrainingPlan plan = ShortPlan();
    CSingleProcess alone;
    const Outcome one = Learn(plan, alone);
    ASSERT_EQ(one.Speeds.size(), 4u);
    const LearnerRates planned = {plan.Learning.LearningRate, plan.Learning.Discount};
    EXPECT_EQ(one.Rates, std::vector<LearnerRates>(2, planned));

    std::vector<Outcome> three(3);
    OnRanks(3, [&](CRankGroup& group) {
        three[static_cast<std::size_t>(group.Rank())] = Learn(plan, group);
    });
    for (const Outcome& outcome : three) {
        EXPECT_EQ(outcome.Speeds, one.Speeds);
        EXPECT_EQ(outcome.Rates, one.Rates);
        EXPECT_EQ(outcome.Best, one.Best);
    }
    EXPECT_EQ(three[0].State, one.State);
    EXPECT_TRUE(three[1].State.empty());

    std::vector<Outcome> resumed(2);
    OnRanks(2, [&](CRankGroup& group) {
        resumed[static_cast<std::size_t>(group.Rank())] = Learn(plan, group, one.FirstState);
    });
    EXPECT_EQ(resumed[0].Best, one.Best);
    EXPECT_EQ(resumed[0].State, one.State);

    // Rates an explore step gave travel with the state and the checks: the
    // second learner's changed in the words, two ranks go on as one does.
    CFFNetwork layout;
    CSwimmerTrainer::LayOut(plan, layout);
    const std::size_t runWords = CTrainingRun::PlanWords + 9 + static_cast<std::size_t>(layout.GetNeuronCount()) * layout.GetNeuronCount();
    std::vector<double> explored = one.FirstState;
    const std::size_t second = runWords + (explored.size() - runWords) / 2;
    const LearnerRates own = {planned.LearningRate * 1.25, planned.Discount / 1.25};
    explored[second + 4] = own.LearningRate;
    explored[second + 5] = own.Discount;
    const Outcome exploring = Learn(plan, alone, explored);
    EXPECT_EQ(exploring.Rates, (std::vector<LearnerRates>{planned, own}));
    EXPECT_NE(exploring.Speeds, std::vector<double>(one.Speeds.begin() + 2, one.Speeds.end()));
    OnRanks(2, [&](CRankGroup& group) {
        resumed[static_cast<std::size_t>(group.Rank())] = Learn(plan, group, explored);
    });
    EXPECT_EQ(resumed[0].Speeds, exploring.Speeds);
    EXPECT_EQ(resumed[1].Rates, exploring.Rates);
    EXPECT_EQ(resumed[0].State, exploring.State);

    TrainingPlan other = plan;
    other.HiddenNeurons += 1;
    std::vector<double> cut = one.FirstState;
    cut.pop_back();
    std::vector<double> badWord = one.FirstState;
    badWord[CTrainingRun::PlanWords] = 0.5;  // rounds
    // The same layout and budget, but the rate falls otherwise: options a
    // later default plan gives other constants.
    TrainingPlan later = plan;
    later.FinalRate = 0.5;
    std::vector<double> badRate = explored;
    badRate[second + 5] = 0.0;  // τ
    OnRanks(2, [&](CRankGroup& group) {
        CWorkerTeam team(1);
        CTrainingRun otherRun(other, 4, team, group);
        EXPECT_FALSE(otherRun.LoadState(one.FirstState));
        CTrainingRun laterRun(later, 4, team, group);
        EXPECT_FALSE(laterRun.LoadState(one.FirstState));
        CTrainingRun run(plan, 4, team, group);
        EXPECT_FALSE(run.LoadState(cut));
        EXPECT_FALSE(run.LoadState(badWord));
        EXPECT_FALSE(run.LoadState(badRate));
    });
}

// A take-over moves the source's lineage to the taker's rank, whichever
// ranks they are on, and leaves the others alone.
TEST(TrainingRanksTest, TakeOversMoveLineagesBetweenRanks)
{
    SKIP_WITHOUT_THREADS();
    TrainingPlan plan = ShortPlan();
    plan.Learners = 4;
    const std::vector<int> from = {-1, 2, -1, 0};  // rank 1 to rank 0, and rank 0 to rank 1
    OnRanks(2, [&](CRankGroup& group) {
        CWorkerTeam team(1);
        const int first = CRankGroup::FirstOf(plan.Learners, group.Rank(), 2);
        const int end = CRankGroup::FirstOf(plan.Learners, group.Rank() + 1, 2);
        CSwimmerTrainer trainer(plan, 9, team, first, end);
        trainer.Run(20);
        // Every lineage before, to every rank.
        const int size = trainer.LineageWords();
        std::vector<double> before(static_cast<std::size_t>(size * plan.Learners));
        const std::vector<int> counts = group.BlockCounts(plan.Learners, size);
        for (int p = first; p < end; ++p)
            trainer.ExportLineage(p, &before[static_cast<std::size_t>(p * size)]);
        group.ShareBlocks(before.data(), counts.data());

        MoveLineages(trainer, group, from);
        std::vector<double> after(static_cast<std::size_t>(size));
        for (int p = first; p < end; ++p) {
            trainer.ExportLineage(p, after.data());
            const int source = from[static_cast<std::size_t>(p)] >= 0 ? from[static_cast<std::size_t>(p)] : p;
            EXPECT_TRUE(std::equal(after.begin(), after.end(),
                                   before.begin() + source * size))
                << "learner " << p;
        }
    });
}

}  // namespace
