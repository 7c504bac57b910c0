// The texts of the information popups (file information, ID3v1, ID3v2, any ID3 tag):
// a caption and a body whose lines are separated by "\r". The plug-in shows them and
// vemo-info prints them, so both give the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/mpeg.h"

namespace vemo {

// What an information popup shows; the plug-in keeps it as InfoPopupKind.
enum class InfoKind : uint8_t { None = 0, ID3v1 = 1, ID3v2 = 2, FileInfo = 3 };

struct InfoText {
    InfoKind kind = InfoKind::None;
    // The file's name is not an MP3 name: the tag actions show texts::kNotMP3 as a
    // one-line popup instead of caption and body.
    bool notMP3 = false;
    std::string caption;  // empty when there is none
    std::string body;     // begins with "\r" when there is a caption
};

// The body of the file information. mpeg holds the analysis of an MP3 file; without it
// the player's track length (seconds) is shown instead.
std::string FileInfoBody(std::string_view path, int64_t fileSize, const TMPEG* mpeg, int64_t playerLengthSeconds);
// The same body under its caption.
InfoText FileInfoText(std::string_view path, int64_t fileSize, const TMPEG* mpeg, int64_t playerLengthSeconds);

// The file information of path, with the size from its directory entry; nothing when the
// file is not found. A file that cannot be opened still shows path, name and size, and
// for an MP3 name the lines of an empty analysis. The analysis of an MP3 file is also
// stored in mpegOut when given.
std::optional<InfoText> FileInformation(const std::string& path, int64_t playerLengthSeconds,
                                        const ErrorReporter& onError = {}, TMPEG* mpegOut = nullptr);

std::string ID3v1Caption(const TID3v1Tag& tag);  // "ID3v1 tag" or, with a track, "ID3v1.1 tag"
std::string ID3v2Caption(const TID3v2Tag& tag);  // "ID3v2.3.0 tag" and the like
// The text of a tag that was read: its caption and its lines.
InfoText TagInfoText(const TID3v1Tag& tag);
InfoText TagInfoText(const TID3v2Tag& tag);

// The tag texts of path. A tag that is read is also stored in the given record (the
// plug-in's current tag), which is left alone otherwise.
InfoText ID3v1Information(const std::string& path, const ErrorReporter& onError = {}, TID3v1Tag* tagOut = nullptr);
InfoText ID3v2Information(const std::string& path, const ErrorReporter& onError = {}, TID3v2Tag* tagOut = nullptr);
// The ID3v2 text when there is such a tag, else the ID3v1 text.
InfoText ID3AnyInformation(const std::string& path, const ErrorReporter& onError = {}, TID3v1Tag* id3v1Out = nullptr,
                           TID3v2Tag* id3v2Out = nullptr);

// Every information text of one file, as the calls above give them one by one, from a
// single open: the stream analysis and both tags, the ID3v2 frames walked once. A file
// of any name is opened, and why it cannot be is kept; onError hears of a failed open
// once, as the calls above report it (for MP3 names only). The command-line tool prints
// these; the plug-in makes one text a key press.
struct InformationTexts {
    std::optional<InfoText> fileInfo;
    InfoText id3v1;
    InfoText id3v2;
    InfoText id3Any;
    // The LastFileError code of an open that failed; nothing when the file was opened.
    std::optional<int> openError;
};
InformationTexts AllInformation(const std::string& path, int64_t playerLengthSeconds, const ErrorReporter& onError = {});

}  // namespace vemo
