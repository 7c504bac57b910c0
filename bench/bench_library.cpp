#include "bench_library.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "text/file_access.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

// Changed whenever a library's files change, so a cached library is never mistaken for one.
constexpr char kPicturesLayout[] = "1";
constexpr char kSmallFilesLayout[] = "small files 1";
constexpr char kStampName[] = "complete";

// MPEG-1 Layer III at 44100 Hz: a frame is 144000 * kbit/s / 44100 bytes, one more when
// the padding bit is set, and carries 1152 samples.
constexpr int kSampleRate = 44100;
constexpr int kSamplesPerFrame = 1152;
constexpr int64_t kFrameCoefficient = 144000;
constexpr uint8_t kSync = 0xFF;
constexpr uint8_t kMPEG1Layer3NoCRC = 0xFB;
constexpr uint8_t kPaddingBit = 0x02;
constexpr uint8_t kJointStereoOriginal = 0x44;
constexpr uint8_t kMonoOriginal = 0xC4;
// Side information before the Xing header: stereo and mono.
constexpr size_t kXingAtStereo = 4 + 32;
constexpr size_t kXingAtMono = 4 + 17;
constexpr uint32_t kXingFramesAndBytes = 0x03;
constexpr std::array<int, 16> kRates{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::array<int, 6> kCbrCycle{128, 192, 256, 320, 160, 224};
constexpr std::array<int, 5> kSmallCbrCycle{128, 192, 320, 128, 256};
constexpr std::array<int, 4> kVbrCycle{128, 160, 192, 256};
constexpr int kFramesAtEachEnd = 24;

constexpr size_t kID3v1Size = 128;
constexpr size_t kID3v1Genre = 127;

// What file n of a library is made of, its ID3v2 tag apart.
struct Plan {
    bool id3v2 = false;
    bool id3v1 = false;
    bool vbr = false;
    bool mono = false;
    int cbrKbps = 0;
    int64_t audioBytes = 0;
    std::string title;
};

Plan PlanOf(Shape shape, int n) {
    Plan plan;
    const size_t at = static_cast<size_t>(n);
    if (shape == Shape::Pictures) {
        plan.id3v2 = n % 20 != 19;
        plan.id3v1 = n % 5 < 3 || !plan.id3v2;
        plan.vbr = n % 10 == 7;
        plan.mono = n % 9 == 4;
        plan.cbrKbps = kCbrCycle[at % kCbrCycle.size()];
        plan.audioBytes = 2500000 + static_cast<int64_t>(n % 97) * 65000;
        plan.title = "Song number " + std::to_string(n) + " of the bench library";
    } else {
        plan.id3v2 = n % 3 != 2;
        plan.id3v1 = n % 2 == 1 || !plan.id3v2;
        plan.vbr = n % 5 == 3;
        plan.mono = n % 7 == 2;
        plan.cbrKbps = kSmallCbrCycle[at % kSmallCbrCycle.size()];
        plan.audioBytes = 300000 + static_cast<int64_t>(n % 101) * 47000;
        plan.title = "Small song " + std::to_string(n);
    }
    return plan;
}

bool HasPicture(int n) { return n % 4 == 1; }

int RateIndex(int kbps) {
    for (size_t i = 1; i + 1 < kRates.size(); ++i) {
        if (kRates[i] == kbps) return static_cast<int>(i);
    }
    return 9;
}

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string SyncSafe32(uint32_t v) {
    return {static_cast<char>((v >> 21) & 0x7F), static_cast<char>((v >> 14) & 0x7F), static_cast<char>((v >> 7) & 0x7F),
            static_cast<char>(v & 0x7F)};
}

std::string Frame(int major, const std::string& id, const std::string& data) {
    uint32_t size = static_cast<uint32_t>(data.size());
    return id + (major == 4 ? SyncSafe32(size) : Be32(size)) + std::string(2, '\0') + data;
}

// ASCII text in encoding 0 (Latin-1), 1 (UTF-16 with BOM) or 3 (UTF-8), terminated as
// most writers store it.
std::string Encoded(int encoding, const std::string& text) {
    std::string out;
    if (encoding == 1) out += "\xFF\xFE";
    for (char c : text) {
        out += c;
        if (encoding == 1) out += '\0';
    }
    out += encoding == 1 ? std::string(2, '\0') : std::string(1, '\0');
    return out;
}

std::string TextFrame(int major, int encoding, const std::string& id, const std::string& text) {
    std::string data(1, static_cast<char>(encoding));
    data += Encoded(encoding, text);
    return Frame(major, id, data);
}

std::string CommentFrame(int major, int encoding, const std::string& description, const std::string& text) {
    std::string data(1, static_cast<char>(encoding));
    data += "eng";
    data += Encoded(encoding, description);
    data += Encoded(encoding, text);
    return Frame(major, "COMM", data);
}

std::string Header(int major, size_t size) {
    return "ID3" + std::string(1, static_cast<char>(major)) + std::string(2, '\0') + SyncSafe32(static_cast<uint32_t>(size));
}

std::string PicturesTag(int n, const Plan& plan, std::mt19937& random) {
    int major = n % 3 == 0 ? 4 : 3;
    int encoding = major == 4 ? std::array<int, 3>{0, 1, 3}[static_cast<size_t>(n / 3) % 3] : (n % 2) * 1;
    std::string number = std::to_string(n);
    std::string body;
    body += TextFrame(major, encoding, "TIT2", plan.title);
    body += TextFrame(major, encoding, "TPE1", "Artist " + std::to_string(n % 37));
    body += TextFrame(major, encoding, "TALB", "Album " + std::to_string(n % 23));
    body += TextFrame(major, encoding, "TRCK", std::to_string(n % 14 + 1) + "/14");
    body += TextFrame(major, encoding, major == 4 ? "TDRC" : "TYER", std::to_string(1970 + n % 50));
    body += TextFrame(major, encoding, "TCON", "(17)Rock");
    body += TextFrame(major, encoding, "TSSE", "encoder 3.100");
    if (n % 2 == 0) body += TextFrame(major, encoding, "TPOS", "1/1");
    body += CommentFrame(major, encoding, "iTunNORM", " 00000A1B 00000C2D 0000812F 0000A3E1");
    body += CommentFrame(major, encoding, "", "A comment for song " + number);
    if (HasPicture(n)) {
        size_t size = 200000 + random() % 300001;
        std::string picture = std::string("\0image/jpeg\0\x03\0", 14);
        picture.reserve(size);
        while (picture.size() < size) picture += static_cast<char>(random());
        body += Frame(major, "APIC", picture);
    }
    size_t padding = n % 5 == 0 ? 0 : 512 + random() % 3585;
    return Header(major, body.size() + padding) + body + std::string(padding, '\0');
}

// What an encoder writes: a few text frames in Latin-1, some in UTF-16.
std::string SmallFilesTag(int n, const Plan& plan) {
    int major = n % 4 == 0 ? 4 : 3;
    int encoding = n % 6 == 1 ? 1 : 0;
    std::string body;
    body += TextFrame(major, encoding, "TIT2", plan.title);
    body += TextFrame(major, encoding, "TPE1", "Artist " + std::to_string(n % 37));
    body += TextFrame(major, encoding, "TALB", "Album " + std::to_string(n % 23));
    body += TextFrame(major, encoding, "TRCK", std::to_string(n % 12 + 1));
    if (n % 2 == 0) body += TextFrame(major, encoding, major == 4 ? "TDRC" : "TYER", std::to_string(1970 + n % 50));
    if (n % 3 == 0) body += TextFrame(major, encoding, "TCON", "(12)");
    if (n % 4 != 3) body += TextFrame(major, encoding, "TSSE", "encoder 3.100");
    size_t padding = n % 2 == 0 ? 0 : 1024;
    return Header(major, body.size() + padding) + body + std::string(padding, '\0');
}

// One frame of silence at kbps; the padding bit keeps the stream at its nominal rate.
std::string MpegFrame(int kbps, uint8_t modeByte, int64_t& carry) {
    int64_t ideal = kFrameCoefficient * kbps;
    int64_t plain = ideal / kSampleRate;
    carry += ideal - plain * kSampleRate;
    bool padded = carry >= kSampleRate;
    if (padded) carry -= kSampleRate;
    std::string frame(static_cast<size_t>(plain + (padded ? 1 : 0)), '\0');
    frame[0] = static_cast<char>(kSync);
    frame[1] = static_cast<char>(kMPEG1Layer3NoCRC);
    frame[2] = static_cast<char>(RateIndex(kbps) << 4 | (padded ? kPaddingBit : 0));
    frame[3] = static_cast<char>(modeByte);
    return frame;
}

bool WriteFile(const std::string& path, Shape shape, int n, std::mt19937& random) {
    const Plan plan = PlanOf(shape, n);
    std::string head;
    if (plan.id3v2) head = shape == Shape::Pictures ? PicturesTag(n, plan, random) : SmallFilesTag(n, plan);
    uint8_t mode = plan.mono ? kMonoOriginal : kJointStereoOriginal;
    int64_t carry = 0;
    std::string start, end;
    for (int i = 0; i < kFramesAtEachEnd; ++i) {
        int kbps = plan.vbr ? kVbrCycle[static_cast<size_t>(i) % kVbrCycle.size()] : plan.cbrKbps;
        start += MpegFrame(kbps, mode, carry);
        end += MpegFrame(kbps, mode, carry);
    }
    int64_t audio = plan.audioBytes;
    if (plan.vbr) {
        // The Xing frame counts the frames the stream would have at its mean rate.
        std::string xing = MpegFrame(128, mode, carry);
        uint32_t frames = static_cast<uint32_t>(ExpectedOf(shape, n).seconds * kSampleRate / kSamplesPerFrame + 0.5);
        xing.replace(plan.mono ? kXingAtMono : kXingAtStereo, 16,
                     "Xing" + Be32(kXingFramesAndBytes) + Be32(frames) + Be32(static_cast<uint32_t>(audio)));
        start = xing + start;
    }
    std::string tail = end;
    if (plan.id3v1) {
        std::string v1 = "TAG" + std::string(kID3v1Size - 3, '\0');
        std::string title = plan.title.substr(0, 30);
        v1.replace(3, title.size(), title);
        v1[kID3v1Genre] = 17;
        tail += v1;
    }

    vemo::File file = vemo::File::CreateAlways(path);
    if (!file || !file.Write(head.data(), head.size()) || !file.Write(start.data(), start.size())) return false;
    int64_t audioEnd = static_cast<int64_t>(head.size()) + audio;
    return file.Seek(audioEnd - static_cast<int64_t>(end.size())) && file.Write(tail.data(), tail.size());
}

std::string Stamp(Shape shape, int count) {
    std::string stamp = shape == Shape::Pictures ? kPicturesLayout : kSmallFilesLayout;
    stamp += ' ';
    stamp += std::to_string(count);
    stamp += '\n';
    return stamp;
}

}  // namespace

