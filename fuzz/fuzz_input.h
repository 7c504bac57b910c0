// The first byte of a fuzz input picks the reader's chunk size, so that buffer refills
// fall at every place of the data; the rest is the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/byte_reader.h"

namespace vemo::fuzz {

constexpr size_t kChunkSizes[] = {1, 2, 3, 7, 10, 64, 128, 1000, ByteReader::kDefaultChunk};

inline size_t ChunkOf(const uint8_t* data, size_t size) {
    return size == 0 ? ByteReader::kDefaultChunk : kChunkSizes[data[0] % std::size(kChunkSizes)];
}

inline std::span<const uint8_t> FileOf(const uint8_t* data, size_t size) {
    return size == 0 ? std::span<const uint8_t>() : std::span<const uint8_t>(data + 1, size - 1);
}

}  // namespace vemo::fuzz
