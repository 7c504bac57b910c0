#include "audio/mpeg.h"

#include <cmath>
#include <cstring>

#include "audio/audio_texts.h"
#include "audio/id3v2.h"
#include "text/text.h"

namespace vemo {

namespace {

// Version codes (0 stands for the reserved identifier).
constexpr int kVersionCorrupt = 0;
constexpr int kMPEG1 = 1;
constexpr int kMPEG2 = 2;
constexpr int kMPEG25 = 3;
// Layer codes (0 stands for the reserved identifier).
constexpr int kLayerCorrupt = 0;
constexpr int kLayer1 = 1;
constexpr int kLayer2 = 2;
constexpr int kLayer3 = 3;
constexpr int kJointStereo = 1;
constexpr int kMono = 3;

// Header fields; byte 0 is the 0xFF of the sync.
constexpr int VersionBits(uint8_t b1) { return (b1 >> 3) & 0x03; }
constexpr int LayerBits(uint8_t b1) { return (b1 >> 1) & 0x03; }
constexpr bool HasCRC(uint8_t b1) { return (b1 & 0x01) == 0; }
constexpr int BitrateIndex(uint8_t b2) { return b2 >> 4; }
constexpr int SampleRateIndex(uint8_t b2) { return (b2 >> 2) & 0x03; }
constexpr int ChannelMode(uint8_t b3) { return b3 >> 6; }
constexpr int ModeExtension(uint8_t b3) { return (b3 >> 4) & 0x03; }
constexpr bool IsCopyrighted(uint8_t b3) { return (b3 & 0x08) != 0; }
constexpr bool IsOriginal(uint8_t b3) { return (b3 & 0x04) != 0; }
constexpr int EmphasisBits(uint8_t b3) { return b3 & 0x03; }

constexpr int kVersionCodeOfBits[4] = {kMPEG25, kVersionCorrupt, kMPEG2, kMPEG1};
constexpr const char* kVersionTexts[4] = {"version identifier corrupt ", "1.0 (ISO/IEC 11172-3)",
                                          "2.0 (ISO/IEC 13818-3)", "2.5"};
constexpr int kLayerCodeOfBits[4] = {kLayerCorrupt, kLayer3, kLayer2, kLayer1};
constexpr const char* kLayerTexts[4] = {"identifier corrupt", "I", "II", "III"};

// kbit/s by bit-rate index; indices 0 (free format) and 15 (bad) give 0.
constexpr int kBitratesMPEG1[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // Layer III
};
constexpr int kBitratesMPEG2Layer1[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr int kBitratesMPEG2Layer23[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

// Hz by version code and sample-rate index; the corrupt version has none.
constexpr int32_t kSampleRates[4][4] = {
    {0, 0, 0, 0}, {44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}};

constexpr const char* kModeTexts[4] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono"};
constexpr const char* kBandsStart = " (bands ";
constexpr const char* kBandTexts[4] = {"4-31)", "8-31)", "12-31)", "16-31)"};
constexpr const char* kLayer3Extensions[4] = {"", " (Intensity Stereo)", " (MS Stereo)", " (Intensity Stereo/MS Stereo)"};
constexpr const char* kEmphasisTexts[4] = {"None", "50/15 ms", "N/a", "CCIT J.17"};

// The Xing header follows the side information, which starts after the 4 header bytes.
constexpr int64_t kHeaderSize = 4;
constexpr int64_t kSideInfoMPEG1Mono = 17;
constexpr int64_t kSideInfoMPEG1 = 32;
constexpr int64_t kSideInfoMPEG2Mono = 9;
constexpr int64_t kSideInfoMPEG2 = 17;
// Tried for every frame after its own offset: files may carry the header at one of these
// whatever their version and mode say.
constexpr int64_t kXingFallbackAt[2] = {21, 36};
constexpr size_t kXingTagSize = 4;
constexpr size_t kXingCountsAfterTag = 8;
constexpr size_t kXingCountsSize = 8;
constexpr int64_t kID3v1Size = 128;

// Bytes per frame = K * kbit/s / sample rate, padding left out.
double FrameLengthCoefficient(int version, int layer) {
    if (layer == kLayer1) return 48000.0;
    if (layer == kLayer3 && (version == kMPEG2 || version == kMPEG25)) return 72000.0;
    return 144000.0;
}

int BitrateOf(int version, int layer, int index) {
    if (version == kMPEG1) return layer == kLayerCorrupt ? 0 : kBitratesMPEG1[layer - 1][index];
    return layer == kLayer1 ? kBitratesMPEG2Layer1[index] : kBitratesMPEG2Layer23[index];
}

// Up to count bytes at position, the rest zero: the end of a file cut short reads as zeros.
void ReadPadded(ByteReader& reader, int64_t position, uint8_t* out, size_t count) {
    std::memset(out, 0, count);
    if (position < 0 || position >= reader.Size() || !reader.Seek(position)) return;
    int64_t left = reader.Remaining();
    size_t n = left < static_cast<int64_t>(count) ? static_cast<size_t>(left) : count;
    reader.Read(out, n);
}

const char* YesNo(bool value) { return value ? texts::kYes : texts::kNo; }

// Where the Xing header of a frame of this version and channel mode begins, counted from
// the header's start; 0 for the reserved version, whose side information is unknown.
int64_t XingOffset(int version, int mode) {
    if (version == kMPEG1) return kHeaderSize + (mode == kMono ? kSideInfoMPEG1Mono : kSideInfoMPEG1);
    if (version == kMPEG2 || version == kMPEG25) return kHeaderSize + (mode == kMono ? kSideInfoMPEG2Mono : kSideInfoMPEG2);
    return 0;
}

// Offset of the Xing header after the frame header at headerAt, or -1 when there is none.
int64_t FindXing(ByteReader& reader, int64_t headerAt, int version, int mode) {
    const int64_t candidates[] = {XingOffset(version, mode), kXingFallbackAt[0], kXingFallbackAt[1]};
    for (int64_t offset : candidates) {
        if (offset == 0) continue;
        uint8_t tag[kXingTagSize];
        ReadPadded(reader, headerAt + offset, tag, kXingTagSize);
        if (std::memcmp(tag, "Xing", kXingTagSize) == 0) return headerAt + offset;
    }
    return -1;
}

}  // namespace

int64_t RoundHalfEven(double value) {
    constexpr double kLimit = 9.0e18;
    if (!std::isfinite(value)) return 0;
    if (value > kLimit) return static_cast<int64_t>(kLimit);
    if (value < -kLimit) return -static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(std::nearbyint(value));  // the default mode rounds half to even
}

int64_t MPEGDuration(int64_t audioBytes, double bitrate) {
    // 1.25 * kbit/s is the number of bytes in a hundredth of a second.
    if (bitrate == 0) return 0;
    return RoundHalfEven(static_cast<double>(audioBytes) / (1.25 * bitrate));
}

TMPEG AnalyzeMPEG(ByteReader& reader) {
    return AnalyzeMPEG(reader, HasTag(reader, kTagID3v2) ? ID3v2AudioStart(reader) : 0);
}

TMPEG AnalyzeMPEG(ByteReader& reader, int64_t audioStart) {
    TMPEG mpeg;
    mpeg.FileSize = reader.Size();

    if (!reader.Seek(audioStart)) return mpeg;
    int64_t headerAt = reader.FindFrameSync();
    if (headerAt < 0) return mpeg;
    mpeg.HeaderPos = NumToStr(false, headerAt);

    uint8_t header[3];  // header bytes 1 to 3
    ReadPadded(reader, headerAt + 1, header, sizeof header);

    int version = kVersionCodeOfBits[VersionBits(header[0])];
    int layer = kLayerCodeOfBits[LayerBits(header[0])];
    int mode = ChannelMode(header[2]);

    int64_t xingAt = FindXing(reader, headerAt, version, mode);
    if (xingAt >= 0) {
        uint8_t counts[kXingCountsSize];
        ReadPadded(reader, xingAt + static_cast<int64_t>(kXingCountsAfterTag), counts, kXingCountsSize);
        mpeg.IsVBR = true;
        mpeg.Frames = GetBe32(counts);
        mpeg.AudioBytes = GetBe32(counts + 4);
    }

    mpeg.Version = kVersionTexts[version];
    mpeg.Layer = kLayerTexts[layer];
    mpeg.CRC = YesNo(HasCRC(header[0]));

    mpeg.Bitrate = BitrateOf(version, layer, BitrateIndex(header[1]));
    mpeg.SampleRate = kSampleRates[version][SampleRateIndex(header[1])];
    double coefficient = FrameLengthCoefficient(version, layer);
    if (mpeg.IsVBR && mpeg.SampleRate != 0 && mpeg.Frames != 0) {
        mpeg.Bitrate = (static_cast<double>(mpeg.SampleRate) / static_cast<double>(mpeg.Frames)) *
                       (static_cast<double>(mpeg.AudioBytes) / coefficient);
    }

    mpeg.Mode = kModeTexts[mode];
    if (mode == kJointStereo) {
        int extension = ModeExtension(header[2]);
        if (layer == kLayer1 || layer == kLayer2) {
            mpeg.Mode += kBandsStart;
            mpeg.Mode += kBandTexts[extension];
        } else if (layer == kLayer3) {
            mpeg.Mode += kLayer3Extensions[extension];
        }
    }
    mpeg.Copyright = YesNo(IsCopyrighted(header[2]));
    mpeg.Original = YesNo(IsOriginal(header[2]));
    mpeg.Emphasis = kEmphasisTexts[EmphasisBits(header[2])];

    if (!mpeg.IsVBR) {
        int64_t audioBytes = mpeg.FileSize - headerAt - (HasTag(reader, kTagID3v1) ? kID3v1Size : 0);
        // A header found inside the ID3v1 tag leaves no audio, not a negative amount.
        mpeg.AudioBytes = audioBytes > 0 ? audioBytes : 0;
        if (mpeg.Bitrate != 0 && mpeg.SampleRate != 0) {
            double frameLength = coefficient * mpeg.Bitrate / mpeg.SampleRate;
            mpeg.Frames = RoundHalfEven(static_cast<double>(mpeg.AudioBytes) / frameLength);
        }
    }
    mpeg.Duration = MPEGDuration(mpeg.AudioBytes, mpeg.Bitrate);
    return mpeg;
}

TMPEG AnalyzeMPEG(const std::string& path, const ErrorReporter& onError) {
    File file = File::OpenRead(path, Share::Read);
    if (!file) {
        // The message belongs to the ID3v2 tag test, which opens only MP3 names; the seek
        // display analyses whatever the current entry is, at every key press.
        if (onError && IsMP3Name(path)) onError(texts::kCannotOpen);
        return {};
    }
    ByteReader reader(file);
    return AnalyzeMPEG(reader);
}

}  // namespace vemo
