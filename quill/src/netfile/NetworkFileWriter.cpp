#include "NetworkFile.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "AtomicFile.h"
#include "DecimalText.h"
#include "NetworkFit.h"

namespace {

// A file holds single-precision weights, so a double weight is written
// faithfully only if it is one; anything else would come back changed, and
// the file would silently describe another network. Such a network (one
// trained in double precision, say) is refused, not rounded: the caller
// decides whether rounding is what it wants.
bool IsSingle(double weight)
{
    if (!std::isfinite(weight) || std::fabs(weight) > FLT_MAX)
        return false;
    const double back = static_cast<double>(static_cast<float>(weight));
    return std::memcmp(&back, &weight, sizeof back) == 0;
}

bool CheckWritable(int segments, double nativeDirection, const CFFNetwork& network,
                   std::string& error)
{
    if (!CheckNetworkFits(segments, network, error))
        return false;
    if (!std::isfinite(nativeDirection)) {
        error = "the native direction is not a finite number";
        return false;
    }
    const int n = network.GetNeuronCount();
    for (int k = 0; k < n; ++k)
        for (int l = k + 1; l < n; ++l)
            if (!IsSingle(network.GetWeight(k, l))) {
                error = "the weight from neuron " + std::to_string(k) + " to neuron " +
                        std::to_string(l) + " is " + ShortestDecimal(network.GetWeight(k, l)) +
                        ", which is not a finite single-precision value";
                return false;
            }
    return true;
}

}  // namespace

bool FormatNetworkFile(int segments, double nativeDirection, const CFFNetwork& network,
                       std::string& text, std::string& error, const std::string& note)
{
    if (!CheckWritable(segments, nativeDirection, network, error))
        return false;
    const int n = network.GetNeuronCount();
    std::string out;
    out += "# A swimmer's value-function network. kinds: one activation code per neuron\n";
    out += "# (0 Zero, 1 Linear, 2 Tanh, 3 Sin, 4 Cos, 5 Gauss, 6 Atan); after 'weights',\n";
    out += "# line k holds the weights from neuron k to neurons k+1 .. n-1, in that order.\n";
    for (std::size_t start = 0; start < note.size();) {
        std::size_t end = note.find('\n', start);
        if (end == std::string::npos)
            end = note.size();
        out += "# " + note.substr(start, end - start) + "\n";
        start = end + 1;
    }
    out += "swimmer-network 1\n";
    out += "segments " + std::to_string(segments) + "\n";
    out += "native-direction " + ShortestDecimal(nativeDirection) + "\n";
    out += "neurons " + std::to_string(n) + "\n";
    out += "kinds";
    for (int i = 0; i < n; ++i)
        out += " " + std::to_string(static_cast<int>(network.GetActivation(i)));
    out += "\nweights\n";
    for (int k = 0; k + 1 < n; ++k) {
        for (int l = k + 1; l < n; ++l) {
            if (l > k + 1)
                out += ' ';
            out += ShortestDecimal(static_cast<float>(network.GetWeight(k, l)));
        }
        out += '\n';
    }
    text.swap(out);
    return true;
}

bool WriteNetworkFile(const std::string& path, int segments, double nativeDirection,
                      const CFFNetwork& network, std::string& error, const std::string& note)
{
    std::string text;
    std::string why;
    if (!FormatNetworkFile(segments, nativeDirection, network, text, why, note)) {
        error = path + ": cannot write the network: " + why;
        return false;
    }
    if (!WriteFileAtomically(path, text.data(), text.size())) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}
