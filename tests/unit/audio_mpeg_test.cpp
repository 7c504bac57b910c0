#include <gtest/gtest.h>

#include "audio/mpeg.h"
#include "fixtures/audio_fixtures.h"
#include "support/temp_dir.h"

namespace vemo {
namespace {

using test::Be32;
using test::Bytes;
using test::MpegFrame;

TMPEG Analyze(const std::string& bytes, size_t chunk = ByteReader::kDefaultChunk) {
    ByteReader reader(Bytes(bytes), chunk);
    return AnalyzeMPEG(reader);
}

std::string Frames(int count, uint8_t b1 = 0xFB, uint8_t b2 = 0x90, uint8_t b3 = 0x64) {
    std::string out;
    for (int i = 0; i < count; ++i) out += MpegFrame(b1, b2, b3);
    return out;
}

// A first frame carrying a Xing header at the given offset.
std::string XingFrame(uint8_t b1, uint8_t b2, uint8_t b3, size_t at, uint32_t frames, uint32_t bytes) {
    std::string f = MpegFrame(b1, b2, b3);
    f.replace(at, 16, "Xing" + Be32(0x0F) + Be32(frames) + Be32(bytes));
    return f;
}

TEST(MPEGHeader, FileStartingWithAFrame) {
    TMPEG m = Analyze(Frames(100));  // FF FB 90 64
    EXPECT_EQ(m.HeaderPos, "0");
    EXPECT_EQ(m.Version, "1.0 (ISO/IEC 11172-3)");
    EXPECT_EQ(m.Layer, "III");
    EXPECT_EQ(m.CRC, "No");
    EXPECT_EQ(m.Bitrate, 128);
    EXPECT_EQ(m.SampleRate, 44100);
    EXPECT_EQ(m.Mode, "Joint Stereo (MS Stereo)");
    EXPECT_EQ(m.Copyright, "No");
    EXPECT_EQ(m.Original, "Yes");
    EXPECT_EQ(m.Emphasis, "None");
    EXPECT_FALSE(m.IsVBR);
    EXPECT_EQ(m.FileSize, 41800);
    EXPECT_EQ(m.AudioBytes, 41800);
    EXPECT_EQ(m.Frames, 100);
    EXPECT_EQ(m.Duration, 261);
}

struct HeaderCase {
    uint8_t b1, b2;
    const char* version;
    const char* layer;
    double bitrate;
    int32_t sampleRate;
};

TEST(MPEGHeader, VersionLayerBitrateAndSampleRateTables) {
    const HeaderCase cases[] = {
        {0xFB, 0x90, "1.0 (ISO/IEC 11172-3)", "III", 128, 44100},
        {0xFB, 0xE4, "1.0 (ISO/IEC 11172-3)", "III", 320, 48000},
        {0xFD, 0xE8, "1.0 (ISO/IEC 11172-3)", "II", 384, 32000},
        {0xFF, 0xE0, "1.0 (ISO/IEC 11172-3)", "I", 448, 44100},
        {0xF9, 0x90, "1.0 (ISO/IEC 11172-3)", "identifier corrupt", 0, 44100},
        // MPEG-2 uses its own tables: index 8 is 64 kbit/s, not the 112 of MPEG-1.
        {0xF3, 0x80, "2.0 (ISO/IEC 13818-3)", "III", 64, 22050},
        {0xF5, 0xE4, "2.0 (ISO/IEC 13818-3)", "II", 160, 24000},
        {0xF7, 0xE8, "2.0 (ISO/IEC 13818-3)", "I", 256, 16000},
        {0xE3, 0x18, "2.5", "III", 8, 8000},
        {0xE3, 0x14, "2.5", "III", 8, 12000},
        {0xE3, 0x10, "2.5", "III", 8, 11025},
        // The reserved version identifier: MPEG-2 bit rates, no sample rate.
        {0xEB, 0x90, "version identifier corrupt ", "III", 80, 0},
        {0xE9, 0x90, "version identifier corrupt ", "identifier corrupt", 80, 0},
        {0xFB, 0x9C, "1.0 (ISO/IEC 11172-3)", "III", 128, 0},  // reserved sample-rate index
        {0xFB, 0x00, "1.0 (ISO/IEC 11172-3)", "III", 0, 44100},  // free format
        {0xFB, 0xF0, "1.0 (ISO/IEC 11172-3)", "III", 0, 44100},  // bad index
    };
    for (const HeaderCase& c : cases) {
        TMPEG m = Analyze(MpegFrame(c.b1, c.b2, 0x00));
        SCOPED_TRACE(testing::Message() << std::hex << int{c.b1} << " " << int{c.b2});
        EXPECT_EQ(m.Version, c.version);
        EXPECT_EQ(m.Layer, c.layer);
        EXPECT_EQ(m.Bitrate, c.bitrate);
        EXPECT_EQ(m.SampleRate, c.sampleRate);
    }
}

TEST(MPEGHeader, ChannelModesAndFlagBytes) {
    struct { uint8_t b1, b3; const char* mode; } modes[] = {
        {0xFB, 0x00, "Stereo"},
        {0xFB, 0x44, "Joint Stereo"},
        {0xFB, 0x54, "Joint Stereo (Intensity Stereo)"},
        {0xFB, 0x64, "Joint Stereo (MS Stereo)"},
        {0xFB, 0x74, "Joint Stereo (Intensity Stereo/MS Stereo)"},
        {0xFD, 0x44, "Joint Stereo (bands 4-31)"},
        {0xFD, 0x64, "Joint Stereo (bands 12-31)"},
        {0xFF, 0x54, "Joint Stereo (bands 8-31)"},
        {0xFF, 0x74, "Joint Stereo (bands 16-31)"},
        {0xF9, 0x64, "Joint Stereo"},  // reserved layer: no extension text
        {0xFB, 0x80, "Dual Channel"},
        {0xFB, 0xF0, "Mono"},          // the extension only counts for joint stereo
    };
    for (const auto& c : modes) EXPECT_EQ(Analyze(MpegFrame(c.b1, 0x90, c.b3)).Mode, c.mode) << int{c.b3};

    TMPEG flags = Analyze(MpegFrame(0xFA, 0x90, 0x0B));  // CRC, copyright, not original, emphasis 11
    EXPECT_EQ(flags.CRC, "Yes");
    EXPECT_EQ(flags.Copyright, "Yes");
    EXPECT_EQ(flags.Original, "No");
    EXPECT_EQ(flags.Emphasis, "CCIT J.17");
    EXPECT_EQ(Analyze(MpegFrame(0xFB, 0x90, 0x01)).Emphasis, "50/15 ms");
    EXPECT_EQ(Analyze(MpegFrame(0xFB, 0x90, 0x02)).Emphasis, "N/a");
}

TEST(MPEGXing, HeaderAt36GivesTheAverageBitrate) {
    TMPEG m = Analyze(XingFrame(0xFB, 0x90, 0x64, 36, 1000, 418000) + Frames(3));
    EXPECT_TRUE(m.IsVBR);
    EXPECT_EQ(m.Frames, 1000);
    EXPECT_EQ(m.AudioBytes, 418000);
    EXPECT_DOUBLE_EQ(m.Bitrate, (44100.0 / 1000) * (418000.0 / 144000));
    EXPECT_EQ(m.Duration, 2612);
}

// "Xing" stands after the side information, whose size follows from version and mode;
// 21 and 36 are read for every frame. Counts 1000 frames and 200000 bytes throughout.
TEST(MPEGXing, PlaceFollowsTheSideInformation) {
    struct XingCase {
        const char* name;
        uint8_t b1, b2, b3;  // header bytes after the 0xFF
        size_t at;
        bool vbr;
        double bitrate;  // sample rate / frames * bytes / 72000 (MPEG-2 and 2.5) or 144000
    } cases[] = {
        // 22050 Hz mono, Layer III, 64 kbit/s: 9 bytes of side information.
        {"MPEG-2 mono at 13", 0xF3, 0x80, 0xC4, 13, true, 61.25},
        {"MPEG-2.5 mono at 13", 0xE3, 0x80, 0xC4, 13, true, 30.625},  // 11025 Hz
        {"MPEG-2 joint stereo at 21", 0xF3, 0x80, 0x64, 21, true, 61.25},
        {"MPEG-1 joint stereo at 36", 0xFB, 0x90, 0x64, 36, true, 61.25},
        {"MPEG-1 mono at 21", 0xFB, 0x90, 0xC4, 21, true, 61.25},
        {"MPEG-1 mono at 36", 0xFB, 0x90, 0xC4, 36, true, 61.25},
        // 13 belongs to MPEG-2 and 2.5 mono only.
        {"MPEG-2 joint stereo at 13", 0xF3, 0x80, 0x64, 13, false, 64},
        {"MPEG-1 mono at 13", 0xFB, 0x90, 0xC4, 13, false, 128},
    };
    for (const XingCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMPEG m = Analyze(XingFrame(c.b1, c.b2, c.b3, c.at, 1000, 200000) + Frames(2, c.b1, c.b2, c.b3));
        EXPECT_EQ(m.IsVBR, c.vbr);
        EXPECT_DOUBLE_EQ(m.Bitrate, c.bitrate);
        if (c.vbr) {
            EXPECT_EQ(m.Frames, 1000);
            EXPECT_EQ(m.AudioBytes, 200000);
        }
    }
}

TEST(MPEGXing, ZeroCountsNeverDivide) {
    TMPEG noFrames = Analyze(XingFrame(0xFB, 0x90, 0x64, 36, 0, 418000));
    EXPECT_TRUE(noFrames.IsVBR);
    EXPECT_EQ(noFrames.Bitrate, 128);  // the table value stays
    EXPECT_EQ(noFrames.Frames, 0);
    TMPEG noRate = Analyze(XingFrame(0xFB, 0x9C, 0x64, 36, 1000, 418000));
    EXPECT_EQ(noRate.Bitrate, 128);
    TMPEG noBytes = Analyze(XingFrame(0xFB, 0x90, 0x64, 36, 1000, 0));
    EXPECT_EQ(noBytes.Bitrate, 0);
    EXPECT_EQ(noBytes.Duration, 0);
    // Counts of the full 32 bits are not negative numbers.
    TMPEG big = Analyze(XingFrame(0xFB, 0x90, 0x64, 36, 0xFFFFFFFFu, 0xFFFFFFFFu));
    EXPECT_EQ(big.Frames, 0xFFFFFFFFll);
    EXPECT_EQ(big.AudioBytes, 0xFFFFFFFFll);
    EXPECT_GT(big.Duration, 0);
}

TEST(MPEGXing, CutShortAfterTheTag) {
    std::string f = MpegFrame(0xFB, 0x90, 0x64, 36 + 4 + 4 + 2);
    f.replace(36, 4, "Xing");
    TMPEG m = Analyze(f);  // counts run past the end: they read as zero
    EXPECT_TRUE(m.IsVBR);
    EXPECT_EQ(m.Frames, 0);
    EXPECT_EQ(m.AudioBytes, 0);
}

TEST(MPEGConstantBitrate, ArithmeticWithAnID3v1Tag) {
    std::string bytes = MpegFrame(0xFB, 0x90, 0x64, 1000000) + test::ID3v1Tag("t", "", "", "", "", 1);
    ASSERT_EQ(bytes.size(), 1000128u);
    TMPEG m = Analyze(bytes);
    EXPECT_EQ(m.AudioBytes, 1000000);
    EXPECT_EQ(m.Frames, 2393);
    EXPECT_EQ(m.Duration, 6250);
}

TEST(MPEGConstantBitrate, NoBitrateMeansNoFramesAndNoDuration) {
    for (uint8_t b2 : {uint8_t{0x00}, uint8_t{0xF0}}) {
        TMPEG m = Analyze(Frames(10, 0xFB, b2));
        EXPECT_EQ(m.Bitrate, 0);
        EXPECT_EQ(m.Frames, 0);
        EXPECT_EQ(m.Duration, 0);
    }
    EXPECT_EQ(Analyze(Frames(10, 0xFB, 0x9C)).Frames, 0);  // no sample rate
}

TEST(MPEGConstantBitrate, HeaderInsideTheID3v1TagLeavesNoAudio) {
    TMPEG m = Analyze(test::ID3v1Tag("\xFF\xFB\x90\x64", "", "", "", "", 1));
    EXPECT_EQ(m.HeaderPos, "3");
    EXPECT_EQ(m.AudioBytes, 0);
    EXPECT_EQ(m.Frames, 0);
}

TEST(MPEGSync, FirstSyncAfterTheTagIsTaken) {
    // Padding up to the audio: the search starts at the first padding byte.
    std::string tagged = test::Tag(3, test::TextFrame("TIT2", "x"), 400) + Frames(2);
    EXPECT_EQ(Analyze(tagged).HeaderPos, "422");
    // Junk before the first frame; a lone 0xFF and an FF followed by a low byte do not count.
    std::string junk = std::string("\x00\xFF\x00\xFF\x1F\xE0", 6) + Frames(1);
    EXPECT_EQ(Analyze(junk).HeaderPos, "6");
    // An 0xE0 byte after the tag's last byte does not pair with an 0xFF inside the tag.
    std::string split = test::Tag(3, test::TextFrame("TIT2", std::string("\xFF", 1))) + "\xE0" + Frames(1);
    EXPECT_EQ(Analyze(split).HeaderPos, "23");
}

TEST(MPEGSync, NoSyncLeavesOnlyTheFileSize) {
    TMPEG m = Analyze(std::string(5000, '\0') + "\xFF");
    EXPECT_EQ(m.FileSize, 5001);
    EXPECT_EQ(m.HeaderPos, "");
    EXPECT_EQ(m.Version, "");
    EXPECT_EQ(m.Bitrate, 0);
    EXPECT_EQ(m.AudioBytes, 0);
    EXPECT_EQ(Analyze("").FileSize, 0);
    // A header at the very end: the missing bytes read as zeros.
    TMPEG last = Analyze(std::string("\0\xFF\xFB", 3));
    EXPECT_EQ(last.HeaderPos, "1");
    EXPECT_EQ(last.Bitrate, 0);
}

TEST(MPEGSync, ChunkBoundariesDoNotMatter) {
    std::string bytes = test::Tag(3, test::TextFrame("TIT2", "x") + test::Frame("APIC", std::string(3000, '\xFF')), 777) +
                        std::string("\xFF\x00", 2) + XingFrame(0xFB, 0x90, 0x64, 36, 1000, 418000);
    TMPEG reference = Analyze(bytes);
    EXPECT_EQ(reference.HeaderPos, std::to_string(10 + 12 + 3010 + 777 + 2));
    for (size_t chunk : {1u, 2u, 5u, 16u, 1000u}) {
        TMPEG m = Analyze(bytes, chunk);
        EXPECT_EQ(m.HeaderPos, reference.HeaderPos) << chunk;
        EXPECT_EQ(m.Frames, 1000) << chunk;
    }
}

class MPEGFiles : public ::testing::Test {
protected:
    test::TempDir dir;
};

// Only an MP3 name is reported: the seek display analyses any entry, and a message box
// at every key press for a .wav entry would be the fault.
TEST_F(MPEGFiles, UnreadableFileGivesNothingStaleAndOnlyAnMP3NameIsReported) {
    const struct {
        const char* name;
        size_t messages;
    } cases[] = {{"missing.mp3", 1}, {"MISSING.Mp3", 1}, {"missing.wav", 0}, {"missing.ogg", 0}, {"missing", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> messages;
        TMPEG m = AnalyzeMPEG(dir.File(c.name), [&](const std::string& s) { messages.push_back(s); });
        EXPECT_EQ(messages, std::vector<std::string>(c.messages, "Cannot open file for reading"));
        EXPECT_EQ(m.HeaderPos, "");
        EXPECT_EQ(m.Mode, "");
        EXPECT_EQ(m.Bitrate, 0);
        EXPECT_EQ(m.FileSize, 0);
    }
}

TEST_F(MPEGFiles, LargePictureAndPaddingAreCrossedQuickly) {
    std::string path = dir.File("big.mp3");
    std::string picture = test::Frame("APIC", std::string(1 << 20, '\x5A'));
    test::WriteAll(path, test::Tag(3, test::TextFrame("TIT2", "x") + picture, 4 << 20) + Frames(20));
    TMPEG m = AnalyzeMPEG(path);
    EXPECT_EQ(m.HeaderPos, std::to_string(10 + 12 + (10 + (1 << 20)) + (4 << 20)));
    EXPECT_EQ(m.Frames, 20);
}

#ifndef _WIN32
// Sizes of 2 GiB and more stay exact (a sparse file keeps the disk free).
TEST_F(MPEGFiles, FilesOfMoreThanFourGiB) {
    constexpr int64_t kSize = (int64_t{5} << 30) + 128;
    std::string path = dir.File("huge.mp3");
    {
        File f = File::CreateAlways(path);
        ASSERT_TRUE(f);
        std::string head = Frames(1);
        ASSERT_TRUE(f.Write(head.data(), head.size()));
        std::string tail = test::ID3v1Tag("big", "", "", "", "", 1);
        ASSERT_TRUE(f.Seek(kSize - 128));
        ASSERT_TRUE(f.Write(tail.data(), tail.size()));
    }
    TMPEG m = AnalyzeMPEG(path);
    EXPECT_EQ(m.FileSize, kSize);
    EXPECT_EQ(m.AudioBytes, int64_t{5} << 30);
    EXPECT_EQ(m.Frames, 12845056);  // 5 GiB / (144000 * 128 / 44100)
    EXPECT_EQ(m.Duration, 33554432);  // 5 GiB / 160 bytes a hundredth
}
#endif

TEST(MPEGDurationRounding, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(MPEGDuration(400, 128), 2);   // 400 / 160 = 2.5
    EXPECT_EQ(MPEGDuration(560, 128), 4);   // 3.5
    EXPECT_EQ(MPEGDuration(1000, 0), 0);
}

}  // namespace
}  // namespace vemo
