// The tag writer on a real file in a scratch folder on /dev/shm.
// Input: byte 0 gives the artist's length (low 6 bits) and whether the name has a
// " - " at all (both high bits set: no), byte 1 the title's length; the rest is the
// file. Lengths up to 63 reach both the ID3v1 path (both at most 30) and the ID3v2 one.
// Properties, whatever the status:
//   - only the target file is left in the folder;
//   - nothing fails on /dev/shm, so neither CannotOpen nor WriteFailed may come back;
//   - any status but Created leaves the file byte for byte as it was.
// When Created:
//   - ID3v1: the file is the old one without its old tag, then the old tag (or a blank
//     one) with title and artist put in;
//   - ID3v2: every byte after the old tag (its footer included) follows the new tag
//     unchanged; the new tag holds TPE1 and TIT2 of the name, then every other frame of
//     the old tag byte for byte and in order, then only zeros.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "audio/tag_writer.h"
#include "scratch_folder.h"

namespace {

using Bytes = std::string;  // the file's bytes

constexpr size_t kHeaderSize = 10;
constexpr size_t kFrameHeaderSize = 10;
constexpr size_t kFooterSize = 10;
constexpr size_t kID3v1Size = 128;
constexpr size_t kID3v1Field = 30;
constexpr uint8_t kFooterFlag = 0x10;

using vemo::fuzz::Check;

uint8_t At(const Bytes& b, size_t i) { return static_cast<uint8_t>(b[i]); }

uint32_t SyncSafeAt(const Bytes& b, size_t i) {
    return uint32_t{At(b, i)} << 21 | uint32_t{At(b, i + 1)} << 14 | uint32_t{At(b, i + 2)} << 7 | At(b, i + 3);
}
uint32_t Be32At(const Bytes& b, size_t i) {
    return uint32_t{At(b, i)} << 24 | uint32_t{At(b, i + 1)} << 16 | uint32_t{At(b, i + 2)} << 8 | At(b, i + 3);
}

bool HasID3v2(const Bytes& file) { return file.size() >= kHeaderSize && file.compare(0, 3, "ID3") == 0; }

// The frames of a tag ending at tagEnd, each with its header, up to the first zero byte;
// false when a frame runs past the end or the padding holds anything but zeros.
bool WalkFrames(const Bytes& file, size_t tagEnd, uint8_t major, std::vector<std::string_view>& frames) {
    size_t at = kHeaderSize;
    while (at < tagEnd && file[at] != 0) {
        if (tagEnd - at < kFrameHeaderSize) return false;
        const uint32_t size = major == 4 ? SyncSafeAt(file, at + 4) : Be32At(file, at + 4);
        if (size > tagEnd - at - kFrameHeaderSize) return false;
        frames.push_back(std::string_view(file).substr(at, kFrameHeaderSize + size));
        at += kFrameHeaderSize + size;
    }
    for (; at < tagEnd; ++at) {
        if (file[at] != 0) return false;
    }
    return true;
}

std::string NameFrame(const char* id, const std::string& text, uint8_t major) {
    const uint32_t size = static_cast<uint32_t>(text.size() + 1);
    std::string frame(id);
    for (int shift = 24; shift >= 0; shift -= 8) {
        frame += static_cast<char>(major == 4 ? (size >> (shift / 8 * 7)) & 0x7F : (size >> shift) & 0xFF);
    }
    frame.append(3, '\0');  // two flag bytes, the encoding
    return frame + text;
}

void CheckID3v1(const Bytes& before, const Bytes& after, const std::string& artist, const std::string& title) {
    const bool hadTag = before.size() >= kID3v1Size && before.compare(before.size() - kID3v1Size, 3, "TAG") == 0;
    const size_t keep = hadTag ? before.size() - kID3v1Size : before.size();
    Bytes tag = hadTag ? before.substr(keep) : "TAG" + std::string(124, '\0') + '\xFF';
    tag.replace(3, kID3v1Field, (title + std::string(kID3v1Field, '\0')).substr(0, kID3v1Field));
    tag.replace(33, kID3v1Field, (artist + std::string(kID3v1Field, '\0')).substr(0, kID3v1Field));
    Check(after == before.substr(0, keep) + tag, "ID3v1 tag written over the old one or appended");
}

void CheckID3v2(const Bytes& before, const Bytes& after, const std::string& artist, const std::string& title) {
    const bool hadTag = HasID3v2(before);
    const uint8_t major = hadTag ? At(before, 3) : 3;
    const uint8_t flags = hadTag ? At(before, 5) : 0;
    size_t oldTagEnd = 0, oldEnd = 0;
    std::vector<std::string_view> oldFrames;
    if (hadTag) {
        oldTagEnd = kHeaderSize + SyncSafeAt(before, 6);
        oldEnd = oldTagEnd + (major == 4 && (flags & kFooterFlag) ? kFooterSize : 0);
        Check(major == 3 || major == 4, "only a 2.3 or 2.4 tag is rewritten");
        Check(oldEnd < before.size(), "a tag that covers the whole file is not rewritten");
        Check(WalkFrames(before, oldTagEnd, major, oldFrames), "a tag with damaged frames is not rewritten");
    }

    Check(HasID3v2(after), "the new tag heads the file");
    Check(At(after, 3) == major && At(after, 4) == (hadTag ? At(before, 4) : 0), "the new tag keeps the version");
    Check(At(after, 5) == (flags & ~kFooterFlag), "the new tag keeps the flags, without a footer");
    Check(((At(after, 6) | At(after, 7) | At(after, 8) | At(after, 9)) & 0x80) == 0, "tag size sync-safe");
    const size_t newEnd = kHeaderSize + SyncSafeAt(after, 6);
    Check(newEnd <= after.size(), "the new tag lies within the file");

    // A file without a tag gets one zero byte after the frames, outside the tag's size.
    const std::string_view audio = std::string_view(before).substr(oldEnd);
    const std::string_view rest = std::string_view(after).substr(newEnd);
    Check(rest.size() == audio.size() + (hadTag ? 0 : 1) && rest.ends_with(audio) && (hadTag || rest[0] == 0),
          "every byte after the old tag follows the new one unchanged");

    std::vector<std::string_view> newFrames;
    Check(WalkFrames(after, newEnd, major, newFrames), "the new tag walks to its end");
    std::vector<std::string_view> expected;
    const std::string tpe1 = NameFrame("TPE1", artist, major), tit2 = NameFrame("TIT2", title, major);
    expected.push_back(tpe1);
    expected.push_back(tit2);
    for (std::string_view frame : oldFrames) {
        if (!frame.starts_with("TPE1") && !frame.starts_with("TIT2")) expected.push_back(frame);
    }
    Check(newFrames == expected, "name frames first, then every other old frame byte for byte");
}

// Letters, digits, blanks and dots: never " - ", so the artist stays whole.
std::string NameText(size_t length, size_t offset) {
    static constexpr std::string_view kChars = "abcdefghij KLMNOP.0123456789";
    std::string text;
    for (size_t i = 0; i < length; ++i) text += kChars[(offset + i) % kChars.size()];
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool separator = (data[0] & 0xC0) != 0xC0;
    const std::string artist = separator ? NameText(data[0] & 0x3F, 0) : std::string();
    const std::string title = NameText(data[1] & 0x3F, 11);
    const std::string fileName = (separator ? artist + " - " : std::string()) + title + ".mp3";
    const std::string path = vemo::fuzz::ScratchFolder("tag") + "/" + fileName;
    const Bytes before(reinterpret_cast<const char*>(data) + 2, size - 2);
    vemo::fuzz::WriteWholeFile(path, before);

    const vemo::TagWriteResult result = vemo::WriteTagFromFileName(path);
    const Bytes after = vemo::fuzz::ReadWholeFile(path);
    const std::vector<std::string> left = vemo::fuzz::TakeScratchListing();
    Check(left.size() == 1 && left[0] == fileName, "only the target file is left in the folder");
    Check(result.Status != vemo::TagWriteStatus::CannotOpen && result.Status != vemo::TagWriteStatus::WriteFailed,
          "nothing fails on this disk");
    if (result.Status != vemo::TagWriteStatus::Created) {
        Check(after == before, "a file not tagged is left as it was");
    } else if (artist.size() <= kID3v1Field && title.size() <= kID3v1Field) {
        CheckID3v1(before, after, artist, title);
    } else {
        CheckID3v2(before, after, artist, title);
    }
    return 0;
}
