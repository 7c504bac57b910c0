// The analysis against independent encoders and taggers: files made at run time by
// lame, ffmpeg and mutagen, facts compared with what ffprobe and mutagen report.
// Native only; skipped when a tool is missing.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <sstream>

#include "audio/info_text.h"
#include "audio/tag_writer.h"
#include "support/temp_dir.h"
#include "text/code_page.h"
#include "text/text.h"

namespace vemo {
namespace {

constexpr const char* kPython = "/usr/bin/python3";  // the system one carries mutagen

struct Output {
    int status = -1;
    std::string text;
};

Output RunCommand(const std::string& command) {
    Output out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
    out.status = pclose(pipe);
    return out;
}

bool Have(const std::string& probe) { return RunCommand(probe + " >/dev/null").status == 0; }

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// stem, the numbers, ".mp3"; appended piece by piece, since GCC 12 warns falsely
// (-Wrestrict) of "stem" + a string made on the spot.
std::string NumberedMP3Name(const char* stem, std::initializer_list<int64_t> numbers) {
    std::string name = stem;
    for (int64_t n : numbers) name += NumToStr(false, n);
    name += ".mp3";
    return name;
}

// key=value lines.
std::map<std::string, std::string> KeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && !values.count(line.substr(0, eq))) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

class ExternalTools : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Have("command -v lame") || !Have("command -v ffmpeg") || !Have("command -v ffprobe")) {
            GTEST_SKIP() << "lame, ffmpeg or ffprobe missing";
        }
        wav = dir.File("tone.wav");
        ASSERT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i 'sine=frequency=440:duration=6' -ac 2 -ar 44100 " + Quote(wav)).status, 0);
    }
    std::string wav;
    test::TempDir dir;
};

struct Encoding {
    const char* name;
    std::string command;  // %in and %out are replaced
};

TEST_F(ExternalTools, StreamFactsAgreeWithFfprobe) {
    const Encoding encodings[] = {
        {"lame cbr 128", "lame --quiet -b 128 %in %out"},
        {"lame cbr 320 with crc", "lame --quiet -b 320 -p %in %out"},
        {"lame vbr", "lame --quiet -V 2 %in %out"},
        {"lame abr mono", "lame --quiet --abr 96 -m m %in %out"},
        {"lame mpeg-2 mono", "lame --quiet -b 64 -m m --resample 22.05 %in %out"},
        {"lame mpeg-2.5", "lame --quiet -b 32 --resample 8 %in %out"},
        {"lame mpeg-2 mono vbr", "lame --quiet -V 5 -m m --resample 22.05 %in %out"},
        {"lame mpeg-2.5 mono vbr", "lame --quiet -V 5 -m m --resample 11.025 %in %out"},
        {"lame 48 kHz vbr", "lame --quiet -V 5 --resample 48 %in %out"},
        {"ffmpeg cbr", "ffmpeg -v error -y -i %in -c:a libmp3lame -b:a 192k %out"},
        {"ffmpeg vbr", "ffmpeg -v error -y -i %in -c:a libmp3lame -q:a 4 %out"},
    };
    int index = 0;
    for (const Encoding& e : encodings) {
        SCOPED_TRACE(e.name);
        std::string mp3 = dir.File(NumberedMP3Name("e", {index++}));
        std::string command = e.command;
        command.replace(command.find("%in"), 3, Quote(wav));
        command.replace(command.find("%out"), 4, Quote(mp3));
        ASSERT_EQ(RunCommand(command).status, 0);

        auto probe = KeyValues(RunCommand("ffprobe -v error -count_packets -select_streams a:0 -show_entries "
                                   "stream=sample_rate,channels,bit_rate,nb_read_packets:format=duration "
                                   "-of default=nw=1 " + Quote(mp3)).text);
        TMPEG m = AnalyzeMPEG(mp3);
        int32_t rate = StrToIntVal(probe["sample_rate"]);
        EXPECT_EQ(m.SampleRate, rate);
        EXPECT_EQ(m.Layer, "III");
        const char* version = rate >= 32000 ? "1.0 (ISO/IEC 11172-3)" : rate >= 16000 ? "2.0 (ISO/IEC 13818-3)" : "2.5";
        EXPECT_EQ(m.Version, version);
        EXPECT_EQ(m.Mode == "Mono", probe["channels"] == "1") << m.Mode;
        // The same formula for VBR files, the table value for CBR files.
        double probeKbps = std::stod(probe["bit_rate"]) / 1000;
        EXPECT_NEAR(m.Bitrate, probeKbps, 0.5 + probeKbps * 0.002);
        // Frames: the header-only count of a CBR file includes the encoder's info frame
        // and rounds; a Xing count is exact.
        int64_t packets = std::stoll(probe["nb_read_packets"]);
        EXPECT_NEAR(static_cast<double>(m.Frames), static_cast<double>(packets), m.IsVBR ? 1 : 2);
        // The same frame's worth for the playing time.
        double frameSeconds = (rate >= 32000 ? 1152.0 : 576.0) / rate;
        EXPECT_NEAR(static_cast<double>(m.Duration) / 100.0, std::stod(probe["duration"]), 1.5 * frameSeconds);
    }
}

