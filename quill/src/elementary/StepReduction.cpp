#include "StepReduction.h"

#include <cstdint>

namespace Elementary::Internal {

// x (256/pi) mod 512 exactly enough, in integers (Payne and Hanek): with
// |x| = m 2^E (m an integer of 53 bits) and 2/pi = sum of b_i 2^-i,
//   x (256/pi) = m sum b_i 2^(E + 7 - i),
// and every term with E + 7 - i >= 9 is a multiple of 512 steps, a whole
// number of turns: only the bits from b_(E-1) on matter. A window of 192 of
// them, W, gives x (256/pi) mod 512 = (m W mod 2^192) 2^-183, short of the
// exact value by less than 2^-129, while no double lies closer than about
// 2^-62 (relative) to a multiple of pi/256: t is known to far more than the
// 106 bits kept.
ReducedAngle ReduceExactly(double x)
{
    const std::uint64_t bits = BitsOf(x);
    const int exponent = static_cast<int>((bits >> 52) & 0x7ff) - 1075;
    const std::uint64_t m = (bits & 0xfffffffffffffull) | (1ull << 52);

    // The bits of 2/pi after 64 zero bits, so that windows may start before
    // the point (b_(E-1) for the smallest x that gets here, 2^-33, is b_-86:
    // below the first word, read as zeros too).
    auto word = [](int index) -> std::uint32_t {
        return index < 2 || index >= 42 ? 0u : TwoOverPiBits[index - 2];
    };
    const int start = 64 + exponent - 2;  // where b_(E-1) sits among them
    std::uint32_t window[6];              // least significant word first
    for (int k = 0; k < 6; ++k) {
        // Floor division, for starts before the padding.
        const int bit = start + 32 * k;
        const int first = bit >= 0 ? bit / 32 : -((31 - bit) / 32);
        const int shift = bit - 32 * first;
        const std::uint64_t pair = (std::uint64_t{word(first)} << 32) | word(first + 1);
        window[5 - k] = static_cast<std::uint32_t>(pair >> (32 - shift));
    }

    // m W mod 2^192, word by word: each 32 x 32-bit product splits into its
    // low word and its high word, and a column sums at most four such words
    // and a carry, well within 64 bits.
    const std::uint64_t m0 = m & 0xffffffffu;
    const std::uint64_t m1 = m >> 32;
    std::uint32_t product[6];
    std::uint64_t carry = 0;
    for (int t = 0; t < 6; ++t) {
        std::uint64_t column = carry + ((m0 * window[t]) & 0xffffffffu);
        if (t >= 1) {
            column += (m0 * window[t - 1]) >> 32;
            column += (m1 * window[t - 1]) & 0xffffffffu;
        }
        if (t >= 2)
            column += (m1 * window[t - 2]) >> 32;
        product[t] = static_cast<std::uint32_t>(column);
        carry = column >> 32;
    }

    // The top nine bits count the steps, the other 183 are the fraction of
    // a step; a fraction of one half or more belongs to the next step, as
    // its (negative) complement.
    int step = static_cast<int>(product[5] >> 23);
    product[5] &= 0x7fffffu;
    bool below = false;
    if (product[5] >> 22) {
        step += 1;
        below = true;
        std::uint64_t borrow = 1;  // 2^183 - f: the two's complement within 183 bits
        for (int t = 0; t < 6; ++t) {
            const std::uint64_t complement = std::uint64_t{~product[t]} + borrow;
            product[t] = static_cast<std::uint32_t>(complement);
            borrow = complement >> 32;
        }
        product[5] &= 0x7fffffu;
    }

    // The fraction f 2^-183 as a double-double, most significant word first.
    DoubleDouble f = {0.0, 0.0};
    for (int t = 5; t >= 0; --t) {
        const double term = static_cast<double>(product[t]) * PowerOfTwo(32 * t - 183);
        const DoubleDouble s = TwoSum(f.Hi, term);
        f = FastTwoSum(s.Hi, s.Lo + f.Lo);
    }
    // t = f pi/256, with the signs of the complement and of x.
    const DoubleDouble p = TwoProduct(f.Hi, Pi.Hi * (1.0 / 256));
    DoubleDouble t = FastTwoSum(p.Hi, p.Lo + (f.Hi * Pi.Lo + f.Lo * Pi.Hi) * (1.0 / 256));
    if ((x < 0) != below)
        t = {-t.Hi, -t.Lo};
    if (x < 0)
        step = -step;
    return {t, step & 511};
}

}  // namespace Elementary::Internal
