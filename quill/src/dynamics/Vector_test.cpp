#include "Vector.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

// A vector owns its storage alone: a copy would free it twice.
static_assert(!std::is_copy_constructible_v<CVector>);
static_assert(!std::is_copy_assignable_v<CVector>);
// Its storage goes wherever an array of doubles does, read-only when const;
// a length is never taken for a vector by accident.
static_assert(std::is_convertible_v<CVector&, double*>);
static_assert(std::is_convertible_v<const CVector&, const double*>);
static_assert(!std::is_convertible_v<const CVector&, double*>);
static_assert(!std::is_convertible_v<int, CVector>);

// Each length in turn on one vector: every element of the new storage is
// written and read back (a short allocation shows under AddressSanitizer),
// and a non-positive length leaves no storage at all.
TEST(VectorTest, ResizeGivesExactlyTheNewLengthOrNothing)
{
    CVector v(3);
    EXPECT_EQ(v.Size(), 3);
    for (int n : {5, 5, 1, 0, 7, -4, 2}) {
        v.Resize(n);
        const int expected = n > 0 ? n : 0;
        ASSERT_EQ(v.Size(), expected) << "n=" << n;
        if (expected == 0) {
            EXPECT_EQ(static_cast<double*>(v), nullptr) << "n=" << n;
            v.Zero();  // nothing to clear, nothing touched
            continue;
        }
        for (int i = 0; i < expected; ++i)
            v[i] = 1.5 + i;
        for (int i = 0; i < expected; ++i)
            EXPECT_EQ(v[i], 1.5 + i) << "n=" << n;
        v.Zero();
        for (int i = 0; i < expected; ++i)
            EXPECT_EQ(v[i], 0.0) << "n=" << n;
    }
}

TEST(VectorTest, ANonPositiveLengthAtConstructionIsEmpty)
{
    for (int n : {0, -1}) {
        const CVector v(n);
        EXPECT_EQ(v.Size(), 0);
        EXPECT_EQ(static_cast<const double*>(v), nullptr);
    }
    const CVector defaulted;
    EXPECT_EQ(defaulted.Size(), 0);
}

}  // namespace
