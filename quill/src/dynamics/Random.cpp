#include "Random.h"

CRandom::CRandom(std::uint32_t seed) : FirstIndex(0), SecondIndex(24)
{
    // Every bit of the table must look random: the low bits of an additive
    // generator are themselves an additive generator, so a table whose low
    // bits follow a pattern (as a plain linear congruential sequence's do)
    // gives low bits with that pattern. Each word is therefore a strong mix
    // of the seed and its position (the finalizer of a 64-bit hash). The
    // generator needs at least one odd word to reach its full period.
    std::uint64_t z = seed;
    for (int i = 0; i < TableSize; ++i) {
        z += 0x9E3779B97F4A7C15ull;
        std::uint64_t mixed = z;
        mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
        mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
        mixed ^= mixed >> 31;
        Table[i] = static_cast<std::uint32_t>(mixed >> 32);
    }
    Table[0] |= 1u;
}

std::uint32_t CRandom::Next()
{
    if (--FirstIndex < 0)
        FirstIndex = TableSize - 1;
    if (--SecondIndex < 0)
        SecondIndex = TableSize - 1;
    Table[SecondIndex] += Table[FirstIndex];
    return Table[SecondIndex];
}

double CRandom::Real01()
{
    const double TwoToMinus31 = 1.0 / 2147483648.0;
    return static_cast<double>(Next() & 0x7FFFFFFFu) * TwoToMinus31;
}
