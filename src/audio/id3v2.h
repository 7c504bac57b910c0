// ID3v2 tag (versions 2.3 and 2.4) at the start of an MP3 file.
//
//   offset size
//        0    3  "ID3"
//        3    1  major version
//        4    1  revision
//        5    1  flags; 0x40: an extended header follows the header
//        6    4  tag size, sync-safe (7 bits a byte), without these 10 bytes
//       10       extended header: 2.3 a 4-byte big-endian size not counting itself,
//                2.4 a 4-byte sync-safe size counting all of it
//                then frames, then zero padding up to 10 + tag size
//
// Frame: identifier (4 characters), size (4 bytes: big-endian under 2.3, sync-safe
// under 2.4; the data after the 10-byte header), 2 flag bytes, data. Text frames: an
// encoding byte, then the text. COMM: encoding, 3-byte language, description ending in
// a terminator, text. WXXX: encoding, description ending in a terminator, URL.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/byte_reader.h"

namespace vemo {

struct TID3v2Tag {
    std::array<uint8_t, 2> Version{};  // major version, revision
    std::string Track;
    std::string Group;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Lyricist;
    std::string OrigLyricist;
    std::string Composer;
    std::string RemixedBy;
    std::string OrigArtist;
    std::string OrigAlbum;
    std::string Copyright;
    std::string EncodedBy;
    std::string Subtitle;
    std::string Band;
    std::string Conductor;
    std::string Publisher;
    std::string Owner;
    std::string RadioStation;
    std::string RadioStationOwner;
    std::string BPM;
    std::string Genre;
    std::string Comment;
    std::string URL;
};

// The 25 text fields of TID3v2Tag in declaration order; the index is also the label's
// index in FrameLabels.
constexpr size_t kID3v2FieldCount = 25;
using ID3v2Fields = std::array<std::string, kID3v2FieldCount>;
enum ID3v2Field : size_t {
    kFieldTrack, kFieldGroup, kFieldTitle, kFieldArtist, kFieldAlbum, kFieldYear, kFieldLyricist,
    kFieldOrigLyricist, kFieldComposer, kFieldRemixedBy, kFieldOrigArtist, kFieldOrigAlbum, kFieldCopyright,
    kFieldEncodedBy, kFieldSubtitle, kFieldBand, kFieldConductor, kFieldPublisher, kFieldOwner,
    kFieldRadioStation, kFieldRadioStationOwner, kFieldBPM, kFieldGenre, kFieldComment, kFieldURL,
};
const std::string& FieldOf(const TID3v2Tag& tag, size_t field);

constexpr size_t kID3v2HeaderSize = 10;
constexpr size_t kID3v2FrameHeaderSize = 10;

// The tag of the file (callers have checked HasTag kind 2). Versions other than 2.3 and
// 2.4 give a record with only Version set. Nothing when the file cannot be opened, so
// that a file lost since the tag test does not read as a version 0 tag.
std::optional<TID3v2Tag> ReadID3v2(const std::string& path);
TID3v2Tag ReadID3v2(ByteReader& reader);
// The same, and where the audio search begins after the tag (as ID3v2AudioStart gives
// it), from one walk of the frames.
TID3v2Tag ReadID3v2(ByteReader& reader, int64_t& audioStart);

// Where the audio search begins after the tag at the start of reader: the first padding
// byte, or the tag's end when its frames run up to it or cannot be walked.
int64_t ID3v2AudioStart(ByteReader& reader);

// The multi-line text of a tag: one "\r"-led line per non-empty field.
std::string FormatID3v2(const TID3v2Tag& tag);

// Fills at most one still-empty field from one whole frame (10 header bytes and the
// data). majorVersion decides whether several zero-separated values are joined (2.4).
void ParseID3v2Frame(ID3v2Fields& fields, std::span<const uint8_t> frame, uint8_t majorVersion);

// "(17)Rock" gives "Rock", "(17)" gives ""; anything else stays as it is.
std::string StripGenreNumber(std::string_view genre);

// Appends a text frame of a UTF-8 text (no terminator) to tagBuffer, in the form of the
// major version (3 or 4) and in the encoding EncodeID3Text picks. False, with nothing
// appended, when id is not 4 characters or the text is too long for a frame.
bool AppendID3v2Frame(std::vector<uint8_t>& tagBuffer, std::string_view id, std::string_view text,
                      uint8_t majorVersion = 3);

}  // namespace vemo
