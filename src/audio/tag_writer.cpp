// The tag made from a file's name.
//
// ID3v1 (artist and title both in the system's code page, at most 30 bytes there): the
// last 128 bytes of the file, holding the code-page bytes.
//   offset size
//        0    3  "TAG"
//        3   30  title, zero-padded        only these two fields are written; a file
//       33   30  artist, zero-padded       without the tag gets "TAG", 124 zeros and
//      127    1  genre (255: none)         the genre byte 255 first
//
// ID3v2 (either is longer or has a character the code page lacks): at the start of the
// file. Each frame is ISO-8859-1 when its text is all Latin-1, else UTF-16 with a
// byte-order mark in a 2.3 tag and UTF-8 in a 2.4 tag.
//   offset size
//        0    3  "ID3"
//        3    1  major version (3 or 4), then the revision
//        5    1  flags: 0x80 unsynchronised, 0x40 extended header, 0x20 experimental,
//                0x10 (2.4 only) a 10-byte footer "3DI"... follows the tag
//        6    4  tag size, sync-safe, counting neither the header nor the footer
//       10       frames: identifier (4 of A-Z, 0-9), size (2.3 big-endian, 2.4
//                sync-safe), status flags, format flags, data; then zero padding
// A file without a tag gets a 2.3 tag: the header declaring L, the TPE1 and TIT2
// frames (L bytes), and one zero byte after them. An old 2.3 or 2.4 tag is rebuilt in
// its own version: new TPE1 and TIT2, then every other frame byte for byte; it goes
// into the old tag's place, padded, when it fits there.
#include "audio/tag_writer.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "audio/audio_texts.h"
#include "audio/byte_reader.h"
#include "audio/id3v2.h"
#include "text/code_page.h"
#include "text/file_access.h"
#include "text/text.h"

namespace vemo {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kID3v1FieldSize = 30;
constexpr size_t kID3v1Size = 128;
constexpr size_t kID3v1TitleAt = 3;
constexpr size_t kID3v1ArtistAt = 33;
constexpr size_t kID3v1GenreAt = 127;
constexpr uint8_t kGenreNone = 255;

constexpr size_t kMagicSize = 3;
constexpr size_t kMajorAt = 3;
constexpr size_t kRevisionAt = 4;
constexpr size_t kFlagsAt = 5;
constexpr size_t kTagSizeAt = 6;
constexpr uint8_t kVersion3 = 3;
constexpr uint8_t kVersion4 = 4;
constexpr uint8_t kFlagUnsynchronised = 0x80;
constexpr uint8_t kFlagExtendedHeader = 0x40;
constexpr uint8_t kFlagFooter = 0x10;
constexpr uint8_t kKnownFlags3 = 0xE0;
constexpr uint8_t kKnownFlags4 = 0xF0;
constexpr size_t kFooterSize = 10;
constexpr const char* kFooterMagic = "3DI";
constexpr uint32_t kMaxSyncSafe = 0x0FFFFFFF;
constexpr uint8_t kSyncSafeHighBit = 0x80;

constexpr size_t kFrameIdSize = 4;
constexpr size_t kFrameSizeAt = 4;
constexpr size_t kFrameFormatFlagsAt = 9;
// Compression and encryption: data that only a reader of those could rewrite.
constexpr uint8_t kPackedFrameFlags3 = 0xC0;
constexpr uint8_t kPackedFrameFlags4 = 0x0C;

// The audio is moved in blocks this large: few system calls, little memory.
constexpr size_t kMoveBlock = size_t{1} << 20;

// How an in-place write ended.
enum class Outcome : uint8_t { Written, Unchanged, Damaged };

TagWriteResult Created() { return {TagWriteStatus::Created, texts::kTagCreated}; }
TagWriteResult NotWritten() { return {TagWriteStatus::WriteFailed, texts::kTagNotWritten}; }
TagWriteResult Refused(const char* why) { return {TagWriteStatus::Refused, why}; }

TagWriteResult Damaged(const std::string& keptAt = {}) {
    std::string text = texts::kTagFileDamaged;
    if (!keptAt.empty()) text += texts::kTagKeptAt + keptAt;
    return {TagWriteStatus::WriteFailed, text};
}

TagWriteResult ResultOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Written: return Created();
    case Outcome::Unchanged: return NotWritten();
    case Outcome::Damaged: break;
    }
    return Damaged();
}

bool ReadAt(File& file, int64_t at, uint8_t* out, size_t count) {
    return file.Seek(at) && file.Read(out, count) == static_cast<int64_t>(count);
}