// Encoders store the information frame ("Xing" for VBR) that tells VBR from CBR.
TEST_F(ExternalTools, VBRDetection) {
    std::string vbr = dir.File("v.mp3");
    std::string cbr = dir.File("c.mp3");
    ASSERT_EQ(RunCommand("lame --quiet -V 4 " + Quote(wav) + " " + Quote(vbr)).status, 0);
    ASSERT_EQ(RunCommand("lame --quiet -b 160 " + Quote(wav) + " " + Quote(cbr)).status, 0);
    EXPECT_TRUE(AnalyzeMPEG(vbr).IsVBR);
    EXPECT_FALSE(AnalyzeMPEG(cbr).IsVBR);
}

TEST_F(ExternalTools, LameTagsReadBack) {
    std::string mp3 = dir.File("tagged.mp3");
    ASSERT_EQ(RunCommand("lame --quiet -b 128 --add-id3v2 --tt 'Song Title' --ta 'The Artist' --tl 'The Album' --ty 2001 "
                  "--tc 'A comment' --tn 7 --tg Rock " + Quote(wav) + " " + Quote(mp3)).status, 0);
    TID3v1Tag v1 = ReadID3v1(mp3).value_or(TID3v1Tag{});
    EXPECT_EQ(FormatID3v1(v1),
              "\rTrack: 7\rTitle: Song Title\rArtist: The Artist\rAlbum: The Album\rYear: 2001\rGenre: Rock\rComment: A comment");
    TID3v2Tag v2 = ReadID3v2(mp3).value_or(TID3v2Tag{});
    EXPECT_EQ(v2.Version[0], 3);
    EXPECT_EQ(v2.Title, "Song Title");
    EXPECT_EQ(v2.Artist, "The Artist");
    EXPECT_EQ(v2.Album, "The Album");
    EXPECT_EQ(v2.Year, "2001");
    EXPECT_EQ(v2.Track, "7");
    EXPECT_EQ(v2.Genre, "Rock");
    EXPECT_EQ(v2.Comment, "A comment");
}

