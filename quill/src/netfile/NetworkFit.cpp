#include "NetworkFit.h"

#include <vector>

#include "FFNetwork.h"
#include "FFNetworkVF.h"
#include "Swimmer.h"

int MinimumSwimmerNeurons(int segments)
{
    return CFFNetworkVF::MinimumNeurons(CSwimmer(segments));
}

bool CheckSegments(int segments, std::string& error)
{
    using namespace NetworkLimits;
    if (segments >= MinSegments && segments <= MaxSegments)
        return true;
    error = "segments " + std::to_string(segments) + " is outside " + std::to_string(MinSegments) +
            ".." + std::to_string(MaxSegments);
    return false;
}

bool CheckNeurons(int segments, int neurons, std::string& error)
{
    const int minimum = MinimumSwimmerNeurons(segments);
    if (neurons < minimum) {
        error = std::to_string(neurons) + " neurons do not fit a swimmer of " +
                std::to_string(segments) + " segments: its inputs, bias, angle " +
                "encoders and output need at least " + std::to_string(minimum);
        return false;
    }
    if (neurons > NetworkLimits::MaxNeurons) {
        error = std::to_string(neurons) + " neurons are more than the " +
                std::to_string(NetworkLimits::MaxNeurons) + " a network file may have";
        return false;
    }
    return true;
}

bool CheckKinds(int segments, int neurons, const std::int8_t* kinds, std::string& error)
{
    // The layout is whatever the value function makes, not a copy of its
    // rules, so a change there cannot leave the files behind.
    CSwimmer swimmer(segments);
    CFFNetworkVF valueFunction(swimmer);
    valueFunction.SetNeurons(neurons);
    const CFFNetwork& layout = valueFunction.GetNetwork();
    for (int i = 0; i < neurons; ++i) {
        const int kind = kinds[i];
        const int expected = static_cast<int>(layout.GetActivation(i));
        if (kind != expected) {
            error = "neuron " + std::to_string(i) + " has kind " + std::to_string(kind) + " (" +
                    ActivationKindName(kind) + ") where the swimmer's layout has " +
                    std::to_string(expected) + " (" + ActivationKindName(expected) + ")";
            return false;
        }
    }
    return true;
}

bool CheckNetworkFits(int segments, const CFFNetwork& network, std::string& error)
{
    const int n = network.GetNeuronCount();
    if (!CheckSegments(segments, error) || !CheckNeurons(segments, n, error))
        return false;
    std::vector<std::int8_t> kinds(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        kinds[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(network.GetActivation(i));
    return CheckKinds(segments, n, kinds.data(), error);
}

const char* ActivationKindName(int code)
{
    static const char* const Names[ActivationKindCount] = {"Zero", "Linear", "Tanh", "Sin",
                                                           "Cos",  "Gauss",  "Atan"};
    return code >= 0 && code < ActivationKindCount ? Names[code] : "unknown";
}