bool WriteAt(File& file, int64_t at, const uint8_t* data, size_t count) { return file.Seek(at) && file.Write(data, count); }
bool WriteAt(File& file, int64_t at, const Bytes& data) { return WriteAt(file, at, data.data(), data.size()); }
bool CutAt(File& file, int64_t size) { return file.Seek(size) && file.Truncate(); }

int64_t Signed(size_t n) { return static_cast<int64_t>(n); }
size_t BlockAt(int64_t at, int64_t end) { return static_cast<size_t>(std::min(Signed(kMoveBlock), end - at)); }

void PutBe32(uint8_t* p, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

bool IsSyncSafe(const uint8_t* p) {
    return ((p[0] | p[1] | p[2] | p[3]) & kSyncSafeHighBit) == 0;
}

// ---- ID3v1 ----

void PutID3v1Field(Bytes& tag, size_t at, const std::string& text) {
    std::memset(tag.data() + at, 0, kID3v1FieldSize);
    // The caller has made sure the text fits; the bound only keeps a slip inside the tag.
    std::memcpy(tag.data() + at, text.data(), std::min(text.size(), kID3v1FieldSize));
}

// The whole 128 bytes go out in one write, and are put back as they were on failure.
// name holds code-page bytes that fit the fields.
TagWriteResult WriteID3v1(File& file, const NameSplit& name) {
    const int64_t size = file.Size();
    if (size < 0) return NotWritten();
    Bytes old(kID3v1Size);
    bool hasTag = false;
    if (size >= Signed(kID3v1Size)) {
        // A failed read must not pass for "no tag": a second tag would be appended.
        if (!ReadAt(file, size - Signed(kID3v1Size), old.data(), old.size())) return NotWritten();
        hasTag = std::memcmp(old.data(), "TAG", kMagicSize) == 0;
    }
    Bytes tag(kID3v1Size, 0);
    if (hasTag) {
        tag = old;
    } else {
        std::memcpy(tag.data(), "TAG", kMagicSize);
        tag[kID3v1GenreAt] = kGenreNone;
    }
    PutID3v1Field(tag, kID3v1TitleAt, name.Title);
    PutID3v1Field(tag, kID3v1ArtistAt, name.Artist);

    const int64_t at = hasTag ? size - Signed(kID3v1Size) : size;
    if (WriteAt(file, at, tag) && file.Flush()) return Created();
    const bool undone = (hasTag ? WriteAt(file, at, old) : CutAt(file, size)) && file.Flush();
    return undone ? NotWritten() : Damaged();
}

// ---- ID3v2: what to write ----

// The bytes in front of the audio, as they are and as they are to be.
struct Rewrite {
    Bytes oldHead;  // the old tag with its footer, or nothing
    Bytes tag;
    int64_t fileSize = 0;

    int64_t AudioStart() const { return Signed(oldHead.size()); }
};

void PutTagHeader(Bytes& tag, uint8_t major, uint8_t revision, uint8_t flags, uint32_t size) {
    tag.assign(kID3v2HeaderSize, 0);
    std::memcpy(tag.data(), "ID3", kMagicSize);
    tag[kMajorAt] = major;
    tag[kRevisionAt] = revision;
    tag[kFlagsAt] = flags;
    PutBe32(tag.data() + kTagSizeAt, SyncSafe(size));
}

// TPE1 and TIT2 of the name, in the form and the encodings of the major version.
bool AppendNameFrames(Bytes& frames, const NameSplit& name, uint8_t major) {
    return AppendID3v2Frame(frames, "TPE1", name.Artist, major) && AppendID3v2Frame(frames, "TIT2", name.Title, major);
}

bool IsNameFrame(const uint8_t* frame) {
    return std::memcmp(frame, "TPE1", kFrameIdSize) == 0 || std::memcmp(frame, "TIT2", kFrameIdSize) == 0;
}

bool IsFrameIdChar(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Appends every frame of the old tag but TPE1 and TIT2 to kept, byte for byte. The
// reason for a refusal when they cannot all be kept as they are, else null.
const char* KeepOtherFrames(const Bytes& head, size_t tagEnd, uint8_t major, Bytes& kept) {
    size_t at = kID3v2HeaderSize;
    while (at < tagEnd) {
        const uint8_t* frame = head.data() + at;
        if (frame[0] == 0) {
            // Padding is zeros to the end. Anything else in it (audio under a size too
            // large, frames after a gap) would be thrown away with it. The first byte is
            // zero, so all are when each equals the next: one fast compare over what may
            // be 256 MiB.
            bool zeros = std::memcmp(frame, frame + 1, tagEnd - at - 1) == 0;
            return zeros ? nullptr : texts::kTagFramesDamaged;
        }
        if (tagEnd - at < kID3v2FrameHeaderSize || !std::all_of(frame, frame + kFrameIdSize, IsFrameIdChar)) {
            return texts::kTagFramesDamaged;
        }
        const uint8_t* sizeBytes = frame + kFrameSizeAt;
        if (major == kVersion4 && !IsSyncSafe(sizeBytes)) return texts::kTagFramesDamaged;
        const uint32_t size = major == kVersion4 ? SyncSafeDecode(sizeBytes) : GetBe32(sizeBytes);
        const size_t dataAt = at + kID3v2FrameHeaderSize;
        if (size > tagEnd - dataAt) return texts::kTagFramesDamaged;
        const size_t end = dataAt + size;
        if (!IsNameFrame(frame)) {
            uint8_t packed = major == kVersion4 ? kPackedFrameFlags4 : kPackedFrameFlags3;
            if (frame[kFrameFormatFlagsAt] & packed) return texts::kTagFramesPacked;
            kept.insert(kept.end(), frame, head.data() + end);
        }
        at = end;
    }
    return nullptr;
}

// A new 2.3 tag for a file without one. Its size field leaves out the zero byte after
// the frames, as tags of this writer always had it.
TagWriteResult PlanNewTag(const NameSplit& name, Rewrite& plan) {
    Bytes frames;
    if (!AppendNameFrames(frames, name, kVersion3) || frames.size() > kMaxSyncSafe) return Refused(texts::kTagTooLarge);
    PutTagHeader(plan.tag, kVersion3, 0, 0, static_cast<uint32_t>(frames.size()));
    plan.tag.insert(plan.tag.end(), frames.begin(), frames.end());
    plan.tag.push_back(0);
    return Created();
}

// Reads the start of the file and works out the tag to write. Anything but Created
// means it must not be written; nothing has been written then.
TagWriteResult PlanID3v2(File& file, const NameSplit& name, Rewrite& plan) {
    plan.fileSize = file.Size();
    if (plan.fileSize < 0) return NotWritten();
    uint8_t header[kID3v2HeaderSize] = {};
    const size_t got = static_cast<size_t>(std::min(plan.fileSize, Signed(kID3v2HeaderSize)));
    if (!ReadAt(file, 0, header, got)) return NotWritten();
    if (got < kMagicSize || std::memcmp(header, "ID3", kMagicSize) != 0) return PlanNewTag(name, plan);

    if (got <= kMajorAt) return Refused(texts::kTagSizeCorrupt);
    const uint8_t major = header[kMajorAt];
    if (major != kVersion3 && major != kVersion4) return {TagWriteStatus::UnknownVersion, texts::kUnknownTagVersion};
    if (got < kID3v2HeaderSize || !IsSyncSafe(header + kTagSizeAt)) return Refused(texts::kTagSizeCorrupt);
    const uint8_t flags = header[kFlagsAt];
    const size_t tagEnd = kID3v2HeaderSize + SyncSafeDecode(header + kTagSizeAt);
    const bool hasFooter = major == kVersion4 && (flags & kFlagFooter);
    const size_t audioStart = tagEnd + (hasFooter ? kFooterSize : 0);
    // By its own size nothing follows the tag: the size is corrupt or the file cut short,
    // and rewriting the tag would drop whatever it wrongly covers.
    if (Signed(audioStart) >= plan.fileSize) return Refused(texts::kTagSizeCorrupt);
    if (flags & kFlagUnsynchronised) return Refused(texts::kTagUnsynchronised);
    if (flags & kFlagExtendedHeader) return Refused(texts::kTagExtendedHeader);
    if (flags & ~(major == kVersion4 ? kKnownFlags4 : kKnownFlags3)) return Refused(texts::kTagUnknownFlags);

    plan.oldHead.resize(audioStart);
    if (!ReadAt(file, 0, plan.oldHead.data(), plan.oldHead.size())) return NotWritten();
    if (hasFooter && std::memcmp(plan.oldHead.data() + tagEnd, kFooterMagic, kMagicSize) != 0) {
        return Refused(texts::kTagSizeCorrupt);
    }
    Bytes frames;
    if (!AppendNameFrames(frames, name, major)) return Refused(texts::kTagTooLarge);
    if (const char* why = KeepOtherFrames(plan.oldHead, tagEnd, major, frames)) return Refused(why);

    // Into the old tag's place when it fits, footer and all, so the audio stays put.
    size_t size = frames.size();
    if (kID3v2HeaderSize + size <= audioStart && audioStart - kID3v2HeaderSize <= kMaxSyncSafe) {
        size = audioStart - kID3v2HeaderSize;
    }
    if (size > kMaxSyncSafe) return Refused(texts::kTagTooLarge);
    // The new tag has no footer: padding and a footer may not go together.
    PutTagHeader(plan.tag, major, header[kRevisionAt], static_cast<uint8_t>(flags & ~kFlagFooter),
                 static_cast<uint32_t>(size));
    plan.tag.insert(plan.tag.end(), frames.begin(), frames.end());
    plan.tag.resize(kID3v2HeaderSize + size, 0);
    return Created();
}

// ---- ID3v2: writing ----

TagWriteResult WriteHeadInPlace(File& file, const Rewrite& plan) {
    if (WriteAt(file, 0, plan.tag) && file.Flush()) return Created();
    return WriteAt(file, 0, plan.oldHead) && file.Flush() ? NotWritten() : Damaged();
}

// Undoes a move that has shifted part of the audio by the difference of the heads:
// [moved, fileSize) when it went up, [AudioStart, moved) when it went down. Each byte goes
// back the other way round, so again none is overwritten before it is read; then the old
// tag goes in front and the file gets its old size.
Outcome UndoMove(File& file, const Rewrite& plan, int64_t moved, Bytes& block) {
    const int64_t start = plan.AudioStart();
    const int64_t shift = Signed(plan.tag.size()) - start;
    if (shift > 0) {
        for (int64_t to = moved; to < plan.fileSize;) {
            const size_t count = BlockAt(to, plan.fileSize);
            if (!ReadAt(file, to + shift, block.data(), count) || !WriteAt(file, to, block.data(), count)) {
                return Outcome::Damaged;
            }
            to += Signed(count);
        }
    } else {
        for (int64_t end = moved; end > start;) {
            const int64_t to = std::max(start, end - Signed(kMoveBlock));
            const size_t count = static_cast<size_t>(end - to);
            if (!ReadAt(file, to + shift, block.data(), count) || !WriteAt(file, to, block.data(), count)) {
                return Outcome::Damaged;
            }
            end = to;
        }
    }
    const bool restored = WriteAt(file, 0, plan.oldHead) && CutAt(file, plan.fileSize) && file.Flush();
    return restored ? Outcome::Unchanged : Outcome::Damaged;
}

// Moves the audio to where the new tag ends: up for a longer tag, from the end backwards,
// down for a shorter one, from the front on, so that every byte is read before it is
// overwritten. The tag is written last (until then the old tag still heads the file),
// then a shorter head cuts the file. A failure undoes what was done.
Outcome MoveAudioInPlace(File& file, const Rewrite& plan) {
    const int64_t start = plan.AudioStart();
    const int64_t shift = Signed(plan.tag.size()) - start;
    const bool up = shift > 0;
    Bytes block(kMoveBlock);
    // Moved so far: [moved, fileSize) going up, [start, moved) going down.
    int64_t moved = up ? plan.fileSize : start;
    while (up ? moved > start : moved < plan.fileSize) {
        const int64_t from = up ? std::max(start, moved - Signed(kMoveBlock)) : moved;
        const size_t count = up ? static_cast<size_t>(moved - from) : BlockAt(moved, plan.fileSize);
        if (!ReadAt(file, from, block.data(), count)) return UndoMove(file, plan, moved, block);
        if (!WriteAt(file, from + shift, block.data(), count)) {
            // A write that failed part way may have hit bytes of this block not yet moved
            // (when the shift is less than a block); the block still holds them.
            if (!WriteAt(file, from, block.data(), count)) return Outcome::Damaged;
            return UndoMove(file, plan, moved, block);
        }
        moved = up ? from : from + Signed(count);
    }
    if (WriteAt(file, 0, plan.tag) && (up || CutAt(file, plan.fileSize + shift)) && file.Flush()) {
        return Outcome::Written;
    }
    return UndoMove(file, plan, moved, block);
}

// The new tag, then everything from the old audio start on.
bool CopyRelocated(File& from, File& to, const Rewrite& plan) {
    if (!to.Write(plan.tag.data(), plan.tag.size()) || !from.Seek(plan.AudioStart())) return false;
    Bytes block(kMoveBlock);
    for (int64_t at = plan.AudioStart(); at < plan.fileSize;) {
        const size_t count = BlockAt(at, plan.fileSize);
        if (from.Read(block.data(), count) != Signed(count) || !to.Write(block.data(), count)) return false;
        at += Signed(count);
    }
    return to.Flush();
}

// The audio has to move: the whole new file goes into a temporary file that is swapped
// in, so that a crash or a full disk leaves the old file whole. The file a symbolic link
// leads to is the one replaced, and the link stays. The audio is moved in place when the
// swap would split the file from its other names (hard links), or when no temporary
// file can be made (a read-only folder).
TagWriteResult Relocate(File& file, const std::string& path, const Rewrite& plan) {
    const int64_t links = file.LinkCount();
    if (links < 0) return NotWritten();
    if (links > 1) return ResultOf(MoveAudioInPlace(file, plan));
    const std::optional<std::string> target = FinalPathOf(path);
    if (!target) return NotWritten();
    std::string tempPath;
    File temp = CreateTemporaryBeside(*target, tempPath);
    if (!temp) return ResultOf(MoveAudioInPlace(file, plan));
    const bool written = CopyRelocated(file, temp, plan);
    temp.Close();
    if (!written) {
        RemoveFile(tempPath);
        return NotWritten();
    }
    // Tagging must not give the file away: tagged as root, a user's file would be root's.
    if (!CopyOwnerAndExtendedAttributes(*target, tempPath)) {
        RemoveFile(tempPath);
        return Refused(texts::kTagAttributesNotKept);
    }
    if (!CopyFileStamp(*target, tempPath)) {
        RemoveFile(tempPath);
        return NotWritten();
    }
    file.Close();  // Windows swaps no file that is open
    if (ReplaceFileAtomic(tempPath, *target)) return Created();

    // A swap that failed half way may have taken the file away, leaving the temporary
    // file as the only copy: it goes in its place and is never deleted.
    if (!FileAttributes(*target)) return RenameFile(tempPath, *target) ? Created() : Damaged(tempPath);
    // Another program holds the file.
    file = File::OpenReadWrite(*target, Share::Read);
    if (!file || file.Size() != plan.fileSize) {
        RemoveFile(tempPath);
        return NotWritten();
    }
    const Outcome outcome = MoveAudioInPlace(file, plan);
    // While the file may be damaged, the temporary file is the one whole tagged copy.
    if (outcome == Outcome::Damaged) return Damaged(tempPath);
    RemoveFile(tempPath);
    return ResultOf(outcome);
}

TagWriteResult WriteID3v2(File& file, const std::string& path, const NameSplit& name) {
    Rewrite plan;
    TagWriteResult planned = PlanID3v2(file, name, plan);
    if (planned.Status != TagWriteStatus::Created) return planned;
    if (plan.tag.size() == plan.oldHead.size()) return WriteHeadInPlace(file, plan);
    return Relocate(file, path, plan);
}

}  // namespace

NameSplit SplitTrackName(std::string_view path) {
    constexpr std::string_view kSeparator = " - ";
    const size_t cut = path.find_last_of(PathSeparator() == '\\' ? "\\/" : "/");
    std::string_view base = cut == std::string_view::npos ? path : path.substr(cut + 1);
    const size_t dot = base.rfind('.');
    if (dot != std::string_view::npos) base = base.substr(0, dot);
    const size_t split = base.find(kSeparator);
    if (split == std::string_view::npos) return {std::string(), std::string(base)};
    return {std::string(base.substr(0, split)), std::string(base.substr(split + kSeparator.size()))};
}

namespace {

// The code-page bytes of the name when it can go into ID3v1 whole.
std::optional<NameSplit> ID3v1Fields(const NameSplit& name) {
    std::optional<std::string> artist = Utf8ToCodePage(name.Artist);
    std::optional<std::string> title = Utf8ToCodePage(name.Title);
    // A text cut to fit would lose its end, and maybe half a character with it.
    if (!artist || !title || std::max(artist->size(), title->size()) > kID3v1FieldSize) return std::nullopt;
    return NameSplit{std::move(*artist), std::move(*title)};
}

}  // namespace

TagWriteResult WriteTagFromFileName(const std::string& path) {
    const NameSplit name = SplitTrackName(path);
    File file = File::OpenReadWrite(path, Share::Read);
    if (!file) return {TagWriteStatus::CannotOpen, texts::kCannotOpenForWriting};
    if (const std::optional<NameSplit> fields = ID3v1Fields(name)) return WriteID3v1(file, *fields);
    return WriteID3v2(file, path, name);
}

}  // namespace vemo
