// Buffered, bounds-checked reading of a file or of bytes in memory. The tag and stream
// readers go through it so that they never make one system call per byte and never
// read past the end. Positions and sizes are 64-bit: files of 2 GiB and more work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "text/file_access.h"

namespace vemo {

class ByteReader {
public:
    static constexpr size_t kDefaultChunk = 8 * 1024;

    // file must stay open while the reader is used.
    explicit ByteReader(File& file, size_t chunk = kDefaultChunk);
    // The same with the file's size already known (from its open); a negative one reads as 0.
    ByteReader(File& file, int64_t size, size_t chunk);
    // Bytes in memory, fetched in chunks exactly as from a file (tests and fuzzers).
    explicit ByteReader(std::span<const uint8_t> data, size_t chunk = kDefaultChunk);
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    int64_t Size() const { return size_; }
    int64_t Position() const { return position_; }
    int64_t Remaining() const { return size_ - position_; }

    // False (position unchanged) outside 0..Size().
    bool Seek(int64_t position);
    // All count bytes, or false with the position unchanged.
    bool Read(uint8_t* out, size_t count);
    bool Read(std::vector<uint8_t>& out, size_t count);
    // From the position on, the first 0xFF followed by a byte with its top three bits
    // set; the offset of the 0xFF, or -1 when there is none before the end.
    int64_t FindFrameSync();

private:
    // Makes the buffer start at position; false when nothing could be fetched.
    bool Fill(int64_t position);
    // Up to count bytes at position straight from the source; the count fetched.
    size_t Fetch(int64_t position, uint8_t* out, size_t count);
    bool Buffered(int64_t position) const {
        return position >= bufferStart_ && position - bufferStart_ < static_cast<int64_t>(bufferLength_);
    }

    File* file_ = nullptr;
    std::span<const uint8_t> memory_;
    int64_t size_ = 0;
    int64_t position_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t bufferSize_ = 0;
    int64_t bufferStart_ = 0;
    size_t bufferLength_ = 0;
};

// Big-endian 32-bit value of four bytes.
inline uint32_t GetBe32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

}  // namespace vemo
