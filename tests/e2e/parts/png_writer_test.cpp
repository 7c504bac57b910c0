// The screenshot encoder: checksums against their published check values, and images
// read back by walking the chunks and the stored deflate blocks.
#include <gtest/gtest.h>

#include <string_view>

#include "png_writer.h"

namespace vemo::standin {
namespace {

std::span<const uint8_t> Bytes(std::string_view s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct Decoded {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> raw;  // rows with their filter bytes
    int finalBlocks = 0;
    int blocks = 0;
};

// Checks every chunk's CRC and the zlib Adler-32 on the way.
Decoded Decode(const std::vector<uint8_t>& png) {
    Decoded d;
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<uint8_t> zlib;
    size_t at = 8;
    std::string last;
    while (at + 12 <= png.size()) {
        uint32_t length = Be32(png, at);
        std::string type(png.begin() + static_cast<ptrdiff_t>(at + 4), png.begin() + static_cast<ptrdiff_t>(at + 8));
        std::span<const uint8_t> typeAndData(png.data() + at + 4, length + 4);
        EXPECT_EQ(Crc32(typeAndData), Be32(png, at + 8 + length)) << type;
        const uint8_t* data = png.data() + at + 8;
        if (type == "IHDR") {
            d.width = Be32(png, at + 8);
            d.height = Be32(png, at + 12);
            EXPECT_EQ(data[8], 8);  // bit depth
            EXPECT_EQ(data[9], 2);  // RGB
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        }
        last = type;
        at += 12 + length;
    }
    EXPECT_EQ(last, "IEND");
    EXPECT_EQ(at, png.size());
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);
    size_t z = 2;
    for (;;) {
        uint8_t head = zlib[z];
        EXPECT_EQ(head & 0x06, 0);  // stored
        size_t len = zlib[z + 1] | size_t{zlib[z + 2]} << 8;
        size_t nlen = zlib[z + 3] | size_t{zlib[z + 4]} << 8;
        EXPECT_EQ(len ^ 0xFFFF, nlen);
        d.raw.insert(d.raw.end(), zlib.begin() + static_cast<ptrdiff_t>(z + 5),
                     zlib.begin() + static_cast<ptrdiff_t>(z + 5 + len));
        ++d.blocks;
        z += 5 + len;
        if (head & 1) {
            ++d.finalBlocks;
            break;
        }
    }
    EXPECT_EQ(Adler32(d.raw), Be32(zlib, z));
    EXPECT_EQ(z + 4, zlib.size());
    return d;
}

TEST(PngChecksums, PublishedCheckValues) {
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
    EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
    EXPECT_EQ(Adler32({}), 1u);
}

TEST(PngChecksums, AdlerOverLongRunsOfHighBytes) {
    // Long runs of 0xFF are where delayed reduction would overflow.
    std::vector<uint8_t> data(100000, 0xFF);
    uint64_t a = 1;
    uint64_t b = 0;
    for (uint8_t x : data) {
        a = (a + x) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(data), static_cast<uint32_t>(b << 16 | a));
}

TEST(EncodePNG, SmallImageRoundTrips) {
    const std::vector<uint8_t> rgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    Decoded d = Decode(EncodePNG(2, 2, rgb));
    EXPECT_EQ(d.width, 2u);
    EXPECT_EQ(d.height, 2u);
    EXPECT_EQ(d.raw, (std::vector<uint8_t>{0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 9, 8, 7}));
    EXPECT_EQ(d.blocks, 1);
}

TEST(EncodePNG, ScreenSizedImageSpansManyBlocks) {
    const uint32_t w = 1024;
    const uint32_t h = 768;
    std::vector<uint8_t> rgb(size_t{w} * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    Decoded d = Decode(EncodePNG(w, h, rgb));
    ASSERT_EQ(d.raw.size(), size_t{h} * (w * 3 + 1));
    EXPECT_GT(d.blocks, 30);
    EXPECT_EQ(d.finalBlocks, 1);
    for (uint32_t y = 0; y < h; y += 97) {
        EXPECT_EQ(d.raw[y * (w * 3 + 1)], 0);
        EXPECT_EQ(d.raw[y * (w * 3 + 1) + 1 + 5], rgb[y * w * 3 + 5]);
    }
}

TEST(EncodePNG, RefusesSizesThatDoNotFitThePixels) {
    std::vector<uint8_t> rgb(12);
    EXPECT_TRUE(EncodePNG(0, 2, rgb).empty());
    EXPECT_TRUE(EncodePNG(2, 0, rgb).empty());
    EXPECT_TRUE(EncodePNG(3, 2, rgb).empty());
    EXPECT_TRUE(EncodePNG(2, 1, rgb).empty());
    EXPECT_TRUE(EncodePNG(0x80000000u, 2, rgb).empty());
}

}  // namespace
}  // namespace vemo::standin
