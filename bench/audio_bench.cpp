// How fast the information texts are made over a library of MP3 files with typical
// tags, and how many bytes each file costs to read. The library is generated into a
// temporary folder: ID3v2.3 and 2.4 tags in all encodings, comments with and without
// description, pictures of up to 600 KB in a third of the files, padding, CBR and VBR
// streams, ID3v1 tags on two thirds. The audio in the middle of a file is a sparse hole,
// since nothing reads it.
//
//   vemo_audio_bench [FILES] [PASSES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/info_text.h"
#include "text/file_access.h"
#include "text/text.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// Text in the given encoding (ASCII input), with its terminator as many writers store it.
std::string Encoded(int encoding, const std::string& text) {
    std::string out(1, static_cast<char>(encoding));
    if (encoding == 1) out += "\xFF\xFE";
    for (char c : text) {
        if (encoding == 2) out += '\0';
        out += c;
        if (encoding == 1) out += '\0';
    }
    out += encoding == 1 || encoding == 2 ? std::string(2, '\0') : std::string(1, '\0');
    return out;
}

std::string MpegFrame(std::mt19937& random, size_t length) {
    std::string f = "\xFF\xFB\x90\x64";
    f.reserve(length);
    while (f.size() < length) f += static_cast<char>(random() & 0x7F);  // payload without false syncs
    return f;
}

bool WriteLibraryFile(const std::string& path, int n, std::mt19937& random) {
    int major = n % 4 == 0 ? 4 : 3;
    int encoding = major == 4 ? (n % 8 == 0 ? 3 : 0) : (n % 3 == 0 ? 1 : 0);
    std::string number = vemo::NumToStr(false, n);
    std::string body;
    body += Frame(major, "TIT2", Encoded(encoding, "Song number " + number));
    body += Frame(major, "TPE1", Encoded(encoding, "Artist " + vemo::NumToStr(false, n % 37)));
    body += Frame(major, "TALB", Encoded(encoding, "Album " + vemo::NumToStr(false, n % 23)));
    body += Frame(major, "TRCK", Encoded(encoding, vemo::NumToStr(false, n % 14 + 1) + "/14"));
    body += Frame(major, major == 4 ? "TDRC" : "TYER", Encoded(encoding, "2004"));
    body += Frame(major, "TCON", Encoded(encoding, "(17)Rock"));
    body += Frame(major, "TSSE", Encoded(encoding, "encoder 3.100"));
    std::string comm = Encoded(encoding, "iTunNORM");
    body += Frame(major, "COMM", comm.substr(0, 1) + "eng" + comm.substr(1) + Encoded(encoding, " 00000A1B 00000C2D").substr(1));
    body += Frame(major, "COMM", std::string(1, static_cast<char>(encoding)) + "eng" + Encoded(encoding, "").substr(1) +
                                     Encoded(encoding, "A comment for " + number).substr(1));
    if (n % 3 == 0) {
        size_t pictureSize = 30000 + random() % 570000;
        std::string picture = std::string("\0image/jpeg\0\x03\0", 14);
        picture.reserve(pictureSize);
        while (picture.size() < pictureSize) picture += static_cast<char>(random());
        body += Frame(major, "APIC", picture);
    }
    size_t padding = n % 5 == 0 ? 0 : 1024 + random() % 8192;
    std::string head = "ID3" + std::string(1, static_cast<char>(major)) + std::string(2, '\0') +
                       SyncSafe32(static_cast<uint32_t>(body.size() + padding)) + body + std::string(padding, '\0');

    bool vbr = n % 2 == 1;
    int64_t audioSize = 3000000 + static_cast<int64_t>(random() % 5000000);
    std::string first = MpegFrame(random, 418);
    if (vbr) first.replace(36, 16, "Xing" + Be32(0x0F) + Be32(static_cast<uint32_t>(audioSize / 418)) + Be32(static_cast<uint32_t>(audioSize)));
    head += first;
    for (int i = 0; i < 40; ++i) head += MpegFrame(random, 418);
    std::string tail;
    for (int i = 0; i < 40; ++i) tail += MpegFrame(random, 418);
    if (n % 3 != 2) {
        std::string v1 = "TAG" + std::string(125, '\0');
        v1.replace(3, 11, "Song " + number);
        v1[127] = 17;
        tail += v1;
    }

    vemo::File file = vemo::File::CreateAlways(path);
    if (!file || !file.Write(head.data(), head.size())) return false;
    int64_t end = static_cast<int64_t>(head.size()) + audioSize;
    return file.Seek(end - static_cast<int64_t>(tail.size())) && file.Write(tail.data(), tail.size());
}

