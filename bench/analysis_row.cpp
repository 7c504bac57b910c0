// The information texts over two libraries (one picture-heavy, one of small files as an
// encoder writes them), each beside a general tag-reading library reading the same
// facts (stream properties, both tags) and beside the least any reader must do: open,
// read the first 16 KiB and the last 128 bytes, close. Bytes and read calls per file
// come from the kernel's counts for this process (rchar, syscr in /proc/self/io), which
// are what the process asked for, cached or not; all system calls and the opens among
// them from the kernel's tracepoints, where this process may count them.
#include <fcntl.h>
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
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

// Counts one kind of this thread's system calls through a kernel tracepoint; not open
// when the tracepoint or the right to count it is missing.
class TracepointCounter {
public:
    explicit TracepointCounter(const char* event) {
        uint64_t id = 0;
        for (const char* root : {"/sys/kernel/tracing/events/", "/sys/kernel/debug/tracing/events/"}) {
            std::ifstream in(std::string(root) + event + "/id");
            if (in >> id) break;
        }
        if (id == 0) return;
        perf_event_attr attr{};
        attr.type = PERF_TYPE_TRACEPOINT;
        attr.size = sizeof attr;
        attr.config = id;
        attr.disabled = 1;
        fd_ = static_cast<int>(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
    }
    ~TracepointCounter() {
        if (fd_ >= 0) ::close(fd_);
    }
    TracepointCounter(const TracepointCounter&) = delete;
    TracepointCounter& operator=(const TracepointCounter&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    void Start() {
        if (fd_ < 0) return;
        ::ioctl(fd_, PERF_EVENT_IOC_RESET, 0);
        ::ioctl(fd_, PERF_EVENT_IOC_ENABLE, 0);
    }
    // The count since Start, or -1.
    double Stop() {
        uint64_t count = 0;
        if (fd_ < 0) return -1;
        ::ioctl(fd_, PERF_EVENT_IOC_DISABLE, 0);
        return ::read(fd_, &count, sizeof count) == static_cast<ssize_t>(sizeof count) ? static_cast<double>(count) : -1;
    }

private:
    int fd_ = -1;
};

size_t gSink = 0;  // keeps the work from being optimised away

// What vemo-info reads of a file: the stream facts and both tags from one open, or why
// the file cannot be opened.
void VemoTexts(const std::string& path) {
    vemo::InformationTexts all = vemo::AllInformation(path, 0);
    if (all.openError) return;
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
    double callsPerFile = -1;  // all system calls; -1 when they cannot be counted
    double opensPerFile = -1;
};

// Whether vemo's analysis and the peer see what each file was made with.
void CheckLibrary(const Library& library, Shape shape) {
    int vemoSound = 0, peerSound = 0;
    for (size_t n = 0; n < library.files.size(); ++n) {
        const std::string& path = library.files[n];
        Expected expected = ExpectedOf(shape, static_cast<int>(n));
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

std::string PerFile(const Contender& c) {
    char text[64];
    if (c.callsPerFile < 0) std::snprintf(text, sizeof text, "%.0f B", c.perFile.bytes);
    else std::snprintf(text, sizeof text, "%.0f B, %.1f calls", c.perFile.bytes, c.callsPerFile);
    return text;
}

// The rows of one library: the contenders' rates, and what each reads per file.
bool LibraryRows(const Options& options, Shape shape, std::vector<Row>& rows) {
    const bool pictures = shape == Shape::Pictures;
    const std::string label = pictures ? "pictures" : "small files";
    const std::string folder = options.folder + (pictures ? "/library" : "/small-files");
    Library library;
    std::string error;
    std::printf("analysis (%s): %d files in %s ...\n", label.c_str(), options.files, folder.c_str());
    if (!MakeLibrary(folder, shape, options.files, library, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("  library %s: %.2f GB as listed (sparse audio)\n", library.reused ? "reused" : "generated",
                library.apparentBytes / 1e9);
    CheckLibrary(library, shape);

    std::vector<Contender> contenders{
        {"vemo-info's reading, one open", VemoTexts, {}, {}},
        {"TagLib 1.13, properties + both tags", TagLibFacts, {}, {}},
        {"floor: open, 16 KiB + last 128 B, close", Floor, {}, {}},
        // Each text alone, as one key press makes it (tag test, then read): details, not judged.
        {"  vemo file information alone", [](const std::string& p) { gSink += vemo::FileInformation(p, 0)->body.size(); }, {}, {}},
        {"  vemo ID3v2 text alone", [](const std::string& p) { gSink += vemo::ID3v2Information(p).body.size(); }, {}, {}},
        {"  vemo ID3v1 text alone", [](const std::string& p) { gSink += vemo::ID3v1Information(p).body.size(); }, {}, {}}};
    const double count = static_cast<double>(library.files.size());
    std::printf("  each contender: one pass over the whole library to warm the page cache (and count its system\n"
                "  calls), then %d timed passes, the contenders taking turns within each pass round so that noise\n"
                "  falls on all alike\n",
                options.passes);
    // Counting slows every system call, so it is left to the untimed pass.
    TracepointCounter calls("raw_syscalls/sys_enter");
    TracepointCounter opens("syscalls/sys_enter_openat");
    for (Contender& c : contenders) {
        calls.Start();
        opens.Start();
        for (const std::string& path : library.files) c.work(path);
        double opened = opens.Stop();
        double called = calls.Stop();
        if (called >= 0) c.callsPerFile = called / count;
        if (opened >= 0) c.opensPerFile = opened / count;
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
        std::printf("  %-42s %s files/s  %9.0f bytes read/file  %5.1f reads/file", c.name,
                    RateBestMedian(c.passes, count, "").c_str(), c.perFile.bytes, c.perFile.calls);
        if (c.callsPerFile >= 0) std::printf("  %5.1f system calls/file", c.callsPerFile);
        if (c.opensPerFile >= 0) std::printf(" (%.1f opens)", c.opensPerFile);
        std::puts("");
    }
    if (!calls.IsOpen()) std::puts("  (system calls not counted: no right to the kernel's tracepoints)");
    std::printf("  (checksum %zu)\n", gSink);

    const Contender& vemo = contenders[0];
    const Contender& peer = contenders[1];
    const Contender& floor = contenders[2];
    double vsPeer = peer.passes.Best() / vemo.passes.Best();
    double vsFloor = vemo.passes.Best() / floor.passes.Best();
    Row row;
    row.name = "1 analysis (" + label + "), files/s";
    row.value = RateBestMedian(vemo.passes, count, "");
    row.peer = "TagLib " + RateBestMedian(peer.passes, count, "");
    row.floor = RateBestMedian(floor.passes, count, "");
    row.ratios = Times(vsPeer) + " TagLib's rate; " + Times(vsFloor) + " the floor's time";
    row.target = ">= 8x TagLib, <= 1.5x floor";
    row.met = vsPeer >= 8 && vsFloor <= 1.5 ? Met::Yes : Met::No;
    rows.push_back(row);

    Row read;
    read.name = "1 analysis (" + label + "), read/file";
    read.value = PerFile(vemo);
    read.peer = "TagLib " + PerFile(peer);
    read.floor = PerFile(floor);
    read.ratios = Times(vemo.perFile.bytes / peer.perFile.bytes) + " TagLib's bytes; " +
                  Times(vemo.perFile.bytes / floor.perFile.bytes) + " the floor's";
    read.target = "(shown, not judged)";
    rows.push_back(read);
    return true;
}

}  // namespace

bool AnalysisRows(const Options& options, std::vector<Row>& rows) {
    bool ok = LibraryRows(options, Shape::Pictures, rows);
    std::puts("");
    return LibraryRows(options, Shape::SmallFiles, rows) && ok;
}

}  // namespace bench
