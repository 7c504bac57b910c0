// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, and zlib data made of
// stored (uncompressed) deflate blocks. Files are larger than they could be but need
// no compressor, and every viewer reads them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vemo::standin {

// The CRC-32 of PNG chunks and the Adler-32 of zlib streams.
uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc = 0);
uint32_t Adler32(std::span<const uint8_t> data, uint32_t adler = 1);

// rgb holds height rows of width * 3 bytes, top row first. Empty when the sizes do not
// fit the pixels or are zero.
std::vector<uint8_t> EncodePNG(uint32_t width, uint32_t height, std::span<const uint8_t> rgb);

}  // namespace vemo::standin
