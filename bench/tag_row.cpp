// Tagging a large MP3 file from its name. With no tag the audio has to move: the writer
// copies the file into a temporary one and swaps it in. With an old tag that has room
// the new tag is written over it in place. Beside them: `cp` of the same file, the
// least a move of the audio can cost, and the way audio used to be moved, in place in
// blocks as long as the tag (read a block, write it one tag length further, from the
// end backwards). Every pass starts from a fresh copy made before the clock starts, so
// all contenders work on a file the system has just cached. The writer forces its data
// to disk and cp does not, so cp followed by an fsync is shown in the details too.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "audio/tag_writer.h"
#include "rows.h"
#include "text/file_access.h"

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMiB = size_t{1} << 20;
// An old 2.3 tag with TPE1 and TIT2 and room to spare, as many tools leave one.
constexpr size_t kOldTagPadding = 4096;

bool WriteAudio(vemo::File& out, int megabytes) {
    std::mt19937 random(1);
    std::string block(kMiB, '\0');
    for (int i = 0; i < megabytes; ++i) {
        for (char& c : block) c = static_cast<char>(random() & 0x7F);  // no "ID3", no sync words
        if (!out.Write(block.data(), block.size())) return false;
    }
    return true;
}

std::string OldTag() {
    auto frame = [](const std::string& id, const std::string& text) {
        uint32_t size = static_cast<uint32_t>(text.size() + 1);
        std::string f = id;
        for (int shift = 24; shift >= 0; shift -= 8) f += static_cast<char>(size >> shift);
        return f + std::string(3, '\0') + text;  // flags, then encoding 0
    };
    std::string body = frame("TPE1", "Old Artist") + frame("TIT2", "Old Title") + std::string(kOldTagPadding, '\0');
    uint32_t size = static_cast<uint32_t>(body.size());
    std::string head = "ID3\x03";
    head += std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7) head += static_cast<char>((size >> shift) & 0x7F);
    return head + body;
}

bool Cp(const std::string& from, const std::string& to) {
    std::string command = "cp -- '" + from + "' '" + to + "'";
    return std::system(command.c_str()) == 0;
}

bool FsyncFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

// The old way to make room for a tag of tagLength bytes at the start.
bool MoveInTagLengthBlocks(const std::string& path, const std::string& tag) {
    vemo::File file = vemo::File::OpenReadWrite(path);
    int64_t size = file.Size();
    if (!file || size < 0) return false;
    const int64_t step = static_cast<int64_t>(tag.size());
    std::string block(tag.size(), '\0');
    for (int64_t end = size; end > 0;) {
        int64_t at = end > step ? end - step : 0;
        size_t length = static_cast<size_t>(end - at);
        if (!file.Seek(at) || file.Read(block.data(), length) != static_cast<int64_t>(length)) return false;
        if (!file.Seek(at + step) || !file.Write(block.data(), length)) return false;
        end = at;
    }
    return file.Seek(0) && file.Write(tag.data(), tag.size()) && file.Flush();
}

std::string Ratio(const Passes& value, const Passes& base, const char* of) {
    return Times(value.Best() / base.Best()) + " " + of;
}

}  // namespace

