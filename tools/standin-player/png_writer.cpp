#include "png_writer.h"

#include <algorithm>
#include <array>

namespace vemo::standin {

namespace {

constexpr std::array<uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourTypeRGB = 2;
constexpr uint8_t kFilterNone = 0;
constexpr size_t kBytesPerPixel = 3;
// zlib header: deflate with a 32 KiB window, no dictionary, "fastest" level; the pair
// is a multiple of 31 as the format requires.
constexpr uint8_t kZlibCmf = 0x78;
constexpr uint8_t kZlibFlg = 0x01;
constexpr size_t kMaxStoredBlock = 65535;
constexpr uint32_t kAdlerModulus = 65521;
// Keeps the 32-bit sums of Adler-32 from overflowing between reductions.
constexpr size_t kAdlerRun = 5552;

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], std::span<const uint8_t> data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(std::span<const uint8_t>(out).subspan(typeStart)));
}

}  // namespace

uint32_t Crc32(std::span<const uint8_t> data, uint32_t crc) {
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    crc = ~crc;
    for (uint8_t b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(std::span<const uint8_t> data, uint32_t adler) {
    uint32_t a = adler & 0xFFFF;
    uint32_t b = adler >> 16;
    while (!data.empty()) {
        size_t run = std::min(data.size(), kAdlerRun);
        for (size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        a %= kAdlerModulus;
        b %= kAdlerModulus;
        data = data.subspan(run);
    }
    return b << 16 | a;
}

std::vector<uint8_t> EncodePNG(uint32_t width, uint32_t height, std::span<const uint8_t> rgb) {
    if (width == 0 || height == 0) return {};
    size_t rowBytes = size_t{width} * kBytesPerPixel;
    if (rowBytes / kBytesPerPixel != width || rgb.size() / rowBytes != height || rgb.size() % rowBytes != 0) return {};

    // The raw image: each row led by its filter byte.
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(kFilterNone);
        auto row = rgb.subspan(y * rowBytes, rowBytes);
        raw.insert(raw.end(), row.begin(), row.end());
    }

    std::vector<uint8_t> zlib{kZlibCmf, kZlibFlg};
    size_t done = 0;
    do {
        size_t length = std::min(raw.size() - done, kMaxStoredBlock);
        bool last = done + length == raw.size();
        zlib.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(done),
                    raw.begin() + static_cast<ptrdiff_t>(done + length));
        done += length;
    } while (done < raw.size());
    PutBe32(zlib, Adler32(raw));

    std::vector<uint8_t> header;
    PutBe32(header, width);
    PutBe32(header, height);
    header.insert(header.end(), {kBitDepth, kColourTypeRGB, 0, 0, 0});  // deflate, no filter set, no interlace

    std::vector<uint8_t> png(kSignature.begin(), kSignature.end());
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace vemo::standin