Expected ExpectedOf(Shape shape, int n) {
    const Plan plan = PlanOf(shape, n);
    Expected expected;
    if (plan.id3v2) expected.title = plan.title;
    // The Xing frame declares 160 kbit/s worth of frames for a VBR file.
    int kbps = plan.vbr ? 160 : plan.cbrKbps;
    expected.kbps = plan.vbr ? 0 : kbps;
    expected.seconds = static_cast<double>(plan.audioBytes) * 8 / (kbps * 1000.0);
    return expected;
}

bool MakeLibrary(const std::string& folder, Shape shape, int count, Library& library, std::string& error) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string stampPath = (fs::path(folder) / kStampName).string();
    std::string stamp;
    {
        std::ifstream in(stampPath);
        std::getline(in, stamp);
        stamp += "\n";
    }
    library.reused = stamp == Stamp(shape, count);
    if (!library.reused) fs::remove(stampPath, ec);

    std::mt19937 random(12345);
    library.files.clear();
    library.apparentBytes = 0;
    for (int n = 0; n < count; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "track%05d.mp3", n);
        std::string path = (fs::path(folder) / name).string();
        if (!library.reused && !WriteFile(path, shape, n, random)) {
            error = "cannot write " + path;
            return false;
        }
        library.apparentBytes += static_cast<double>(fs::file_size(path, ec));
        library.files.push_back(path);
    }
    if (!library.reused) std::ofstream(stampPath) << Stamp(shape, count);
    return true;
}

}  // namespace bench
