#pragma once
// CSwimmerTrainer: a value function for the swimmer of n segments, learned
// from scratch by temporal differences, with the greedy bang-bang torques of
// the current value function as the only policy.
//
// The network is the layout the value function makes for the swimmer
// (inputs, bias, an encoder pair per angle, output) with 14 hidden neurons,
// as the embedded network has; its weights start from RandomizeParameters
// with the seed. The learned weights wander: an exponential average of them
// over the last AverageTime of simulated time is kept beside them, often
// the better swimmer of the two. The constants and the measurements behind
// them are in docs/training.md.

#include <cstdint>

#include "FFNetwork.h"
#include "FFNetworkVF.h"
#include "Random.h"
#include "Swimmer.h"
#include "TemporalDifference.h"

struct SwimmerTrainingConstants
{
    static constexpr int HiddenNeurons = 14;
    static constexpr TDConstants Learning = {
        0.01,   // h: the score per simulated second of 0.0025 at a quarter of the cost
        1.0,    // τ: about the stroke period; 2 s swims faster on some seeds, splits on others
        0.5,    // κ: 1 s or 0.2 s learned clearly worse
        0.003,  // η: thirteen times more diverged, a third of it learned slower
        4.0,    // trajectory: 1 s starts learned worse
    };
    static constexpr double AverageTime = 1000.0;  // seconds of simulated time
    static constexpr int AverageEvery = 16;        // learning steps between averaging
};

class CSwimmerTrainer
{
public:
    CSwimmerTrainer(int segments, std::uint32_t seed);

    static int NeuronsFor(int segments);

    // One learning step, and now and then one averaging.
    void Step();
    // The mean of |δ|/h since the last call (0 if no step came between).
    double TakeMeanTdError();
    // The learned (averaged = false) or the averaged network, its weights
    // rounded to single precision as a network file holds them.
    void GetRoundedNetwork(bool averaged, CFFNetwork& network) const;
    bool IsFinite() const;

    int GetSegments() const { return Segments; }
    long long GetSteps() const { return Steps; }

private:
    // The greedy torques of the value function being learned.
    class CGreedyController : public CController
    {
    public:
        explicit CGreedyController(CSwimmer& swimmer) : Swimmer(swimmer) {}
        void ChooseAction(const double* state, CValueFunction& valueFunction,
                          double* action) override
        {
            Swimmer.ChooseGreedyAction(state, valueFunction, action);
        }

    private:
        CSwimmer& Swimmer;
    };

    // The network laid out and its weights drawn before the learner sizes
    // its trace from the parameter count.
    struct CLayout
    {
        CLayout(CFFNetworkVF& valueFunction, int neurons, CRandom& rng)
        {
            valueFunction.SetNeurons(neurons);
            valueFunction.RandomizeParameters(rng);
        }
    };

    int Segments;
    CRandom Rng;
    CSwimmer Swimmer;
    CFFNetworkVF ValueFunction;
    CGreedyController Controller;
    CLayout Layout;
    CTDLearner Learner;
    CFFNetwork Average;
    double AverageRate;
    long long Steps = 0;
    double ErrorSum = 0.0;
    long long ErrorCount = 0;
};
