#include <gtest/gtest.h>

#include "audio/byte_reader.h"
#include "fixtures/audio_fixtures.h"
#include "support/temp_dir.h"

namespace vemo {
namespace {

using test::Bytes;

TEST(ByteReader, ReadsAcrossChunksAndNeverPastTheEnd) {
    const std::string data = "0123456789abcdef";
    for (size_t chunk : {1u, 3u, 4u, 16u, 100u}) {
        ByteReader r(Bytes(data), chunk);
        uint8_t out[16] = {};
        ASSERT_TRUE(r.Seek(2));
        ASSERT_TRUE(r.Read(out, 7));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 7), "2345678") << chunk;
        EXPECT_EQ(r.Position(), 9);
        // More than is left: nothing is read and the position stays.
        EXPECT_FALSE(r.Read(out, 8));
        EXPECT_EQ(r.Position(), 9);
        ASSERT_TRUE(r.Read(out, 7));
        EXPECT_EQ(r.Remaining(), 0);
        EXPECT_TRUE(r.Read(out, 0));
        EXPECT_FALSE(r.Seek(17));
        EXPECT_FALSE(r.Seek(-1));
        EXPECT_TRUE(r.Seek(16));
    }
}

TEST(ByteReader, FrameSyncSearch) {
    struct { std::string bytes; int64_t start; int64_t found; } cases[] = {
        {std::string("\xFF\xE0", 2), 0, 0},
        {std::string("\0\0\xFF\xFF\xFB", 5), 0, 2},   // FF FF already counts
        {std::string("\xFF\x1F\xFF\xE1", 4), 0, 2},
        {std::string("\xFF\xE0", 2), 1, -1},          // the 0xFF before the start does not pair
        {std::string("\xFF", 1), 0, -1},
        {std::string(""), 0, -1},
    };
    for (const auto& c : cases) {
        for (size_t chunk : {1u, 2u, 3u, 64u}) {
            ByteReader r(Bytes(c.bytes), chunk);
            ASSERT_TRUE(r.Seek(c.start));
            EXPECT_EQ(r.FindFrameSync(), c.found) << chunk;
        }
    }
}

TEST(ByteReader, FileAndMemoryReadAlike) {
    test::TempDir dir;
    std::string data(20000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    data[12345] = '\xFF';
    data[12346] = '\xF0';
    std::string path = dir.File("data.bin");
    test::WriteAll(path, data);
    File file = File::OpenRead(path);
    ASSERT_TRUE(file);
    ByteReader fromFile(file, 1000);
    EXPECT_EQ(fromFile.Size(), 20000);
    std::vector<uint8_t> got;
    ASSERT_TRUE(fromFile.Seek(999));
    ASSERT_TRUE(fromFile.Read(got, 5000));  // bigger than a chunk
    EXPECT_EQ(std::string(got.begin(), got.end()), data.substr(999, 5000));
    ASSERT_TRUE(fromFile.Seek(12000));
    EXPECT_EQ(fromFile.FindFrameSync(), 12345);
}

TEST(ByteReader, FailedFileReadsStopCleanly) {
    test::TempDir dir;
    std::string path = dir.File("data.bin");
    test::WriteAll(path, std::string(100, 'x'));
    File file = File::OpenRead(path);
    ByteReader r(file, 10);
    FailFileOperationAt(1);
    uint8_t out[4];
    EXPECT_FALSE(r.Read(out, 4));
    FailFileOperationAt(0);
    EXPECT_EQ(r.Position(), 0);
    EXPECT_TRUE(r.Read(out, 4));
}

}  // namespace
}  // namespace vemo
