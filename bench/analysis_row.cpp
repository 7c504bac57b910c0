// The information texts over the library, beside a general tag-reading library
// reading the same facts (stream properties, both tags) and beside the least any reader
// must do: open, read the first 16 KiB and the last 128 bytes, close. Bytes and read
// calls per file come from the kernel's counts for this process (rchar, syscr in
// /proc/self/io), which are what the process asked for, cached or not.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include <id3v1tag.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <mpegproperties.h>

#include "audio/info_text.h"
#include "bench_library.h"
#include "rows.h"

namespace bench {

namespace {

constexpr size_t kFloorHead = 16 * 1024;
constexpr off_t kFloorTail = 128;

struct IoCounters {
    double bytes = 0;
    double calls = 0;
};

IoCounters ReadIoCounters() {
    IoCounters io;
    std::ifstream in("/proc/self/io");
    std::string key;
    double value;
    while (in >> key >> value) {
        if (key == "rchar:") io.bytes = value;
        if (key == "syscr:") io.calls = value;
    }
    return io;
}

size_t gSink = 0;  // keeps the work from being optimised away

// What vemo-info prints of a file: the stream facts and both tags, from one open.
void VemoTexts(const std::string& path) {
    vemo::InformationTexts all = vemo::AllInformation(path, 0);
    gSink += all.fileInfo->body.size() + all.id3v2.body.size() + all.id3v1.body.size();
}

void TagSize(const TagLib::Tag* tag) {
    if (!tag) return;
    gSink += tag->title().to8Bit(true).size() + tag->artist().to8Bit(true).size() + tag->album().to8Bit(true).size() +
             tag->comment().to8Bit(true).size() + tag->genre().to8Bit(true).size() + tag->year() + tag->track();
}

void TagLibFacts(const std::string& path) {
    TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
    if (const TagLib::MPEG::Properties* p = file.audioProperties()) {
        gSink += static_cast<size_t>(p->lengthInMilliseconds() + p->bitrate() + p->sampleRate() + p->channels());
        gSink += p->xingHeader() ? 1 : 0;
    }
    TagSize(file.ID3v2Tag());
    TagSize(file.ID3v1Tag());
}

void Floor(const std::string& path) {
    static char buffer[kFloorHead];
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    gSink += static_cast<size_t>(::read(fd, buffer, kFloorHead));
    if (::lseek(fd, -kFloorTail, SEEK_END) >= 0) gSink += static_cast<size_t>(::read(fd, buffer, kFloorTail));
    ::close(fd);
}

struct Contender {
    const char* name;
    std::function<void(const std::string&)> work;
    Passes passes;
    IoCounters perFile;
};

// Whether vemo's analysis and the peer see what each file was made with.
void CheckLibrary(const Library& library) {
    int vemoSound = 0, peerSound = 0;
    for (size_t n = 0; n < library.files.size(); ++n) {
        const std::string& path = library.files[n];
        Expected expected = ExpectedOf(static_cast<int>(n));
        vemo::TMPEG mpeg;
        vemo::FileInformation(path, 0, {}, &mpeg);
        vemo::TID3v2Tag tag;
        vemo::ID3v2Information(path, {}, &tag);
        double seconds = static_cast<double>(mpeg.Duration) / 100;
        if (tag.Title == expected.title && std::fabs(seconds - expected.seconds) < 1.5 &&
            (expected.kbps == 0 || std::lround(mpeg.Bitrate) == expected.kbps)) {
            ++vemoSound;
        }
        TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
        const TagLib::MPEG::Properties* p = file.audioProperties();
        std::string title = file.ID3v2Tag() ? file.ID3v2Tag()->title().to8Bit(true) : "";
        if (p && title == expected.title && std::fabs(p->lengthInMilliseconds() / 1000.0 - expected.seconds) < 1.5 &&
            (expected.kbps == 0 || p->bitrate() == expected.kbps)) {
            ++peerSound;
        }
    }
    std::printf("  files read as written: vemo %d, TagLib %d of %zu\n", vemoSound, peerSound, library.files.size());
}

}  // namespace

bool AnalysisRows(const Options& options, std::vector<Row>& rows) {
    Library library;
    std::string error;
    std::printf("analysis: %d files in %s/library ...\n", options.files, options.folder.c_str());
    if (!MakeLibrary(options.folder + "/library", options.files, library, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("  library %s: %.2f GB as listed (sparse audio)\n", library.reused ? "reused" : "generated",
                library.apparentBytes / 1e9);
    CheckLibrary(library);

    std::vector<Contender> contenders{
        {"vemo information texts, one open", VemoTexts, {}, {}},
        {"TagLib 1.13, properties + both tags", TagLibFacts, {}, {}},
        {"floor: open, 16 KiB + last 128 B, close", Floor, {}, {}},
        // Each text alone, as one key press makes it (tag test, then read): details, not judged.
        {"  vemo file information alone", [](const std::string& p) { gSink += vemo::FileInformation(p, 0)->body.size(); }, {}, {}},
        {"  vemo ID3v2 text alone", [](const std::string& p) { gSink += vemo::ID3v2Information(p).body.size(); }, {}, {}},
        {"  vemo ID3v1 text alone", [](const std::string& p) { gSink += vemo::ID3v1Information(p).body.size(); }, {}, {}}};
    const double count = static_cast<double>(library.files.size());
    std::printf("  each contender: one pass over the whole library to warm the page cache, then %d timed passes,\n"
                "  the contenders taking turns within each pass round so that noise falls on all alike\n",
                options.passes);
    for (Contender& c : contenders) {
        for (const std::string& path : library.files) c.work(path);
    }
    for (int pass = 0; pass < options.passes; ++pass) {
        for (Contender& c : contenders) {
            IoCounters before = ReadIoCounters();
            Clock::time_point start = Clock::now();
            for (const std::string& path : library.files) c.work(path);
            c.passes.Add(SecondsSince(start));
            IoCounters after = ReadIoCounters();
            c.perFile.bytes += (after.bytes - before.bytes) / (count * options.passes);
            c.perFile.calls += (after.calls - before.calls) / (count * options.passes);
        }
    }
    for (const Contender& c : contenders) {
        std::printf("  %-42s %s files/s  %9.0f bytes read/file  %5.1f reads/file\n", c.name,
                    RateBestMedian(c.passes, count, "").c_str(), c.perFile.bytes, c.perFile.calls);
    }
    std::printf("  (checksum %zu)\n", gSink);

    const Contender& vemo = contenders[0];
    const Contender& peer = contenders[1];
    const Contender& floor = contenders[2];
    double vsPeer = peer.passes.Best() / vemo.passes.Best();
    double vsFloor = vemo.passes.Best() / floor.passes.Best();
    Row row;
    row.name = "1 analysis, files/s";
    row.value = RateBestMedian(vemo.passes, count, "");
    row.peer = "TagLib " + RateBestMedian(peer.passes, count, "");
    row.floor = RateBestMedian(floor.passes, count, "");
    row.ratios = Times(vsPeer) + " TagLib's rate; " + Times(vsFloor) + " the floor's time";
    row.target = ">= 8x TagLib, <= 2x floor";
    row.met = vsPeer >= 8 && vsFloor <= 2 ? Met::Yes : Met::No;
    rows.push_back(row);

    char bytes[3][32];
    for (size_t i = 0; i < 3; ++i) std::snprintf(bytes[i], sizeof bytes[i], "%.0f B", contenders[i].perFile.bytes);
    Row read;
    read.name = "1 analysis, bytes read/file";
    read.value = bytes[0];
    read.peer = std::string("TagLib ") + bytes[1];
    read.floor = bytes[2];
    read.ratios = Times(vemo.perFile.bytes / peer.perFile.bytes) + " TagLib's; " + Times(vemo.perFile.bytes / floor.perFile.bytes) +
                  " the floor's";
    read.target = "(shown, not judged)";
    rows.push_back(read);
    return true;
}

}  // namespace bench
