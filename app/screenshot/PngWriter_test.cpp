#include "PngWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Deflate's bit order: plain numbers from the least significant bit,
// Huffman codes from the most significant.
class CBitReader
{
public:
    CBitReader(const std::uint8_t* data, size_t size) : Data(data), Size(size) {}

    bool Bits(int count, std::uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < count; ++i) {
            std::uint32_t bit;
            if (!Bit(bit))
                return false;
            value |= bit << i;
        }
        return true;
    }
    bool MoreCode(int count, std::uint32_t& code)
    {
        for (int i = 0; i < count; ++i) {
            std::uint32_t bit;
            if (!Bit(bit))
                return false;
            code = (code << 1) | bit;
        }
        return true;
    }
    void SkipToByte()
    {
        if (Used) {
            ++Pos;
            Used = 0;
        }
    }
    bool Byte(std::uint8_t& byte)
    {
        if (Used || Pos >= Size)
            return false;
        byte = Data[Pos++];
        return true;
    }
    size_t Consumed() const { return Pos + (Used ? 1 : 0); }

private:
    bool Bit(std::uint32_t& bit)
    {
        if (Pos >= Size)
            return false;
        bit = (Data[Pos] >> Used) & 1;
        if (++Used == 8) {
            Used = 0;
            ++Pos;
        }
        return true;
    }

    const std::uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
    int Used = 0;
};

// Base and extra bits of deflate's length (257-285) and distance (0-29)
// symbols, derived from their rule rather than copied: after the first
// few, each extra bit is shared by four length or two distance codes.
void LengthOf(int symbol, int& base, int& extra)
{
    base = 3;
    for (int k = 0; k <= symbol - 257; ++k) {
        extra = k < 8 ? 0 : (k - 4) / 4;
        if (k < symbol - 257)
            base += 1 << extra;
    }
    if (symbol == 285) {
        base = 258;
        extra = 0;
    }
}

void DistanceOf(int symbol, int& base, int& extra)
{
    base = 1;
    for (int k = 0; k <= symbol; ++k) {
        extra = k < 4 ? 0 : (k - 2) / 2;
        if (k < symbol)
            base += 1 << extra;
    }
}

// A decoder for what the writer may produce: stored and fixed-code blocks.
// False on anything else or on malformed input.
bool Inflate(const std::uint8_t* data, size_t size, std::vector<std::uint8_t>& out,
             size_t& consumed)
{
    CBitReader in(data, size);
    std::uint32_t final = 0, type = 0;
    do {
        if (!in.Bits(1, final) || !in.Bits(2, type))
            return false;
        if (type == 0) {
            in.SkipToByte();
            std::uint8_t b[4];
            for (auto& byte : b)
                if (!in.Byte(byte))
                    return false;
            const unsigned length = b[0] | b[1] << 8, complement = b[2] | b[3] << 8;
            if ((length ^ 0xFFFF) != complement)
                return false;
            for (unsigned i = 0; i < length; ++i) {
                std::uint8_t byte;
                if (!in.Byte(byte))
                    return false;
                out.push_back(byte);
            }
            continue;
        }
        if (type != 1)
            return false;
        for (;;) {
            std::uint32_t code = 0;
            int symbol;
            if (!in.MoreCode(7, code))
                return false;
            if (code <= 0x17) {
                symbol = 256 + static_cast<int>(code);
            } else {
                if (!in.MoreCode(1, code))
                    return false;
                if (code >= 0x30 && code <= 0xBF) {
                    symbol = static_cast<int>(code) - 0x30;
                } else if (code >= 0xC0 && code <= 0xC7) {
                    symbol = 280 + static_cast<int>(code) - 0xC0;
                } else {
                    if (!in.MoreCode(1, code) || code < 0x190 || code > 0x1FF)
                        return false;
                    symbol = 144 + static_cast<int>(code) - 0x190;
                }
            }
            if (symbol < 256) {
                out.push_back(static_cast<std::uint8_t>(symbol));
                continue;
            }
            if (symbol == 256)
                break;
            if (symbol > 285)
                return false;
            int base, extra;
            std::uint32_t more, distanceCode = 0;
            LengthOf(symbol, base, extra);
            if (!in.Bits(extra, more))
                return false;
            const size_t length = base + more;
            if (!in.MoreCode(5, distanceCode) || distanceCode > 29)
                return false;
            DistanceOf(static_cast<int>(distanceCode), base, extra);
            if (!in.Bits(extra, more))
                return false;
            const size_t distance = base + more;
            if (distance > out.size() || distance > 32768)
                return false;
            for (size_t i = 0; i < length; ++i)
                out.push_back(out[out.size() - distance]);
        }
    } while (!final);
    consumed = in.Consumed();
    return true;
}