bool TagRows(const Options& options, std::vector<Row>& rows) {
    const fs::path folder = fs::path(options.folder) / "tag";
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string plain = (folder / "plain.source").string();
    const std::string tagged = (folder / "tagged.source").string();
    const std::string copy = (folder / "copy.mp3").string();
    const std::string target = (folder / "Some Artist - A Title Well Beyond Thirty Characters.mp3").string();
    std::printf("tag: %d MB file in %s, %d passes, each on a fresh cached copy\n", options.megabytes,
                folder.string().c_str(), options.passes);
    {
        vemo::File out = vemo::File::CreateAlways(plain);
        if (!out || !WriteAudio(out, options.megabytes)) return std::fprintf(stderr, "cannot write %s\n", plain.c_str()), false;
        std::string old = OldTag();
        vemo::File withTag = vemo::File::CreateAlways(tagged);
        if (!withTag || !withTag.Write(old.data(), old.size()) || !WriteAudio(withTag, options.megabytes)) {
            return std::fprintf(stderr, "cannot write %s\n", tagged.c_str()), false;
        }
    }

    // The tag the writer gives a file without one: its length is the old method's block.
    fs::copy_file(plain, target, fs::copy_options::overwrite_existing, ec);
    std::string newTag;
    if (vemo::WriteTagFromFileName(target).Status == vemo::TagWriteStatus::Created) {
        size_t length = static_cast<size_t>(fs::file_size(target) - fs::file_size(plain));
        vemo::File in = vemo::File::OpenRead(target);
        newTag.resize(length);
        if (!in || in.Read(newTag.data(), length) != static_cast<int64_t>(length)) newTag.clear();
    }
    if (newTag.empty()) return std::fprintf(stderr, "the writer made no tag\n"), false;
    std::printf("  the new tag is %zu bytes: the old method moves the audio in %zu-byte blocks\n", newTag.size(),
                newTag.size());

    // The fresh copy is forced to disk before the clock starts, and so is everything
    // else pending, so that no contender's flush pays for data it did not write.
    auto fresh = [&](const std::string& source) {
        fs::remove(copy, ec);
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
        FsyncFile(target);
        ::sync();
    };
    Passes cp, cpSync, moved, inPlace, blocks;
    bool allCreated = true;
    for (int pass = 0; pass < options.passes; ++pass) {
        fresh(plain);
        Clock::time_point start = Clock::now();
        if (!Cp(plain, copy)) return std::fprintf(stderr, "cp failed\n"), false;
        cp.Add(SecondsSince(start));
        FsyncFile(copy);
        fs::remove(copy, ec);
        ::sync();
        start = Clock::now();
        Cp(plain, copy);
        FsyncFile(copy);
        cpSync.Add(SecondsSince(start));

        fs::remove(copy, ec);
        ::sync();
        start = Clock::now();
        allCreated &= vemo::WriteTagFromFileName(target).Status == vemo::TagWriteStatus::Created;
        moved.Add(SecondsSince(start));

        fresh(tagged);
        start = Clock::now();
        allCreated &= vemo::WriteTagFromFileName(target).Status == vemo::TagWriteStatus::Created;
        inPlace.Add(SecondsSince(start));

        fresh(plain);
        start = Clock::now();
        if (!MoveInTagLengthBlocks(target, newTag)) return std::fprintf(stderr, "block move failed\n"), false;
        blocks.Add(SecondsSince(start));
    }
    if (!allCreated) std::printf("  a tag write did not report \"created\"\n");
    std::printf("  cp                          %s\n", BestMedian(cp).c_str());
    std::printf("  cp, then fsync of the copy  %s\n", BestMedian(cpSync).c_str());
    std::printf("  writer, audio moved         %s\n", BestMedian(moved).c_str());
    std::printf("  writer, old tag has room    %s\n", BestMedian(inPlace).c_str());
    std::printf("  old method, tag-long blocks %s\n", BestMedian(blocks).c_str());

    Row move;
    move.name = "2 tag 100 MB, audio moved";
    move.value = BestMedian(moved);
    move.peer = "old blocks " + BestMedian(blocks);
    move.floor = "cp " + BestMedian(cp);
    move.ratios = Ratio(moved, cp, "cp") + ", " + Ratio(moved, cpSync, "cp+fsync") + "; " +
                  Times(blocks.Best() / moved.Best()) + " faster than old";
    move.target = "<= 1.5x cp";
    move.met = moved.Best() <= 1.5 * cp.Best() ? Met::Yes : Met::No;
    rows.push_back(move);

    Row place;
    place.name = "2 tag 100 MB, in place";
    place.value = BestMedian(inPlace);
    place.peer = "old blocks " + BestMedian(blocks);
    place.floor = "cp " + BestMedian(cp);
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.2f %% of cp", 100 * inPlace.Best() / cp.Best());
    place.ratios = percent;
    place.target = "< 1 % of cp";
    place.met = inPlace.Best() < 0.01 * cp.Best() ? Met::Yes : Met::No;
    rows.push_back(place);

    fs::remove_all(folder, ec);
    return true;
}

}  // namespace bench
