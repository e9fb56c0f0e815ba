// The learner's entry points: plain C functions that the page's workers
// (swimmer-learner-worker.js) call on their own modules, a second build of
// the trainer's sources for Web Workers. One learning run a module: the
// worker is ended with its run.
//
// The run is swimmer-train's own, CTrainingRun on a team of one (a worker
// has no threads), each worker a rank of it (WorkerRanks.h): the result
// depends on neither, so the same request gives the network swimmer-train
// writes with the same options, whatever the number of workers. Text goes
// back to the worker as in the page's module: an answer buffer, read by
// pointer and length until the next answer replaces it.

#include <memory>
#include <string>

#include <emscripten/emscripten.h>

#include "LearnRequest.h"
#include "NetworkFile.h"
#include "SwimmerTrainer.h"
#include "TrainingRun.h"
#include "WorkerRanks.h"
#include "WorkerTeam.h"

namespace {

CWorkerTeam Team(1);
std::unique_ptr<CRankGroup> Ranks;
std::unique_ptr<CTrainingRun> Run;
std::string Answer;

const TrainingPlan& Plan() { return Run->GetPlan(); }

}  // namespace

extern "C" {

// Starts rank rank of size's share of the run the numbers ask for (NaN:
// the plan's steps or checks); 1, or 0 with the message as the answer.
EMSCRIPTEN_KEEPALIVE int LearnerStart(double segments, double seed, double steps,
                                      double checkEvery, int rank, int size)
{
    LearnRequest request;
    if (!MakeLearnRequest(segments, seed, steps, checkEvery, request, Answer))
        return 0;
    const TrainingPlan plan = DefaultPlan(request.Segments, request.Steps, request.CheckEvery);
    if (size < 1 || size > plan.Learners || rank < 0 || rank >= size) {
        Answer = "rank " + std::to_string(rank) + " of " + std::to_string(size) +
                 " workers, for " + std::to_string(plan.Learners) + " learners";
        return 0;
    }
    Run.reset();
    Ranks = JoinWorkers(rank, size);
    Run = std::make_unique<CTrainingRun>(plan, request.Seed, Team, *Ranks);
    return 1;
}


EMSCRIPTEN_KEEPALIVE double LearnerBudget() { return static_cast<double>(Plan().Steps); }
EMSCRIPTEN_KEEPALIVE double LearnerCheckEvery() { return static_cast<double>(Plan().CheckEvery); }
EMSCRIPTEN_KEEPALIVE int LearnerLearners() { return Plan().Learners; }

// Learns on by about steps more, stopping early at the next check, which
// it then makes: 1 if it made one. A check meets the other workers, so a
// call that makes one may return before it is done (ccall's async mode
// then gives the answer).
EMSCRIPTEN_KEEPALIVE int LearnerAdvance(double steps)
{
    return Run->Advance(Run->GetSteps() + static_cast<long long>(steps)) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE double LearnerSteps() { return static_cast<double>(Run->GetSteps()); }
EMSCRIPTEN_KEEPALIVE int LearnerDone() { return Run->IsDone() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int LearnerDiverged() { return Run->HasDiverged() ? 1 : 0; }

// The last check: its step and each learner's speed; and the best check of
// all (its speed -infinity before there is one).
EMSCRIPTEN_KEEPALIVE double LearnerCheckSteps() { return static_cast<double>(Run->GetLastCheck().Steps); }
EMSCRIPTEN_KEEPALIVE double LearnerCheckSpeed(int learner)
{
    return Run->GetLastCheck().Scores.at(static_cast<std::size_t>(learner)).Speed;
}
EMSCRIPTEN_KEEPALIVE double LearnerBestSpeed() { return Run->GetBestScore().Speed; }
EMSCRIPTEN_KEEPALIVE double LearnerBestStep() { return static_cast<double>(Run->GetBestStep()); }
EMSCRIPTEN_KEEPALIVE int LearnerHasBest() { return Run->GetBestLearner() >= 0 ? 1 : 0; }

// The best network so far as swimmer-train writes it, with the heading its
// swimmer settles to as the native direction, in the answer: 1, or 0 with
// the writer's reason there.
EMSCRIPTEN_KEEPALIVE int LearnerFormatBest()
{
    std::string text;
    if (!FormatNetworkFile(Plan().Segments, Run->GetBestScore().NativeDirection, Run->GetBest(),
                           text, Answer))
        return 0;
    Answer.swap(text);
    return 1;
}

EMSCRIPTEN_KEEPALIVE const char* LearnerAnswer() { return Answer.data(); }
EMSCRIPTEN_KEEPALIVE double LearnerAnswerBytes() { return static_cast<double>(Answer.size()); }

}  // extern "C"