std::uint32_t BigEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Reads the PNG back as a decoder would and checks every field and checksum
// on the way; gives the unfiltered rows of the image data.
::testing::AssertionResult DecodesTo(const std::vector<std::uint8_t>& png, const CRgbImage& image)
{
    auto fail = [] { return ::testing::AssertionFailure(); };
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || std::memcmp(png.data(), signature, 8) != 0)
        return fail() << "bad signature";

    std::vector<std::string> types;
    std::vector<std::uint8_t> header, zlib;
    for (size_t at = 8; at < png.size();) {
        if (png.size() - at < 12)
            return fail() << "truncated chunk at " << at;
        const std::uint32_t length = BigEndian(&png[at]);
        if (png.size() - at - 12 < length)
            return fail() << "chunk at " << at << " runs past the end";
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        const std::uint8_t* data = &png[at + 8];
        if (BigEndian(data + length) != Crc32(&png[at + 4], length + 4))
            return fail() << "bad CRC of " << type;
        types.push_back(type);
        if (type == "IHDR")
            header.assign(data, data + length);
        if (type == "IDAT")
            zlib.insert(zlib.end(), data, data + length);
        at += 12 + length;
    }
    if (types != std::vector<std::string>{"IHDR", "IDAT", "IEND"})
        return fail() << "unexpected chunks";
    if (header.size() != 13 || BigEndian(&header[0]) != std::uint32_t(image.GetWidth()) ||
        BigEndian(&header[4]) != std::uint32_t(image.GetHeight()))
        return fail() << "bad IHDR size";
    const std::vector<std::uint8_t> format(header.begin() + 8, header.end());
    if (format != std::vector<std::uint8_t>{8, 2, 0, 0, 0})
        return fail() << "IHDR is not 8-bit RGB, methods 0";

    if (zlib.size() < 6 || (zlib[0] & 0x0F) != 8 || (zlib[0] * 256 + zlib[1]) % 31 != 0 ||
        (zlib[1] & 0x20))
        return fail() << "bad zlib header";
    std::vector<std::uint8_t> raw;
    size_t consumed = 0;
    if (!Inflate(&zlib[2], zlib.size() - 2, raw, consumed))
        return fail() << "the image data does not inflate";
    if (consumed + 2 + 4 != zlib.size())
        return fail() << "zlib stream of " << zlib.size() << " bytes used " << consumed + 6;
    if (BigEndian(&zlib[2 + consumed]) != Adler32(raw.data(), raw.size()))
        return fail() << "bad Adler-32";

    const size_t rowBytes = 1 + 3 * static_cast<size_t>(image.GetWidth());
    if (raw.size() != rowBytes * image.GetHeight())
        return fail() << "inflated to " << raw.size() << " bytes";
    for (int y = 0; y < image.GetHeight(); ++y) {
        if (raw[y * rowBytes] != 0)
            return fail() << "row " << y << " is filtered";
        if (!std::equal(raw.begin() + y * rowBytes + 1, raw.begin() + (y + 1) * rowBytes,
                        image.GetBytes().begin() + y * (rowBytes - 1)))
            return fail() << "row " << y << " differs";
    }
    return ::testing::AssertionSuccess();
}

const Rgb White = {255, 255, 255}, Black = {0, 0, 0}, Red = {255, 0, 0};

// Like a screenshot: white, a grey gradient band as a title bar, a black
// line, a red square.
CRgbImage Screenshot(int width, int height)
{
    CRgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, White);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, {std::uint8_t(x * 255 / width), std::uint8_t(x * 255 / width), 200});
    for (int y = 30; y < height; ++y)
        image.Set(width / 2, y, Black);
    for (int y = 60; y < 65; ++y)
        for (int x = width / 2 - 2; x <= width / 2 + 2; ++x)
            image.Set(x, y, Red);
    return image;
}

TEST(PngWriterTest, ChecksumsGiveTheirStandardCheckValues)
{
    const auto* digits = reinterpret_cast<const std::uint8_t*>("123456789");
    EXPECT_EQ(Crc32(digits, 9), 0xCBF43926u);
    const auto* word = reinterpret_cast<const std::uint8_t*>("Wikipedia");
    EXPECT_EQ(Adler32(word, 9), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);

    // Long enough to need the sums reduced along the way: against the sums
    // reduced after every byte.
    std::vector<std::uint8_t> ones(100000, 0xFF);
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), (b << 16) | a);
}

TEST(PngWriterTest, ATinyPictureDecodesToItsPixels)
{
    CRgbImage image(3, 2);
    image.Set(0, 0, Red);
    image.Set(1, 0, {0, 255, 0});
    image.Set(2, 0, {0, 0, 255});
    image.Set(0, 1, White);
    image.Set(1, 1, Black);
    image.Set(2, 1, {1, 2, 3});
    EXPECT_TRUE(DecodesTo(EncodePng(image), image));

    const CRgbImage one(1, 1);
    EXPECT_TRUE(DecodesTo(EncodePng(one), one));
}

// Flat areas come out as long repeats one byte, one pixel or one row back,
// with distances that need extra bits; noise comes out as literals,
// including those of nine-bit codes.
TEST(PngWriterTest, LargePicturesRoundTripAndFlatOnesShrink)
{
    const CRgbImage screen = Screenshot(1600, 120);
    const std::vector<std::uint8_t> png = EncodePng(screen);
    EXPECT_TRUE(DecodesTo(png, screen));
    EXPECT_LT(png.size(), screen.GetBytes().size() / 50);

    CRgbImage noise(97, 31);
    std::uint32_t seed = 12345;
    for (int y = 0; y < noise.GetHeight(); ++y)
        for (int x = 0; x < noise.GetWidth(); ++x) {
            seed = seed * 1103515245u + 12345u;
            noise.Set(x, y,
                      {std::uint8_t(seed >> 24), std::uint8_t(seed >> 16), std::uint8_t(seed >> 8)});
        }
    EXPECT_TRUE(DecodesTo(EncodePng(noise), noise));
}

TEST(PngWriterTest, WritesTheEncodingAndReportsAFileItCannotWrite)
{
    const CRgbImage image = Screenshot(40, 70);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "swimmer-png-test.png";
    ASSERT_TRUE(WritePng(path.string(), image));
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(file), {}};
    file.close();
    std::filesystem::remove(path);
    EXPECT_EQ(written, EncodePng(image));

    EXPECT_FALSE(WritePng((path / "no-such-folder" / "x.png").string(), image));
}

}  // namespace
