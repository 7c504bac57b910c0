// The sample library must be what the demo claims: valid streams whose analysis gives
// the rates and lengths written, tags that read back, and a playlist of them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/mpeg.h"
#include "entry_facts.h"
#include "playlist_file.h"
#include "sample_library.h"
#include "support/temp_dir.h"
#include "text/file_access.h"

namespace vemo::samples {
namespace {

class SampleLibraryTest : public ::testing::Test {
protected:
    test::TempDir dir;
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteSampleLibrary(dir.Path(), error)) << error;
    }
    std::string PathOf(const SampleTrack& s) { return dir.File(s.fileName); }
};

TEST_F(SampleLibraryTest, StreamsAnalyseAsWritten) {
    for (const SampleTrack& s : SampleLibrary()) {
        SCOPED_TRACE(s.fileName);
        TMPEG m = AnalyzeMPEG(PathOf(s));
        EXPECT_EQ(m.Version, "1.0 (ISO/IEC 11172-3)");
        EXPECT_EQ(m.Layer, "III");
        EXPECT_EQ(m.SampleRate, kSampleRate);
        EXPECT_EQ(m.CRC, "No");
        EXPECT_EQ(m.IsVBR, s.vbr);
        EXPECT_EQ(m.Mode.rfind(s.channels == Channels::Mono ? "Mono" : "", 0), 0u);
        if (!s.vbr) {
            EXPECT_EQ(m.Bitrate, s.bitrateKbps);
        }
        double seconds = static_cast<double>(MPEGDuration(m.AudioBytes, m.Bitrate)) / 100;
        EXPECT_NEAR(seconds, s.seconds, 0.05);
    }
}

TEST_F(SampleLibraryTest, FramesFollowEachOtherToTheEnd) {
    // Walking frame by frame from the first header must land exactly on the end of the
    // audio: every length, padding bit included, is right.
    for (const SampleTrack& s : SampleLibrary()) {
        SCOPED_TRACE(s.fileName);
        uint32_t frames = 0;
        std::vector<uint8_t> audio = BuildAudio(s, &frames);
        size_t at = 0;
        uint32_t seen = 0;
        static const int kRates[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
        while (at + kFrameHeaderSize <= audio.size()) {
            ASSERT_EQ(audio[at], 0xFF);
            ASSERT_EQ(audio[at + 1], 0xFB);
            int kbps = kRates[audio[at + 2] >> 4];
            ASSERT_GT(kbps, 0);
            at += static_cast<size_t>(144000 * kbps / kSampleRate + ((audio[at + 2] >> 1) & 1));
            ++seen;
        }
        EXPECT_EQ(at, audio.size());
        EXPECT_EQ(seen, frames + (s.vbr ? 1u : 0u));
    }
}

TEST_F(SampleLibraryTest, VbrStreamCarriesItsCountsInTheXingHeader) {
    for (const SampleTrack& s : SampleLibrary()) {
        if (!s.vbr) continue;
        uint32_t frames = 0;
        std::vector<uint8_t> audio = BuildAudio(s, &frames);
        TMPEG m = AnalyzeMPEG(PathOf(s));
        EXPECT_EQ(m.Frames, frames);
        EXPECT_EQ(m.AudioBytes, static_cast<int64_t>(audio.size()));
        EXPECT_LT(m.Bitrate, s.bitrateKbps);  // the average of the quieter frames
    }
}

TEST_F(SampleLibraryTest, TagsReadBack) {
    for (const SampleTrack& s : SampleLibrary()) {
        SCOPED_TRACE(s.fileName);
        std::string path = PathOf(s);
        EXPECT_EQ(HasTag(path, kTagID3v1), s.id3v1);
        EXPECT_EQ(HasTag(path, kTagID3v2), s.id3v2);
        if (s.id3v1) {
            TID3v1Tag t = ReadID3v1(path).value_or(TID3v1Tag{});
            EXPECT_EQ(t.Artist, s.artist.substr(0, 30));
            EXPECT_EQ(t.Title, s.title.substr(0, 30));
            EXPECT_EQ(t.Year, s.year);
            EXPECT_EQ(t.Track, s.track ? std::to_string(s.track) : "");
            EXPECT_EQ(t.Comment, s.comment);
        }
        if (s.id3v2) {
            TID3v2Tag t = ReadID3v2(path).value_or(TID3v2Tag{});
            EXPECT_EQ(t.Version[0], 3);
            EXPECT_EQ(t.Artist, s.artist);
            EXPECT_EQ(t.Title, s.title);
            EXPECT_EQ(t.Album, s.album);
            EXPECT_EQ(t.Track, s.track ? std::to_string(s.track) : "");
            EXPECT_EQ(t.Comment, s.comment);
        }
    }
}

TEST_F(SampleLibraryTest, PlayerShowsTagTitlesOrTheFileName) {
    std::vector<std::string> paths = standin::ReadM3U(dir.File("library.m3u"));
    ASSERT_EQ(paths.size(), SampleLibrary().size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const SampleTrack& s = SampleLibrary()[i];
        EXPECT_EQ(paths[i], PathOf(s));
        standin::Entry e = standin::ReadEntryFacts(paths[i]);
        EXPECT_EQ(e.title, s.title.empty() ? standin::TitleFromFileName(s.fileName) : s.artist + " - " + s.title);
        EXPECT_NEAR(static_cast<double>(e.lengthMs), s.seconds * 1000.0, 50.0) << s.fileName;
    }
}

// The library named in four scripts: each file under its own name (one in a folder with
// a Greek name), listed in UTF-8, the player's titles from the UTF-16 tags or the name.
TEST(WorldLibraryTest, NamesInFourScriptsAndUtf16Tags) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteWorldLibrary(dir.Path(), error)) << error;
    std::vector<std::string> paths = standin::ReadM3U(dir.File(kWorldPlaylist));
    ASSERT_EQ(paths.size(), WorldLibrary().size());
    for (size_t i = 0; i < paths.size(); ++i) {
        const SampleTrack& s = WorldLibrary()[i];
        std::string name = s.fileName;
        std::replace(name.begin(), name.end(), '/', PathSeparator());
        EXPECT_EQ(paths[i], dir.File(name));
        standin::Entry e = standin::ReadEntryFacts(paths[i]);
        EXPECT_EQ(e.title, s.title.empty() ? standin::TitleFromFileName(name) : s.artist + " - " + s.title);
        EXPECT_GT(e.lengthMs, 0) << s.fileName;
    }
}

// Encoding 1, the little-endian byte-order mark, and a surrogate pair kept as one.
TEST(WorldLibraryTest, TextFramesAreUtf16WithAByteOrderMark) {
    SampleTrack s;
    s.artist = "Band 🎸";
    s.utf16 = s.id3v2 = true;
    const std::vector<uint8_t> tag = BuildID3v2(s);
    const std::vector<uint8_t> frame = {'T', 'P', 'E', '1', 0, 0, 0, 17, 0, 0, 0x01, 0xFF, 0xFE, 'B', 0, 'a', 0,
                                        'n', 0,   'd', 0,   ' ', 0, 0x3C, 0xD8, 0xB8, 0xDF};
    ASSERT_GE(tag.size(), kID3v2HeaderSize + frame.size());
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), tag.begin() + kID3v2HeaderSize));
}

}  // namespace
}  // namespace vemo::samples
