#include "sample_library.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "audio/id3v2.h"
#include "text/file_access.h"
#include "text/text.h"
#include "text/unicode.h"

namespace vemo::samples {

namespace {

// Frame header, MPEG-1 Layer III, 44100 Hz, no CRC:
//   byte 0  0xFF                          sync
//   byte 1  0xFB  111 11 01 1             sync, MPEG-1, Layer III, no CRC
//   byte 2  rrrr 00 p 0                   bit-rate index, 44100 Hz, padding, private
//   byte 3  mm ee 0 1 00                  channel mode, mode extension, original
constexpr uint8_t kSync = 0xFF;
constexpr uint8_t kMPEG1Layer3NoCRC = 0xFB;
constexpr uint8_t kPaddingBit = 0x02;
constexpr uint8_t kOriginalBit = 0x04;
// Bytes of side information after the header: where the Xing header goes.
constexpr size_t kSideInfoStereo = 32;
constexpr size_t kSideInfoMono = 17;
// Layer III of MPEG-1: frame bytes = 144000 * kbit/s / sample rate, plus padding.
constexpr int64_t kFrameCoefficient = 144000;
constexpr std::array<int, 16> kLayer3Bitrates{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
// The rates a VBR stream of silence cycles through, as an encoder would for quiet music.
constexpr std::array<int, 4> kVbrCycle{32, 64, 128, 96};
constexpr uint32_t kXingFlagFrames = 0x01;
constexpr uint32_t kXingFlagBytes = 0x02;

// ID3v1 field offsets and sizes.
constexpr size_t kV1Title = 3;
constexpr size_t kV1Artist = 33;
constexpr size_t kV1Album = 63;
constexpr size_t kV1Year = 93;
constexpr size_t kV1Comment = 97;
constexpr size_t kV1Genre = 127;
constexpr size_t kV1TextSize = 30;
constexpr size_t kV1YearSize = 4;
constexpr size_t kV11CommentSize = 28;
constexpr size_t kV11Track = 126;

constexpr uint8_t kID3v2Major = 3;
constexpr size_t kID3v2Padding = 64;
constexpr size_t kID3v2SizeAt = 6;

int BitrateIndex(int kbps) {
    auto at = std::find(kLayer3Bitrates.begin() + 1, kLayer3Bitrates.end() - 1, kbps);
    return at == kLayer3Bitrates.end() - 1 ? 9 : static_cast<int>(at - kLayer3Bitrates.begin());  // 128 if unknown
}

void PutBe32(uint8_t* at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Appends one frame; padding keeps the stream at its nominal rate on average, as
// encoders do: the frame is one byte longer whenever the running total falls behind.
size_t AppendFrame(std::vector<uint8_t>& out, const SampleTrack& sample, int kbps, int64_t& exactBytesTimesRate) {
    int64_t ideal = kFrameCoefficient * kbps;  // frame bytes times the sample rate
    int64_t plain = ideal / kSampleRate;
    exactBytesTimesRate += ideal - plain * kSampleRate;
    bool padded = exactBytesTimesRate >= kSampleRate;
    if (padded) exactBytesTimesRate -= kSampleRate;
    size_t length = static_cast<size_t>(plain) + (padded ? 1 : 0);

    size_t at = out.size();
    out.resize(at + length, 0);  // zeroed side information and main data: silence
    out[at] = kSync;
    out[at + 1] = kMPEG1Layer3NoCRC;
    out[at + 2] = static_cast<uint8_t>(BitrateIndex(kbps) << 4 | (padded ? kPaddingBit : 0));
    out[at + 3] = static_cast<uint8_t>(static_cast<uint8_t>(sample.channels) << 6 | kOriginalBit);
    return at;
}

void PutText(std::vector<uint8_t>& tag, size_t at, size_t size, const std::string& text) {
    std::memcpy(tag.data() + at, text.data(), std::min(size, text.size()));
}

// A text frame in encoding 1: the byte-order mark of little-endian UTF-16, then the text.
void AppendUtf16Frame(std::vector<uint8_t>& frames, const char* id, const std::string& utf8) {
    constexpr uint8_t kEncodingUtf16 = 1;
    std::vector<uint8_t> data{kEncodingUtf16, 0xFF, 0xFE};
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        data.push_back(static_cast<uint8_t>(unit & 0xFF));
        data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    const size_t at = frames.size();
    frames.resize(at + kID3v2FrameHeaderSize, 0);
    std::memcpy(frames.data() + at, id, 4);
    PutBe32(frames.data() + at + 4, static_cast<uint32_t>(data.size()));
    frames.insert(frames.end(), data.begin(), data.end());
}

// A "/"-separated name in the system's form.
std::string SystemName(const std::string& name) {
    std::string converted = name;
    std::replace(converted.begin(), converted.end(), '/', PathSeparator());
    return converted;
}

bool WriteLibrary(const std::string& folder, const std::vector<SampleTrack>& tracks, const char* listName,
                  std::string& error) {
    std::string playlist = "#EXTM3U\r\n";
    for (const SampleTrack& sample : tracks) {
        const std::string name = SystemName(sample.fileName);
        std::string path = folder + PathSeparator() + name;
        if (name.find(PathSeparator()) != std::string::npos) {
            std::error_code ec;
            const std::string sub = FolderOf(path);
            std::filesystem::create_directories(std::filesystem::path(std::u8string(sub.begin(), sub.end())), ec);
        }
        std::vector<uint8_t> bytes = BuildMP3(sample);
        File file = File::CreateAlways(path);
        if (!file || !file.Write(bytes.data(), bytes.size())) {
            error = "cannot write " + path + ": " + FileErrorText(LastFileError());
            return false;
        }
        playlist += name + "\r\n";
    }
    std::string listPath = folder + PathSeparator() + listName;
    File list = File::CreateAlways(listPath);
    if (!list || !list.Write(playlist.data(), playlist.size())) {
        error = "cannot write " + listPath + ": " + FileErrorText(LastFileError());
        return false;
    }
    return true;
}

}  // namespace

const std::vector<SampleTrack>& WorldLibrary() {
    static const std::vector<SampleTrack> library = [] {
        std::vector<SampleTrack> l;
        SampleTrack s;
        s.id3v2 = s.utf16 = true;
        s.seconds = 4;

        s.fileName = "Кино - Группа крови.mp3";
        s.artist = "Виктор Цой";
        s.title = "Звезда по имени Солнце";
        s.album = "Звезда по имени Солнце";
        l.push_back(s);

        // No tag: the tag is made from the name. The second byte of "ソ" in the Japanese
        // code page is the byte of the backslash.
        SampleTrack untagged;
        untagged.fileName = "坂本九 - スキヤキ・ソング.mp3";
        untagged.seconds = 4;
        l.push_back(untagged);

        s.fileName = "Ελληνικά/Σούστα.mp3";
        s.artist = "Ελληνικά Τραγούδια";
        s.title = "Σούστα";
        s.album = "Νησιά";
        l.push_back(s);

        s.fileName = "Band 🎸 - Tune 😀.mp3";
        s.artist = "Band 🎸";
        s.title = "Tune 😀";
        s.album = "Emoji 🌍";
        l.push_back(s);
        return l;
    }();
    return library;
}

const std::vector<SampleTrack>& SampleLibrary() {
    static const std::vector<SampleTrack> library = [] {
        std::vector<SampleTrack> l;
        SampleTrack s;

        s = {};
        s.fileName = "01 - Harbor Lights.mp3";
        s.artist = "The Tidewater Quartet";
        s.title = "Harbor Lights";
        s.album = "Salt and Cedar";
        s.year = "2019";
        s.comment = "Recorded live at the pier";
        s.track = 1;
        s.genre = 8;
        s.genreText = "(8)Jazz";
        s.id3v1 = s.id3v2 = true;
        s.bitrateKbps = 128;
        s.seconds = 30;  // long enough to seek both ways in the demo
        l.push_back(s);

        s = {};
        s.fileName = "02 - Paper Lanterns.mp3";
        s.artist = "Mira Okonkwo";
        s.title = "Paper Lanterns";
        s.album = "Night Market";
        s.year = "2021";
        s.track = 2;
        s.genreText = "Folk";
        s.id3v2 = true;
        s.bitrateKbps = 128;
        s.vbr = true;
        s.seconds = 5;
        l.push_back(s);

        s = {};
        s.fileName = "03 - Northbound.mp3";
        s.artist = "Fennick & Rowe";
        s.title = "Northbound";
        s.album = "Long Way Round";
        s.year = "2017";
        s.comment = "Full thirty character comment.";
        s.genre = 2;  // Country; no track: a plain ID3v1.0 tag
        s.id3v1 = true;
        s.bitrateKbps = 192;
        s.channels = Channels::Stereo;
        s.seconds = 4;
        l.push_back(s);

        s = {};
        s.fileName = "04 - Quiet Engine.mp3";
        s.artist = "Lumen Park";
        s.title = "Quiet Engine";
        s.album = "Transit Maps";
        s.year = "2023";
        s.comment = "Demo take";
        s.track = 4;
        s.genre = 52;  // Electronic
        s.id3v1 = true;
        s.bitrateKbps = 64;
        s.channels = Channels::Mono;
        s.seconds = 7;
        l.push_back(s);

        s = {};
        s.fileName = "05 - untitled sketch.mp3";
        s.bitrateKbps = 128;
        s.seconds = 3;
        l.push_back(s);

        s = {};
        s.fileName = "06 - Variations.mp3";
        s.artist = "Saint Aurelia Chamber Orchestra";
        s.title = "Variations on a Theme by Nobody in Particular";
        s.album = "Music for Empty Rooms, Volume Two";
        s.year = "2015";
        s.track = 6;
        s.genreText = "Classical";
        s.id3v2 = true;
        s.bitrateKbps = 160;
        s.seconds = 6;
        l.push_back(s);
        return l;
    }();
    return library;
}

std::vector<uint8_t> BuildAudio(const SampleTrack& sample, uint32_t* frameCount) {
    int64_t frames = int64_t{sample.seconds} * kSampleRate / kSamplesPerFrame;
    std::vector<uint8_t> out;
    int64_t carry = 0;
    size_t xingFrame = 0;
    if (sample.vbr) xingFrame = AppendFrame(out, sample, sample.bitrateKbps, carry);
    for (int64_t i = 0; i < frames; ++i) {
        int kbps = sample.vbr ? kVbrCycle[static_cast<size_t>(i) % kVbrCycle.size()] : sample.bitrateKbps;
        AppendFrame(out, sample, kbps, carry);
    }
    if (sample.vbr) {
        // The Xing frame counts the frames after it and every byte of the stream.
        size_t sideInfo = sample.channels == Channels::Mono ? kSideInfoMono : kSideInfoStereo;
        uint8_t* xing = out.data() + xingFrame + kFrameHeaderSize + sideInfo;
        std::memcpy(xing, "Xing", 4);
        PutBe32(xing + 4, kXingFlagFrames | kXingFlagBytes);
        PutBe32(xing + 8, static_cast<uint32_t>(frames));
        PutBe32(xing + 12, static_cast<uint32_t>(out.size()));
    }
    if (frameCount) *frameCount = static_cast<uint32_t>(frames);
    return out;
}

std::vector<uint8_t> BuildID3v1(const SampleTrack& sample) {
    std::vector<uint8_t> tag(kID3v1Size, 0);
    std::memcpy(tag.data(), "TAG", 3);
    PutText(tag, kV1Title, kV1TextSize, sample.title);
    PutText(tag, kV1Artist, kV1TextSize, sample.artist);
    PutText(tag, kV1Album, kV1TextSize, sample.album);
    PutText(tag, kV1Year, kV1YearSize, sample.year);
    if (sample.track != 0) {
        PutText(tag, kV1Comment, kV11CommentSize, sample.comment);  // byte 125 stays zero
        tag[kV11Track] = sample.track;
    } else {
        PutText(tag, kV1Comment, kV1TextSize, sample.comment);
    }
    tag[kV1Genre] = sample.genre;
    return tag;
}

std::vector<uint8_t> BuildID3v2(const SampleTrack& sample) {
    std::vector<uint8_t> tag(kID3v2HeaderSize, 0);
    std::memcpy(tag.data(), "ID3", 3);
    tag[3] = kID3v2Major;
    std::vector<uint8_t> frames;
    auto add = [&frames, &sample](const char* id, const std::string& text) {
        if (text.empty()) return;
        if (sample.utf16) {
            AppendUtf16Frame(frames, id, text);
        } else {
            AppendID3v2Frame(frames, id, text);
        }
    };
    add("TPE1", sample.artist);
    add("TIT2", sample.title);
    add("TALB", sample.album);
    add("TYER", sample.year);
    if (sample.track != 0) add("TRCK", NumToStr(false, sample.track));
    add("TCON", sample.genreText);
    if (!sample.comment.empty()) {
        // COMM: encoding 0, language "eng", an empty description (its terminator), text.
        constexpr uint8_t kCommLead[] = {0, 'e', 'n', 'g', 0};
        size_t dataSize = sizeof kCommLead + sample.comment.size();
        size_t at = frames.size();
        frames.resize(at + kID3v2FrameHeaderSize + dataSize, 0);
        std::memcpy(frames.data() + at, "COMM", 4);
        PutBe32(frames.data() + at + 4, static_cast<uint32_t>(dataSize));
        std::memcpy(frames.data() + at + kID3v2FrameHeaderSize, kCommLead, sizeof kCommLead);
        std::memcpy(frames.data() + at + kID3v2FrameHeaderSize + sizeof kCommLead, sample.comment.data(),
                    sample.comment.size());
    }
    frames.resize(frames.size() + kID3v2Padding, 0);
    tag.insert(tag.end(), frames.begin(), frames.end());
    PutBe32(tag.data() + kID3v2SizeAt, SyncSafe(static_cast<uint32_t>(frames.size())));
    return tag;
}

std::vector<uint8_t> BuildMP3(const SampleTrack& sample) {
    std::vector<uint8_t> file;
    if (sample.id3v2) file = BuildID3v2(sample);
    std::vector<uint8_t> audio = BuildAudio(sample);
    file.insert(file.end(), audio.begin(), audio.end());
    if (sample.id3v1) {
        std::vector<uint8_t> tag = BuildID3v1(sample);
        file.insert(file.end(), tag.begin(), tag.end());
    }
    return file;
}

bool WriteSampleLibrary(const std::string& folder, std::string& error) {
    return WriteLibrary(folder, SampleLibrary(), "library.m3u", error);
}

bool WriteWorldLibrary(const std::string& folder, std::string& error) {
    return WriteLibrary(folder, WorldLibrary(), kWorldPlaylist, error);
}

}  // namespace vemo::samples
