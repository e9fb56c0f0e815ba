#pragma once
// Error-free transformations of IEEE double arithmetic (the product's to
// 2^-104), and values carried as an unevaluated sum Hi + Lo of two doubles
// (about 106 bits). They hold only because every operation is one
// correctly rounded IEEE operation, performed in the order written: the
// build forbids contracting a product and a sum into one fused operation,
// which would break them.

#include <cstdint>
#include <cstring>

namespace Elementary::Internal {

// The bits of a double and back, exactly (std::bit_cast, which not every
// standard library we build with has yet).
inline std::uint64_t BitsOf(double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline double FromBits(std::uint64_t bits)
{
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

struct DoubleDouble
{
    double Hi;
    double Lo;
};

// A table's double-double with its Hi already cut as Split(Hi) cuts it.
struct SplitDoubleDouble
{
    double Hi, Lo;
    double Hi1, Hi2;
};

// s + e = a + b exactly, s = RN(a + b) (Knuth's two-sum; any a, b).
inline DoubleDouble TwoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// The same in three operations when |a| >= |b| or a = 0 (Dekker).
inline DoubleDouble FastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = Hi + Lo exactly, Hi the leading 26 significant bits of a (the rest
// cleared), Lo the other 27 bits. By its bits rather than by Veltkamp's
// scaling: shorter, and no overflow for any finite a.
inline DoubleDouble Split(double a)
{
    const double hi = FromBits(BitsOf(a) & ~std::uint64_t{0x7ffffff});
    return {hi, a - hi};
}

// p + e = a b (1 + d), |d| < 2^-104, p = RN(a b) (Dekker's product), from
// the halves x = Split(a) and y = Split(b): three of the four half products
// are exact, the fourth (27 by 27 bits) rounds 2^-106 below a b, and the sum
// of the error terms is in an order that keeps it exact otherwise. For
// finite a b above 2^-969, where e cannot underflow.
inline DoubleDouble TwoProduct(double a, DoubleDouble x, double b, DoubleDouble y)
{
    const double p = a * b;
    const double e = ((x.Hi * y.Hi - p) + x.Hi * y.Lo + x.Lo * y.Hi) + x.Lo * y.Lo;
    return {p, e};
}

inline DoubleDouble TwoProduct(double a, double b) { return TwoProduct(a, Split(a), b, Split(b)); }

// 2^e for -1022 <= e <= 1023, built from its bits (exact).
inline double PowerOfTwo(int e)
{
    return FromBits(static_cast<std::uint64_t>(e + 1023) << 52);
}

// x 2^e in two steps, each factor a normal power of two: exact while x and
// the result are normal (any e from -2044 to 2046).
inline double ScaleByPowerOfTwo(double x, int e)
{
    const int half = e / 2;
    return x * PowerOfTwo(half) * PowerOfTwo(e - half);
}

// The unbiased binary exponent of a finite nonzero normal x: 2^e <= |x| < 2^(e+1).
inline int ExponentOf(double x)
{
    return static_cast<int>((BitsOf(x) >> 52) & 0x7ff) - 1023;
}

// RN((v.Hi + v.Lo) 2^e) for a normalised v (v.Hi = RN(v.Hi + v.Lo)) with
// 2^-500 < v.Hi < 2^500: v.Hi 2^e wherever that is normal, infinity past
// the largest double, and in the subnormal range the sum rounded once, to
// the nearest multiple of 2^-1074 (ties to even), not v.Hi rounded again.
double ScaleRounded(DoubleDouble v, int e);

}  // namespace Elementary::Internal
