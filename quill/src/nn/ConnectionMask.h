#pragma once
// CConnectionMask: which weights of a network are adjustable. Flag k + n·l
// belongs to the connection from neuron k to neuron l; a nonzero flag makes
// the weight count in its target's fan-in, be drawn by Randomize and be
// changed by learning. Evaluation ignores the mask.

#include <cstdint>
#include <memory>

class CConnectionMask
{
public:
    CConnectionMask() = default;

    // Flags of the new size are unspecified until set.
    void Resize(int n);
    // Every connection from a lower neuron to a higher one, and nothing else.
    void SetForward();
    // Removes every connection out of neuron k.
    void ClearSource(int k);

    int GetCount() const { return Count; }
    std::int32_t GetFlag(int source, int target) const { return Flags[source + Count * target]; }

private:
    int Count = 0;
    std::unique_ptr<std::int32_t[]> Flags;
};