// Tags written by mutagen in both versions and all encodings it writes, compared with
// the values mutagen reads back: the same UTF-8, letter for letter.
TEST_F(ExternalTools, MutagenTagsAgree) {
    if (!Have(std::string(kPython) + " -c 'import mutagen'")) GTEST_SKIP() << "mutagen missing";
    std::string writer = dir.File("write.py");
    test::WriteAll(writer, R"(import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TCON, TRCK, TCOM, TYER, TBPM, TENC, COMM, WXXX
path, version, enc = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
t = ID3()
t.add(TIT2(encoding=enc, text=["Caf\u00e9 \u0416 \u20ac"]))
t.add(TPE1(encoding=enc, text=["Artist One", "Artist Two"]))
t.add(TALB(encoding=enc, text=["Album \u2019quoted\u2019"]))
t.add(TCON(encoding=enc, text=["(17)Rock"]))
t.add(TRCK(encoding=enc, text=["3/12"]))
t.add(TCOM(encoding=enc, text=["Compos\u00e9r"]))
t.add(TBPM(encoding=enc, text=["120"]))
t.add(TENC(encoding=enc, text=["\U0001F3B5 encoder"]))
t.add(COMM(encoding=enc, lang="eng", desc="iTunNORM", text=[" 0000021A 000001F7"]))
t.add(COMM(encoding=enc, lang="eng", desc="", text=["Plain comment"]))
t.add(WXXX(encoding=enc, desc="home page", url="http://example.com/x"))
if version == 3:
    t.add(TYER(encoding=enc, text=["1999"]))
t.save(path, v2_version=version)
)");
    std::string reader = dir.File("read.py");
    test::WriteAll(reader, R"(import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
out = ["version=%d.%d" % (t.version[1], t.version[2])]
for key in ["TIT2", "TPE1", "TALB", "TRCK", "TCOM", "TBPM", "TENC"]:
    if key in t:
        out.append(key + "=" + " / ".join(str(v) for v in t[key].text))
# Loading turns a 2.3 year (TYER) into a 2.4 date (TDRC).
if t.version[1] == 3:
    out.append("TYER=" + str(t["TDRC"].text[0]))
out.append("TCON=" + " / ".join(t["TCON"].text))
out.append("COMM=" + [c for c in t.getall("COMM") if c.desc == ""][0].text[0])
out.append("WXXX=" + t.getall("WXXX")[0].url)
sys.stdout.buffer.write("\n".join(out).encode("utf-8"))
)");
    std::string audio = dir.File("plain.mp3");
    ASSERT_EQ(RunCommand("lame --quiet -b 96 " + Quote(wav) + " " + Quote(audio)).status, 0);

    for (int version : {3, 4}) {
        for (int encoding : {0, 1, 2, 3}) {
            if (encoding == 0) continue;  // Latin-1 cannot hold the test texts
            SCOPED_TRACE(testing::Message() << "2." << version << " encoding " << encoding);
            std::string mp3 = dir.File(NumberedMP3Name("m", {version, encoding}));
            test::WriteAll(mp3, test::ReadAll(audio));
            ASSERT_EQ(RunCommand(std::string(kPython) + " " + Quote(writer) + " " + Quote(mp3) + " " + NumToStr(false, version) +
                          " " + NumToStr(false, encoding)).status, 0);
            auto expected = KeyValues(RunCommand(std::string(kPython) + " " + Quote(reader) + " " + Quote(mp3)).text);
            TID3v2Tag tag = ReadID3v2(mp3).value_or(TID3v2Tag{});
            EXPECT_EQ(NumToStr(false, tag.Version[0]) + "." + NumToStr(false, tag.Version[1]), expected["version"]);
            EXPECT_EQ(tag.Title, expected["TIT2"]);
            EXPECT_EQ(tag.Title, "Caf\xC3\xA9 \xD0\x96 \xE2\x82\xAC");
            EXPECT_EQ(tag.EncodedBy, "\xF0\x9F\x8E\xB5 encoder");
            EXPECT_EQ(tag.Artist, expected["TPE1"]);
            EXPECT_EQ(tag.Album, expected["TALB"]);
            EXPECT_EQ(tag.Track, expected["TRCK"]);
            EXPECT_EQ(tag.Composer, expected["TCOM"]);
            EXPECT_EQ(tag.BPM, expected["TBPM"]);
            EXPECT_EQ(tag.EncodedBy, expected["TENC"]);
            EXPECT_EQ(tag.Year, expected["TYER"]);  // 2.4 stores no year frame of that name
            EXPECT_EQ(tag.Genre, StripGenreNumber(expected["TCON"]));
            EXPECT_EQ(tag.Comment, expected["COMM"]);
            EXPECT_EQ(tag.URL, expected["WXXX"]);
            // The stream behind the tag is found where it was before tagging.
            EXPECT_EQ(AnalyzeMPEG(mp3).Frames, AnalyzeMPEG(audio).Frames);
        }
    }
}

