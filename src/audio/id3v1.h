// ID3v1 tag: the last 128 bytes of an MP3 file.
//
//   offset size
//        0    3  "TAG"
//        3   30  title           text fields: 8-bit, padded with zeros or blanks
//       33   30  artist
//       63   30  album
//       93    4  year
//       97   30  comment         ID3v1.1: 28 bytes of comment, byte 125 zero,
//      127    1  genre index              byte 126 the track number
//
// Also the tag test of both ID3 versions and the label and genre tables the ID3v1 and
// ID3v2 texts share.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "audio/byte_reader.h"

namespace vemo {

// Receives a message for the user (the plug-in shows it in a message box captioned
// "Error"); may be empty.
using ErrorReporter = std::function<void(const std::string& message)>;

struct TID3v1Tag {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    std::string Genre;
    std::string Track;
};

// Kinds of HasTag.
constexpr uint8_t kTagID3v1 = 1;
constexpr uint8_t kTagID3v2 = 2;

constexpr size_t kGenreCount = 148;
constexpr size_t kFrameLabelCount = 25;
extern const std::array<const char*, kGenreCount> GenreNames;
extern const std::array<const char*, kFrameLabelCount> FrameLabels;

// True when the text after the last "." of path is "MP3" in any case of a..z.
bool IsMP3Name(std::string_view path);

// Whether the file carries a tag of kind 1 (ID3v1 at its end) or 2 (ID3v2 at its start).
// Files whose name is not an MP3 name are not opened and give false. A file that cannot
// be opened gives false; for kind 2 the user is told through onError.
bool HasTag(const std::string& path, uint8_t kind, const ErrorReporter& onError = {});
bool HasTag(ByteReader& reader, uint8_t kind);

// The ID3v1 tag of the file; nothing when the file cannot be opened, so that a file
// lost since the tag test does not read as a blank tag. A tag cut short gives an empty
// record.
std::optional<TID3v1Tag> ReadID3v1(const std::string& path);
TID3v1Tag ReadID3v1(ByteReader& reader);

// The multi-line text of a tag: one "\r"-led line per non-empty field.
std::string FormatID3v1(const TID3v1Tag& tag);

}  // namespace vemo
