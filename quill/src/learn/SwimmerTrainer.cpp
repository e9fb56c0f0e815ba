#include "SwimmerTrainer.h"

#include <cmath>


CSwimmerTrainer::CSwimmerTrainer(int segments, std::uint32_t seed)
    : Segments(segments),
      Rng(seed),
      Swimmer(segments),
      ValueFunction(Swimmer),
      Controller(Swimmer),
      Layout(ValueFunction, NeuronsFor(segments), Rng),
      Learner(Swimmer, ValueFunction, Controller, Rng, SwimmerTrainingConstants::Learning),
      AverageRate(1.0 - std::exp(-SwimmerTrainingConstants::AverageEvery *
                                 SwimmerTrainingConstants::Learning.StepPeriod /
                                 SwimmerTrainingConstants::AverageTime))
{
    Average.CopyFrom(ValueFunction.GetNetwork());
}

int CSwimmerTrainer::NeuronsFor(int segments)
{
    return CFFNetworkVF::MinimumNeurons(CSwimmer(segments)) +
           SwimmerTrainingConstants::HiddenNeurons;
}

void CSwimmerTrainer::Step()
{
    ErrorSum += std::fabs(Learner.Step());
    ++ErrorCount;
    ++Steps;
    if (Steps % SwimmerTrainingConstants::AverageEvery == 0) {
        const CFFNetwork& learned = ValueFunction.GetNetwork();
        const int n = learned.GetNeuronCount();
        const double* w = learned.GetWeights();
        double* a = Average.GetWeights();
        for (int i = n * n - 1; i >= 0; --i)
            a[i] += (w[i] - a[i]) * AverageRate;
    }
}

double CSwimmerTrainer::TakeMeanTdError()
{
    const double mean =
        ErrorCount ? ErrorSum / ErrorCount / SwimmerTrainingConstants::Learning.StepPeriod : 0.0;
    ErrorSum = 0.0;
    ErrorCount = 0;
    return mean;
}

void CSwimmerTrainer::GetRoundedNetwork(bool averaged, CFFNetwork& network) const
{
    network.CopyFrom(averaged ? Average : ValueFunction.GetNetwork());
    const int n = network.GetNeuronCount();
    double* w = network.GetWeights();
    for (int i = n * n - 1; i >= 0; --i)
        w[i] = static_cast<double>(static_cast<float>(w[i]));
}

bool CSwimmerTrainer::IsFinite() const
{
    const CFFNetwork& learned = ValueFunction.GetNetwork();
    const int n = learned.GetNeuronCount();
    const double* w = learned.GetWeights();
    for (int i = n * n - 1; i >= 0; --i)
        if (!std::isfinite(w[i]))
            return false;
    return true;
}
