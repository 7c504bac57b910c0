// Loading and saving the plug-in's section of a 100 KB Plugin.ini that other plug-ins
// share, beside a reader that asks the system for one byte at a time and does nothing
// but split lines, and beside a floor: one read of the whole file for loading; for
// saving, writing the whole file beside the old one, forcing it to disk and renaming
// it over the old one, the least a crash-safe save can do.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>
#include <iterator>
#include <string>

#include "rows.h"
#include "settings/settings_file.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr size_t kTargetBytes = 100 * 1024;
constexpr int kPasses = 200;
constexpr double kTargetSeconds = 2e-3;
constexpr double kTargetRatio = 20;

std::string OtherSections() {
    std::string text;
    for (int section = 0; text.size() < kTargetBytes; ++section) {
        text += "[Other Plugin " + std::to_string(section) + "]\r\n";
        for (int key = 0; key < 12; ++key) {
            text += "Setting" + std::to_string(key) + "=value " + std::to_string(section * 100 + key) +
                    " with some words\r\n";
        }
        text += "\r\n";
    }
    return text;
}

size_t ByteWiseLines(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    std::vector<std::string> lines(1);
    char c;
    while (::read(fd, &c, 1) == 1) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c != '\r') {
            lines.back() += c;
        }
    }
    ::close(fd);
    return lines.size();
}

size_t WholeRead(const std::string& path) {
    static char buffer[4 * kTargetBytes];
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

bool WriteSyncRename(const std::string& path, const std::string& content) {
    std::string temp = path + ".floor";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) && ::fsync(fd) == 0;
    ::close(fd);
    return ok && ::rename(temp.c_str(), path.c_str()) == 0;
}

std::string Ratio(const Passes& peer, const Passes& value, const Passes& floor) {
    return Times(peer.Best() / value.Best()) + " faster than peer; " + Times(value.Best() / floor.Best()) +
           " the floor's time";
}

Row SettingsRow(const char* name, const Passes& value, const Passes& peer, const char* floorName, const Passes& floor) {
    Row row;
    row.name = name;
    row.value = BestMedian(value);
    row.peer = "byte reads " + BestMedian(peer);
    row.floor = floorName + BestMedian(floor);
    row.ratios = Ratio(peer, value, floor);
    row.target = ">= 20x peer, < 2 ms";
    row.met = peer.Best() / value.Best() >= kTargetRatio && value.Best() < kTargetSeconds ? Met::Yes : Met::No;
    return row;
}

}  // namespace

bool SettingsRows(const Options& options, std::vector<Row>& rows) {
    const fs::path folder = fs::path(options.folder) / "settings";
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string path = (folder / "Plugin.ini").string();
    const std::string floorPath = (folder / "Floor.ini").string();
    {
        std::string others = OtherSections();
        if (!WriteSyncRename(path, others)) return std::fprintf(stderr, "cannot write %s\n", path.c_str()), false;
    }
    vemo::Settings settings = vemo::DefaultSettings();
    settings.DestinationFolder = "C:\\Music\\Sorted";
    if (vemo::WriteSettings(path, settings) != vemo::SettingsStatus::Ok) {
        return std::fprintf(stderr, "cannot save the settings into %s\n", path.c_str()), false;
    }
    std::string content;
    {
        std::ifstream in(path, std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::printf("settings: Plugin.ini of %zu bytes in %s, %d passes each after one to warm up\n", content.size(),
                folder.string().c_str(), kPasses);

    size_t sink = 0;
    auto load = [&] {
        vemo::Settings loaded = vemo::DefaultSettings();
        sink += vemo::ReadSettings(path, loaded) == vemo::SettingsStatus::Ok ? loaded.DestinationFolder.size() : 0;
    };
    auto save = [&] { sink += vemo::WriteSettings(path, settings) == vemo::SettingsStatus::Ok ? 1 : 0; };
    auto peer = [&] { sink += ByteWiseLines(path); };
    auto readFloor = [&] { sink += WholeRead(path); };
    auto writeFloor = [&] { sink += WriteSyncRename(floorPath, content) ? 1 : 0; };
    load(), save(), peer(), readFloor(), writeFloor();
    ::sync();
    // In turns within each round, so that a busy moment of the shared disk falls on all.
    Passes loads, saves, peers, reads, writes;
    for (int pass = 0; pass < kPasses; ++pass) {
        for (auto [work, passes] : {std::pair<std::function<void()>, Passes*>{load, &loads}, {save, &saves}, {peer, &peers},
                                    {readFloor, &reads}, {writeFloor, &writes}}) {
            Clock::time_point start = Clock::now();
            work();
            passes->Add(SecondsSince(start));
        }
    }
    std::printf("  load                          %s\n", BestMedian(loads).c_str());
    std::printf("  save (read, compose, fsync, swap) %s\n", BestMedian(saves).c_str());
    std::printf("  peer: a read() per byte, lines %s\n", BestMedian(peers).c_str());
    std::printf("  floor: one read()              %s\n", BestMedian(reads).c_str());
    std::printf("  floor: write, fsync, rename    %s\n", BestMedian(writes).c_str());
    std::printf("  (checksum %zu)\n", sink);

    rows.push_back(SettingsRow("3 settings 100 KB, load", loads, peers, "one read ", reads));
    rows.push_back(SettingsRow("3 settings 100 KB, save", saves, peers, "write+fsync+rename ", writes));

    fs::remove_all(folder, ec);
    return true;
}

}  // namespace bench
