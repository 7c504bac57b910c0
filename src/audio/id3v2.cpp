#include "audio/id3v2.h"

#include <cstring>

#include "audio/audio_texts.h"
#include "audio/id3_text.h"
#include "audio/id3v1.h"
#include "text/text.h"

namespace vemo {

namespace {

constexpr size_t kMajorAt = 3;
constexpr size_t kRevisionAt = 4;
constexpr size_t kFlagsAt = 5;
constexpr size_t kTagSizeAt = 6;
constexpr uint8_t kFlagExtendedHeader = 0x40;
constexpr size_t kExtendedSizeBytes = 4;

constexpr size_t kFrameIdSize = 4;
constexpr size_t kFrameSizeAt = 4;
constexpr size_t kLanguageSize = 3;
constexpr uint32_t kMaxFrameSize = 0xFFFFFFFFu;
constexpr uint32_t kMaxSyncSafeFrameSize = 0x0FFFFFFFu;

constexpr uint8_t kVersion3 = 3;
constexpr uint8_t kVersion4 = 4;

// The text frames of fields 0..21, without their leading "T".
constexpr size_t kTextFrameCount = 22;
constexpr const char* kTextFrameIds[kTextFrameCount] = {
    "RCK", "IT1", "IT2", "PE1", "ALB", "YER", "EXT", "OLY", "COM", "PE4", "OPE",
    "OAL", "COP", "ENC", "IT3", "PE2", "PE3", "PUB", "OWN", "RSN", "RSO", "BPM",
};

constexpr std::string TID3v2Tag::* kFieldMembers[kID3v2FieldCount] = {
    &TID3v2Tag::Track, &TID3v2Tag::Group, &TID3v2Tag::Title, &TID3v2Tag::Artist, &TID3v2Tag::Album,
    &TID3v2Tag::Year, &TID3v2Tag::Lyricist, &TID3v2Tag::OrigLyricist, &TID3v2Tag::Composer,
    &TID3v2Tag::RemixedBy, &TID3v2Tag::OrigArtist, &TID3v2Tag::OrigAlbum, &TID3v2Tag::Copyright,
    &TID3v2Tag::EncodedBy, &TID3v2Tag::Subtitle, &TID3v2Tag::Band, &TID3v2Tag::Conductor,
    &TID3v2Tag::Publisher, &TID3v2Tag::Owner, &TID3v2Tag::RadioStation, &TID3v2Tag::RadioStationOwner,
    &TID3v2Tag::BPM, &TID3v2Tag::Genre, &TID3v2Tag::Comment, &TID3v2Tag::URL,
};

// The order of the lines of the information text.
constexpr ID3v2Field kDisplayOrder[kID3v2FieldCount] = {
    kFieldTrack, kFieldGroup, kFieldTitle, kFieldArtist, kFieldAlbum, kFieldYear, kFieldGenre,
    kFieldComment, kFieldLyricist, kFieldOrigLyricist, kFieldComposer, kFieldOrigArtist, kFieldCopyright,
    kFieldURL, kFieldEncodedBy, kFieldRemixedBy, kFieldSubtitle, kFieldOrigAlbum, kFieldBand,
    kFieldConductor, kFieldPublisher, kFieldOwner, kFieldRadioStation, kFieldRadioStationOwner, kFieldBPM,
};

bool IdIs(std::span<const uint8_t> frame, const char* id) { return std::memcmp(frame.data(), id, kFrameIdSize) == 0; }

bool IsSupported(uint8_t major) { return major == kVersion3 || major == kVersion4; }

// Only frames that can fill a field are read; the others (pictures above all) are
// stepped over without reading them.
bool IsWantedFrame(const uint8_t* id) {
    return id[0] == 'T' || std::memcmp(id, "COMM", kFrameIdSize) == 0 || std::memcmp(id, "WXXX", kFrameIdSize) == 0;
}

// The text of a text frame's data: encoding byte, then one value (2.3) or several
// zero-separated values (2.4).
std::string FrameText(std::span<const uint8_t> data, uint8_t majorVersion) {
    if (data.empty()) return {};
    uint8_t encoding = data[0];
    return majorVersion == kVersion4 ? DecodeID3Strings(encoding, data.subspan(1))
                                     : DecodeID3String(encoding, data.subspan(1));
}

// Splits encoded description + terminator + rest; false when the terminator is missing.
bool SplitDescription(uint8_t encoding, std::span<const uint8_t> data, std::string& description,
                      std::span<const uint8_t>& rest) {
    size_t end = ID3TerminatorIndex(encoding, data);
    if (end == data.size()) return false;
    description = DecodeID3String(encoding, data.first(end));
    rest = data.subspan(end + ID3TerminatorLength(encoding));
    return true;
}

std::string RemoveLineFeeds(std::string text) {
    std::erase(text, '\n');
    return text;
}

void ParseComment(std::string& comment, std::span<const uint8_t> data) {
    if (data.size() < 1 + kLanguageSize) return;
    uint8_t encoding = data[0];
    std::string description;
    std::span<const uint8_t> rest;
    if (!SplitDescription(encoding, data.subspan(1 + kLanguageSize), description, rest)) return;
    // Encoders keep machine data in described comments (normalisation values and the
    // like); the user's comment is the one without a description.
    if (!description.empty()) return;
    std::string text = RemoveLineFeeds(DecodeID3String(encoding, rest));
    if (!text.empty()) comment = std::move(text);
}

void ParseUserURL(std::string& url, std::span<const uint8_t> data) {
    if (data.empty()) return;
    uint8_t encoding = data[0];
    std::string description;
    std::span<const uint8_t> rest;
    if (!SplitDescription(encoding, data.subspan(1), description, rest)) return;
    // The URL itself is ISO-8859-1 whatever the description's encoding; some writers
    // still put it in UTF-16, which its byte-order mark gives away.
    bool utf16 = rest.size() >= 2 && ((rest[0] == 0xFF && rest[1] == 0xFE) || (rest[0] == 0xFE && rest[1] == 0xFF));
    std::string text = DecodeID3String(utf16 ? kUtf16Bom : kLatin1, rest);
    if (!text.empty()) url = std::move(text);
}

struct TagHeader {
    uint8_t major = 0;
    uint8_t revision = 0;
    int64_t firstFrame = 0;
    int64_t end = 0;  // 10 + tag size
};

bool ReadTagHeader(ByteReader& reader, TagHeader& header) {
    uint8_t raw[kID3v2HeaderSize];
    if (!reader.Seek(0) || !reader.Read(raw, kID3v2HeaderSize)) {
        // A file cut inside the header still tells its version when it has those bytes.
        uint8_t version[2];
        if (reader.Seek(kMajorAt) && reader.Read(version, 2)) {
            header.major = version[0];
            header.revision = version[1];
        }
        return false;
    }
    header.major = raw[kMajorAt];
    header.revision = raw[kRevisionAt];
    header.end = static_cast<int64_t>(kID3v2HeaderSize) + SyncSafeDecode(raw + kTagSizeAt);
    header.firstFrame = static_cast<int64_t>(kID3v2HeaderSize);
    if (!IsSupported(header.major)) return true;
    if (raw[kFlagsAt] & kFlagExtendedHeader) {
        uint8_t size[kExtendedSizeBytes];
        if (!reader.Read(size, kExtendedSizeBytes)) {
            header.firstFrame = header.end;
        } else if (header.major == kVersion3) {
            header.firstFrame += static_cast<int64_t>(kExtendedSizeBytes) + GetBe32(size);
        } else {
            header.firstFrame += SyncSafeDecode(size);
        }
    }
    return true;
}

// Walks the frames of a 2.3 or 2.4 tag, filling fields when given, and returns where the
// walk stopped: the first padding byte, or the tag's end.
int64_t WalkFrames(ByteReader& reader, const TagHeader& header, ID3v2Fields* fields) {
    int64_t at = header.firstFrame;
    std::vector<uint8_t> frame;
    while (at < header.end) {
        uint8_t head[kID3v2FrameHeaderSize];
        if (!reader.Seek(at) || !reader.Read(head, 1)) return at;
        if (head[0] == 0) return at;  // padding
        if (!reader.Read(head + 1, kID3v2FrameHeaderSize - 1)) return at;
        uint32_t size = header.major == kVersion4 ? SyncSafeDecode(head + kFrameSizeAt) : GetBe32(head + kFrameSizeAt);
        int64_t dataAt = at + static_cast<int64_t>(kID3v2FrameHeaderSize);
        // A frame running past the tag is corrupt: nothing of it is trusted.
        if (dataAt > header.end || size > header.end - dataAt) return header.end;
        // Nor is a frame the file does not hold: no buffer for it is made, and the walk
        // goes on as the audio search's walk does (past the end, where it stops).
        if (fields && IsWantedFrame(head) && size <= reader.Remaining()) {
            frame.assign(head, head + kID3v2FrameHeaderSize);
            frame.resize(kID3v2FrameHeaderSize + size);
            if (reader.Read(frame.data() + kID3v2FrameHeaderSize, size)) ParseID3v2Frame(*fields, frame, header.major);
        }
        at = dataAt + size;
    }
    return header.end;
}

}  // namespace

const std::string& FieldOf(const TID3v2Tag& tag, size_t field) { return tag.*kFieldMembers[field]; }

TID3v2Tag ReadID3v2(ByteReader& reader, int64_t& audioStart) {
    TID3v2Tag tag;
    TagHeader header;
    bool complete = ReadTagHeader(reader, header);
    tag.Version = {header.major, header.revision};
    if (!complete) {
        audioStart = reader.Size();
        return tag;
    }
    // Other versions have frames of another layout: the audio starts after the tag.
    if (!IsSupported(header.major)) {
        audioStart = header.end;
        return tag;
    }
    ID3v2Fields fields;
    audioStart = WalkFrames(reader, header, &fields);
    for (size_t i = 0; i < kID3v2FieldCount; ++i) tag.*kFieldMembers[i] = std::move(fields[i]);
    return tag;
}

TID3v2Tag ReadID3v2(ByteReader& reader) {
    int64_t audioStart = 0;
    return ReadID3v2(reader, audioStart);
}

std::optional<TID3v2Tag> ReadID3v2(const std::string& path) {
    File file = File::OpenRead(path, Share::Read);
    if (!file) return std::nullopt;
    ByteReader reader(file);
    return ReadID3v2(reader);
}

int64_t ID3v2AudioStart(ByteReader& reader) {
    TagHeader header;
    if (!ReadTagHeader(reader, header)) return reader.Size();
    if (!IsSupported(header.major)) return header.end;
    return WalkFrames(reader, header, nullptr);
}

std::string FormatID3v2(const TID3v2Tag& tag) {
    if (!IsSupported(tag.Version[0])) {
        return std::string("\r") + texts::kID3v2CaptionStart + NumToStr(false, tag.Version[0]) + "." +
               NumToStr(false, tag.Version[1]) + texts::kNotSupported;
    }
    std::string text;
    for (ID3v2Field field : kDisplayOrder) {
        const std::string& value = FieldOf(tag, field);
        if (value.empty()) continue;
        text += '\r';
        text += FrameLabels[field];
        text += ": ";
        text += value;
    }
    if (text.empty()) text = texts::kBlankID3v2;
    return text;
}

void ParseID3v2Frame(ID3v2Fields& fields, std::span<const uint8_t> frame, uint8_t majorVersion) {
    if (frame.size() < kID3v2FrameHeaderSize) return;
    std::span<const uint8_t> data = frame.subspan(kID3v2FrameHeaderSize);
    if (frame[0] == 'T') {
        for (size_t row = 0; row < kTextFrameCount; ++row) {
            if (std::memcmp(frame.data() + 1, kTextFrameIds[row], kFrameIdSize - 1) != 0) continue;
            if (fields[row].empty()) fields[row] = FrameText(data, majorVersion);
            return;
        }
    }
    if (IdIs(frame, "TCON")) {
        if (fields[kFieldGenre].empty()) {
            std::string text = FrameText(data, majorVersion);
            if (!text.empty()) fields[kFieldGenre] = StripGenreNumber(text);
        }
    } else if (IdIs(frame, "COMM")) {
        if (fields[kFieldComment].empty()) ParseComment(fields[kFieldComment], data);
    } else if (IdIs(frame, "WXXX")) {
        if (fields[kFieldURL].empty()) ParseUserURL(fields[kFieldURL], data);
    }
}

std::string StripGenreNumber(std::string_view genre) {
    if (genre.empty() || genre[0] != '(') return std::string(genre);
    size_t close = genre.find(')', 1);
    if (close == std::string_view::npos) return std::string(genre);
    for (size_t i = 1; i < close; ++i) {
        if (genre[i] < '0' || genre[i] > '9') return std::string(genre);
    }
    return std::string(genre.substr(close + 1));
}

bool AppendID3v2Frame(std::vector<uint8_t>& tagBuffer, std::string_view id, std::string_view text,
                      uint8_t majorVersion) {
    if (id.size() != kFrameIdSize) return false;
    const std::vector<uint8_t> data = EncodeID3Text(text, majorVersion);
    const uint64_t limit = majorVersion == kVersion4 ? kMaxSyncSafeFrameSize : kMaxFrameSize;
    if (static_cast<uint64_t>(data.size()) > limit) return false;
    const uint32_t size = static_cast<uint32_t>(data.size());
    const uint32_t stored = majorVersion == kVersion4 ? SyncSafe(size) : size;
    const size_t at = tagBuffer.size();
    tagBuffer.resize(at + kID3v2FrameHeaderSize, 0);  // the flags stay zero
    std::memcpy(tagBuffer.data() + at, id.data(), kFrameIdSize);
    for (size_t i = 0; i < 4; ++i) tagBuffer[at + kFrameSizeAt + i] = static_cast<uint8_t>(stored >> (24 - 8 * i));
    tagBuffer.insert(tagBuffer.end(), data.begin(), data.end());
    return true;
}

}  // namespace vemo
