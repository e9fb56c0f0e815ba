#pragma once
// CRandom: an additive lagged generator over 55 32-bit words. Each draw adds
// the word at the first index to the word at the second (mod 2^32), keeps
// the sum in place of the second and returns it; both indices walk down
// through the table and wrap from 0 to 54.

#include <cstdint>

class CRandom
{
public:
    static constexpr int TableSize = 55;

    // Fills the table with a hash of seed and sets the indices to 0 and 24,
    // the classic lags of this generator.
    explicit CRandom(std::uint32_t seed = 20061207u);

    std::uint32_t Next();
    // The low 31 bits of Next() times 2^-31: a double in [0, 1).
    double Real01();

    int FirstIndex;
    int SecondIndex;
    std::uint32_t Table[TableSize];
};
