#pragma once
// PNG encoding of an RGB picture: 8 bits a channel, no interlacing, every
// row unfiltered, the image data in one zlib stream of one deflate block
// with the fixed Huffman codes. The matcher looks only one byte, one pixel
// and one row back: a picture of large flat areas (a screenshot) shrinks a
// hundredfold, and nothing needs a hash table.

#include <cstdint>
#include <string>
#include <vector>

#include "RgbImage.h"

std::vector<std::uint8_t> EncodePng(const CRgbImage& image);

// Writes EncodePng(image) to path; false if the file cannot be written.
bool WritePng(const std::string& path, const CRgbImage& image);

// The checksums PNG and zlib use. Crc32: polynomial 0xEDB88320 (reflected),
// initial value and final complement 0xFFFFFFFF. Adler32: the sums modulo
// 65521, the second in the high half.
std::uint32_t Crc32(const std::uint8_t* data, size_t size);
std::uint32_t Adler32(const std::uint8_t* data, size_t size);