struct IoCounters {
    uint64_t bytes = 0;
    uint64_t calls = 0;
};

// What the process has read so far, from the kernel's own count.
IoCounters ReadIoCounters() {
    IoCounters io;
    std::ifstream in("/proc/self/io");
    std::string key;
    uint64_t value;
    while (in >> key >> value) {
        if (key == "rchar:") io.bytes = value;
        if (key == "syscr:") io.calls = value;
    }
    return io;
}

template <typename Work>
void Measure(const char* name, const std::vector<std::string>& files, int passes, Work work) {
    double best = 0;
    IoCounters before = ReadIoCounters();
    for (int pass = 0; pass < passes; ++pass) {
        Clock::time_point start = Clock::now();
        for (const std::string& path : files) work(path);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        double rate = static_cast<double>(files.size()) / seconds;
        if (rate > best) best = rate;
    }
    IoCounters after = ReadIoCounters();
    double runs = static_cast<double>(files.size()) * passes;
    std::printf("%-32s %10.0f files/s %10.0f bytes read/file %6.1f reads/file\n", name, best,
                static_cast<double>(after.bytes - before.bytes) / runs, static_cast<double>(after.calls - before.calls) / runs);
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 300;
    int passes = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count <= 0 || passes <= 0) {
        std::fputs("usage: vemo_audio_bench [FILES] [PASSES]\n", stderr);
        return 2;
    }

    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error) / ("vemo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder, error);
    std::mt19937 random(12345);
    std::vector<std::string> files;
    uint64_t apparent = 0;
    for (int n = 0; n < count; ++n) {
        std::string path = (folder / ("track" + std::to_string(n) + ".mp3")).string();
        if (!WriteLibraryFile(path, n, random)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        apparent += std::filesystem::file_size(path, error);
        files.push_back(path);
    }
    std::printf("library: %d files, %.1f MB (sparse), %d passes, best pass counted\n", count,
                static_cast<double>(apparent) / 1e6, passes);

    // The figures only mean something when the library reads as it was written.
    int sound = 0;
    for (const std::string& path : files) {
        vemo::TMPEG mpeg = vemo::AnalyzeMPEG(path);
        vemo::TID3v2Tag tag = vemo::ReadID3v2(path).value_or(vemo::TID3v2Tag{});
        if (mpeg.Frames > 0 && mpeg.SampleRate == 44100 && tag.Title.rfind("Song number ", 0) == 0 && !tag.Comment.empty()) ++sound;
    }
    std::printf("files read as written: %d of %d\n", sound, count);

    size_t sink = 0;
    Measure("AnalyzeMPEG", files, passes, [&](const std::string& p) { sink += vemo::AnalyzeMPEG(p).HeaderPos.size(); });
    Measure("ReadID3v2", files, passes, [&](const std::string& p) { sink += vemo::ReadID3v2(p).value_or(vemo::TID3v2Tag{}).Title.size(); });
    Measure("ReadID3v1", files, passes, [&](const std::string& p) { sink += vemo::ReadID3v1(p).value_or(vemo::TID3v1Tag{}).Title.size(); });
    Measure("file information text", files, passes, [&](const std::string& p) { sink += vemo::FileInformation(p, 0)->body.size(); });
    Measure("any-tag text", files, passes, [&](const std::string& p) { sink += vemo::ID3AnyInformation(p).body.size(); });
    Measure("both (vemo-info default)", files, passes, [&](const std::string& p) {
        sink += vemo::FileInformation(p, 0)->body.size() + vemo::ID3AnyInformation(p).body.size();
    });
    std::printf("(checksum %zu)\n", sink);

    std::filesystem::remove_all(folder, error);
    return 0;
}