// Tags written from names in any script, read back by mutagen: the texts exactly, in the
// version and the encoding the writer chose, every other frame of an old tag kept.
TEST_F(ExternalTools, MutagenReadsNameTagsBackExactly) {
    if (!Have(std::string(kPython) + " -c 'import mutagen'")) GTEST_SKIP() << "mutagen missing";
    std::string oldTag = dir.File("old.py");
    test::WriteAll(oldTag, R"(import sys
from mutagen.id3 import ID3, TALB
t = ID3()
t.add(TALB(encoding=1, text=["\u0410\u043b\u044c\u0431\u043e\u043c"]))
t.save(sys.argv[1], v2_version=int(sys.argv[2]))
)");
    std::string reader = dir.File("read.py");
    test::WriteAll(reader, R"(import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
# mutagen gives an ID3v1 tag as version 2.1, its text as Latin-1: the bytes are read here.
if t.version < (2, 2, 0):
    tail = open(sys.argv[1], "rb").read()[-128:]
    field = lambda at: tail[at:at + 30].rstrip(b"\0").decode("cp1251")
    out = ["ID3v1", "TPE1=" + field(33), "TIT2=" + field(3)]
else:
    out = ["2.%d" % t.version[1]]
    for key in ["TPE1", "TIT2", "TALB"]:
        if key in t:
            out.append("%s=%d:%s" % (key, t[key].encoding, " / ".join(t[key].text)))
sys.stdout.buffer.write("\n".join(out).encode("utf-8"))
)");
    std::string audio = dir.File("plain.mp3");
    ASSERT_EQ(RunCommand("lame --quiet -b 96 " + Quote(wav) + " " + Quote(audio)).status, 0);

    const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";
    const std::string zvezda = "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0";
    const std::string nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string note = "\xF0\x9F\x8E\xB5";
    const std::string album = "TALB=1:\xD0\x90\xD0\xBB\xD1\x8C\xD0\xB1\xD0\xBE\xD0\xBC";
    const std::string crazy = "Crazy In Love (Featuring Jay-Z) Remastered";
    const struct {
        unsigned codePage;
        std::string artist, title;
        int oldVersion;  // 0: no tag before
        std::string expected;
    } cases[] = {
        {1251, kino, zvezda, 0, "ID3v1\nTPE1=" + kino + "\nTIT2=" + zvezda},
        {1252, kino, zvezda, 0, "2.3\nTPE1=1:" + kino + "\nTIT2=1:" + zvezda},
        {1252, "Beyonc\xC3\xA9", crazy, 0, "2.3\nTPE1=0:Beyonc\xC3\xA9\nTIT2=0:" + crazy},
        {1251, "Mot\xC3\xB6rhead", "Ace", 3, "2.3\nTPE1=0:Mot\xC3\xB6rhead\nTIT2=0:Ace\n" + album},
        {1252, nihongo, "Uta", 4, "2.4\nTPE1=3:" + nihongo + "\nTIT2=0:Uta\n" + album},
        {1251, note + " " + kino, "Song " + note, 3, "2.3\nTPE1=1:" + note + " " + kino + "\nTIT2=1:Song " + note + "\n" + album},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        UseCodePageForTests(c.codePage);
        const std::string mp3 = dir.File(c.artist + " - " + c.title + ".mp3");
        const std::string stored = dir.File(NumberedMP3Name("n", {index++}));
        test::WriteAll(mp3, test::ReadAll(audio));
        if (c.oldVersion != 0) {
            ASSERT_EQ(RunCommand(std::string(kPython) + " " + Quote(oldTag) + " " + Quote(mp3) + " " +
                                 NumToStr(false, c.oldVersion)).status, 0);
        }
        EXPECT_EQ(WriteTagFromFileName(mp3).Status, TagWriteStatus::Created);
        EXPECT_EQ(RunCommand(std::string(kPython) + " " + Quote(reader) + " " + Quote(mp3)).text, c.expected);
        EXPECT_EQ(AnalyzeMPEG(mp3).Frames, AnalyzeMPEG(audio).Frames);
        std::rename(mp3.c_str(), stored.c_str());  // the next case may give the same name another tag
    }
    UseCodePageForTests(0);
}

}  // namespace
}  // namespace vemo

#endif  // _WIN32
