#include "PngWriter.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace {

// Deflate writes its bits from the least significant end of each byte.
class CBitWriter
{
public:
    explicit CBitWriter(std::vector<std::uint8_t>& out) : Out(out) {}

    // The low count bits of value, least significant first (extra bits,
    // block headers).
    void Bits(std::uint32_t value, int count)
    {
        Buffer |= value << Used;
        Used += count;
        while (Used >= 8) {
            Out.push_back(static_cast<std::uint8_t>(Buffer));
            Buffer >>= 8;
            Used -= 8;
        }
    }
    // A Huffman code of length bits, most significant bit first.
    void Code(std::uint32_t code, int length)
    {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((code >> i) & 1) << (length - 1 - i);
        Bits(reversed, length);
    }
    void Flush()
    {
        if (Used > 0)
            Out.push_back(static_cast<std::uint8_t>(Buffer));
        Buffer = 0;
        Used = 0;
    }

private:
    std::vector<std::uint8_t>& Out;
    std::uint32_t Buffer = 0;
    int Used = 0;
};

// The fixed literal/length code: 0-143 in 8 bits from 0x30, 144-255 in 9
// bits from 0x190, 256-279 in 7 bits from 0, 280-287 in 8 bits from 0xC0.
void WriteSymbol(CBitWriter& bits, int symbol)
{
    if (symbol < 144)
        bits.Code(0x30 + symbol, 8);
    else if (symbol < 256)
        bits.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        bits.Code(symbol - 256, 7);
    else
        bits.Code(0xC0 + symbol - 280, 8);
}

const int MinMatch = 3;
const int MaxMatch = 258;
const size_t MaxDistance = 32768;
const int EndOfBlock = 256;

// Lengths 3-258 as symbols 257-285 plus extra bits.
const std::array<int, 29> LengthBase = {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,
                                        15, 17, 19, 23, 27, 31, 35, 43,  51,  59,
                                        67, 83, 99, 115, 131, 163, 195, 227, 258};
const std::array<int, 29> LengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distances 1-32768 as 5-bit codes 0-29 plus extra bits.
const std::array<int, 30> DistanceBase = {1,    2,    3,    4,     5,     7,     9,    13,
                                          17,   25,   33,   49,    65,    97,    129,  193,
                                          257,  385,  513,  769,   1025,  1537,  2049, 3073,
                                          4097, 6145, 8193, 12289, 16385, 24577};
const std::array<int, 30> DistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The index of the last base not above value.
template <size_t N>
int BaseIndex(const std::array<int, N>& bases, int value)
{
    const auto above = std::upper_bound(bases.begin(), bases.end(), value);
    return static_cast<int>(above - bases.begin()) - 1;
}

void WriteMatch(CBitWriter& bits, int length, int distance)
{
    const int l = BaseIndex(LengthBase, length);
    WriteSymbol(bits, 257 + l);
    bits.Bits(length - LengthBase[l], LengthExtra[l]);
    const int d = BaseIndex(DistanceBase, distance);
    bits.Code(d, 5);
    bits.Bits(distance - DistanceBase[d], DistanceExtra[d]);
}

// One final block with the fixed codes. Each position takes the longest
// repeat found one byte, one pixel or one row back (the nearest on a tie,
// being the cheapest to code), or else a literal.
void Deflate(const std::vector<std::uint8_t>& data, size_t rowBytes,
             std::vector<std::uint8_t>& out)
{
    CBitWriter bits(out);
    bits.Bits(1, 1);  // the final block
    bits.Bits(1, 2);  // fixed Huffman codes
    const size_t candidates[] = {1, 3, rowBytes};
    size_t i = 0;
    while (i < data.size()) {
        const size_t longest = std::min<size_t>(MaxMatch, data.size() - i);
        size_t bestLength = 0, bestDistance = 0;
        for (size_t distance : candidates) {
            if (distance > i || distance > MaxDistance)
                continue;
            size_t length = 0;
            while (length < longest && data[i + length] == data[i + length - distance])
                ++length;
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
            }
        }
        if (bestLength >= MinMatch) {
            WriteMatch(bits, static_cast<int>(bestLength), static_cast<int>(bestDistance));
            i += bestLength;
        } else {
            WriteSymbol(bits, data[i]);
            ++i;
        }
    }
    WriteSymbol(bits, EndOfBlock);
    bits.Flush();
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data, and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data)
{
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[typeAt], out.size() - typeAt));
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::uint8_t* data, size_t size)
{
    const std::uint32_t Modulus = 65521;
    // 5552 bytes is the longest run whose sums cannot overflow 32 bits.
    const size_t Run = 5552;
    std::uint32_t a = 1, b = 0;
    while (size > 0) {
        const size_t n = std::min(size, Run);
        for (size_t i = 0; i < n; ++i) {
            a += data[i];
            b += a;
        }
        a %= Modulus;
        b %= Modulus;
        data += n;
        size -= n;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> EncodePng(const CRgbImage& image)
{
    const size_t rowBytes = 1 + 3 * static_cast<size_t>(image.GetWidth());
    const std::vector<std::uint8_t>& pixels = image.GetBytes();

    // Each row: filter type 0 (none), then the row's bytes unchanged.
    std::vector<std::uint8_t> raw;
    raw.reserve(rowBytes * image.GetHeight());
    for (int y = 0; y < image.GetHeight(); ++y) {
        raw.push_back(0);
        const auto row = pixels.begin() + (rowBytes - 1) * y;
        raw.insert(raw.end(), row, row + (rowBytes - 1));
    }

    // zlib: deflate with a 32 KiB window (0x78), no dictionary, check bits
    // making the header a multiple of 31 (0x7801 = 31 * 991).
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    Deflate(raw, rowBytes, zlib);
    PutBigEndian(zlib, Adler32(raw.data(), raw.size()));

    std::vector<std::uint8_t> header;
    PutBigEndian(header, static_cast<std::uint32_t>(image.GetWidth()));
    PutBigEndian(header, static_cast<std::uint32_t>(image.GetHeight()));
    // 8 bits a channel, RGB; compression, filter and interlace methods 0.
    const std::uint8_t format[] = {8, 2, 0, 0, 0};
    header.insert(header.end(), std::begin(format), std::end(format));

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

bool WritePng(const std::string& path, const CRgbImage& image)
{
    const std::vector<std::uint8_t> png = EncodePng(image);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    file.close();
    return static_cast<bool>(file);
}
