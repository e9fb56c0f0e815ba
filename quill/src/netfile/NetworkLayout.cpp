#include "NetworkLayout.h"

#include "DynamicModel.h"
#include "FFNetworkVF.h"
#include "Swimmer.h"

int MinimumSwimmerNeurons(int segments)
{
    return CFFNetworkVF::MinimumNeurons(CSwimmer(segments));
}

std::vector<ActivationKind> SwimmerLayoutKinds(int segments, int neurons)
{
    // The layout is whatever the value function makes, not a copy of its
    // rules, so a change there cannot leave the files behind.
    CSwimmer swimmer(segments);
    CFFNetworkVF valueFunction(swimmer);
    valueFunction.SetNeurons(neurons);
    const CFFNetwork& network = valueFunction.GetNetwork();
    std::vector<ActivationKind> kinds(static_cast<std::size_t>(neurons));
    for (int i = 0; i < neurons; ++i)
        kinds[static_cast<std::size_t>(i)] = network.GetActivation(i);
    return kinds;
}

const char* ActivationKindName(int code)
{
    static const char* const Names[ActivationKindCount] = {"Zero", "Linear", "Tanh", "Sin",
                                                           "Cos",  "Gauss",  "Atan"};
    return code >= 0 && code < ActivationKindCount ? Names[code] : "unknown";
}
