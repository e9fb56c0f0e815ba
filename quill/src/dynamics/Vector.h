#pragma once
// CVector: an owned array of doubles with its length. States, actions,
// gradients and work vectors are CVectors. A vector is sized once and then
// read and written by index through its storage; it is never copied.

#include <memory>

class CVector
{
public:
    explicit CVector(int n = 0);
    CVector(const CVector&) = delete;
    CVector& operator=(const CVector&) = delete;

    // Reallocates for n elements without keeping the contents, not even when
    // n equals the old size; a non-positive n leaves the vector empty.
    void Resize(int n);
    void Zero();

    int Size() const { return Count; }
    operator double*() { return Elements.get(); }
    operator const double*() const { return Elements.get(); }

private:
    std::unique_ptr<double[]> Elements;  // null when empty
    int Count = 0;
};
