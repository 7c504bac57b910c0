#include "audio/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace vemo {

// The buffer is left uninitialised: only bytes fetched into it are ever read.
ByteReader::ByteReader(File& file, size_t chunk) : ByteReader(file, file.Size(), chunk) {}

ByteReader::ByteReader(File& file, int64_t size, size_t chunk)
    : file_(&file),
      size_(size > 0 ? size : 0),
      buffer_(new uint8_t[std::max<size_t>(chunk, 1)]),
      bufferSize_(std::max<size_t>(chunk, 1)) {}

ByteReader::ByteReader(std::span<const uint8_t> data, size_t chunk)
    : memory_(data),
      size_(static_cast<int64_t>(data.size())),
      buffer_(new uint8_t[std::max<size_t>(chunk, 1)]),
      bufferSize_(std::max<size_t>(chunk, 1)) {}

bool ByteReader::Seek(int64_t position) {
    if (position < 0 || position > size_) return false;
    position_ = position;
    return true;
}

size_t ByteReader::Fetch(int64_t position, uint8_t* out, size_t count) {
    if (position < 0 || position >= size_) return 0;
    // Never ask for more than the file has left; the cast is safe once it is below count.
    uint64_t left = static_cast<uint64_t>(size_ - position);
    if (left < count) count = static_cast<size_t>(left);
    if (!file_) {
        std::memcpy(out, memory_.data() + position, count);
        return count;
    }
    int64_t got = file_->ReadAt(position, out, count);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool ByteReader::Fill(int64_t position) {
    bufferStart_ = position;
    bufferLength_ = Fetch(position, buffer_.get(), bufferSize_);
    return bufferLength_ > 0;
}

bool ByteReader::Read(uint8_t* out, size_t count) {
    if (static_cast<uint64_t>(count) > static_cast<uint64_t>(Remaining())) return false;
    int64_t at = position_;
    size_t done = 0;
    while (done < count) {
        if (!Buffered(at)) {
            // Large reads bypass the buffer instead of passing through it chunk by chunk.
            if (count - done >= bufferSize_) {
                size_t want = count - done;
                if (Fetch(at, out + done, want) != want) return false;
                position_ = at + static_cast<int64_t>(want);
                return true;
            }
            if (!Fill(at)) return false;
        }
        size_t offset = static_cast<size_t>(at - bufferStart_);
        size_t n = std::min(count - done, bufferLength_ - offset);
        std::memcpy(out + done, buffer_.get() + offset, n);
        done += n;
        at += static_cast<int64_t>(n);
    }
    position_ = at;
    return true;
}

bool ByteReader::Read(std::vector<uint8_t>& out, size_t count) {
    if (static_cast<uint64_t>(count) > static_cast<uint64_t>(Remaining())) return false;
    out.resize(count);
    return count == 0 || Read(out.data(), count);
}

int64_t ByteReader::FindFrameSync() {
    constexpr uint8_t kSyncFirst = 0xFF;
    constexpr uint8_t kSyncSecondMask = 0xE0;
    bool previousWasFF = false;
    int64_t at = position_;
    while (at < size_) {
        if (!Buffered(at) && !Fill(at)) break;
        size_t offset = static_cast<size_t>(at - bufferStart_);
        const uint8_t* base = buffer_.get();
        if (previousWasFF && (base[offset] & kSyncSecondMask) == kSyncSecondMask) {
            position_ = at - 1;
            return position_;
        }
        // Jump from one 0xFF to the next: padding and pictures hold few of them.
        const void* hit = std::memchr(base + offset, kSyncFirst, bufferLength_ - offset);
        if (!hit) {
            previousWasFF = false;
            at = bufferStart_ + static_cast<int64_t>(bufferLength_);
            continue;
        }
        size_t ff = static_cast<size_t>(static_cast<const uint8_t*>(hit) - base);
        previousWasFF = true;
        at = bufferStart_ + static_cast<int64_t>(ff) + 1;
    }
    position_ = size_;
    return -1;
}

}  // namespace vemo
