#include "audio/info_text.h"

#include "audio/audio_texts.h"
#include "text/file_access.h"
#include "text/text.h"

namespace vemo {

namespace {

// What one read of the information texts fetches: the text frames of a tag and a frame
// header with its Xing header fit in it; larger chunks only copy more (measured: 4 KiB
// reads a library 8 % faster than 8 KiB, 16 KiB 15 % slower).
constexpr size_t kInformationChunk = 4 * 1024;

constexpr int64_t kHundredthsPerSecond = 100;
constexpr int64_t kHundredthsPerMinute = 6000;
constexpr int64_t kHundredthsPerHour = 360000;

// Appends the parts of one line, led by "\r"; built in place, as the information
// texts are made for whole libraries at a time by the command-line tool.
template <typename... Parts>
void AppendLine(std::string& body, const Parts&... parts) {
    body += '\r';
    (body += ... += parts);
}

// "250.77 sec.  (00:04:10.77)"
void AppendLength(std::string& text, int64_t d) {
    text += NumToStr(false, d / kHundredthsPerSecond);
    text += '.';
    text += NumToStr(true, d % kHundredthsPerSecond);
    text += texts::kSeconds;
    text += NumToStr(true, d / kHundredthsPerHour);
    text += ':';
    text += NumToStr(true, d % kHundredthsPerHour / kHundredthsPerMinute);
    text += ':';
    text += NumToStr(true, d % kHundredthsPerMinute / kHundredthsPerSecond);
    text += '.';
    text += NumToStr(true, d % kHundredthsPerSecond);
    text += ')';
}

void AppendStreamLines(std::string& body, const TMPEG& mpeg) {
    bool hasBitrate = mpeg.Bitrate != 0;
    AppendLine(body, texts::kHeaderFoundAt, mpeg.HeaderPos, texts::kBytes);
    AppendLine(body, texts::kLength);
    if (hasBitrate) AppendLength(body, mpeg.Duration);
    else body += texts::kUndefined;
    AppendLine(body, texts::kMPEG, mpeg.Version, texts::kLayer, mpeg.Layer);
    AppendLine(body, texts::kBitrate);
    if (hasBitrate) {
        body += NumToStr(false, RoundHalfEven(mpeg.Bitrate));
        body += texts::kKbps;
    } else {
        body += texts::kUndefined;
    }
    if (mpeg.IsVBR) body += texts::kVBR;
    body += ", ";
    body += mpeg.Frames != 0 ? NumToStr(false, mpeg.Frames) : texts::kUndefinedNumberOf;
    body += texts::kFrames;
    if (mpeg.SampleRate != 0) AppendLine(body, texts::kSampleRate, NumToStr(false, mpeg.SampleRate), texts::kHz);
    AppendLine(body, texts::kChannels, mpeg.Mode);
    AppendLine(body, texts::kCRCs, mpeg.CRC);
    AppendLine(body, texts::kCopyrighted, mpeg.Copyright);
    AppendLine(body, texts::kOriginal, mpeg.Original);
    AppendLine(body, texts::kEmphasis, mpeg.Emphasis);
}

InfoText NotMP3() {
    InfoText info;
    info.notMP3 = true;
    info.body = texts::kNotMP3;
    return info;
}

// What a tag action shows when it finds no tag: no caption, no leading line break.
InfoText NoTag(InfoKind kind, const char* text) { return InfoText{kind, false, "", text}; }

// The text of the file's ID3v1 tag; nothing when there is none or the file cannot be
// opened, about which the ID3v1 test and read are both quiet.
std::optional<InfoText> ID3v1Text(const std::string& path, TID3v1Tag* tagOut) {
    if (!HasTag(path, kTagID3v1)) return std::nullopt;
    std::optional<TID3v1Tag> tag = ReadID3v1(path);
    if (!tag) return std::nullopt;
    InfoText info = TagInfoText(*tag);
    if (tagOut) *tagOut = std::move(*tag);
    return info;
}

// The text of the file's ID3v2 tag; nothing when there is none or the file cannot be
// opened. A file lost between the tag test and the read is reported as the test would
// have reported it.
std::optional<InfoText> ID3v2Text(const std::string& path, const ErrorReporter& onError, TID3v2Tag* tagOut) {
    if (!HasTag(path, kTagID3v2, onError)) return std::nullopt;
    std::optional<TID3v2Tag> tag = ReadID3v2(path);
    if (!tag) {
        if (onError) onError(texts::kCannotOpen);
        return std::nullopt;
    }
    InfoText info = TagInfoText(*tag);
    if (tagOut) *tagOut = std::move(*tag);
    return info;
}

}  // namespace

std::string FileInfoBody(std::string_view path, int64_t fileSize, const TMPEG* mpeg, int64_t playerLengthSeconds) {
    size_t separator = path.rfind(PathSeparator());
    std::string_view folder = separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
    std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);

    std::string body;
    body.reserve(512);  // the whole text of a file with its stream lines
    AppendLine(body, texts::kPath, folder);
    AppendLine(body, texts::kFilename, name);
    AppendLine(body, texts::kSize, NumToStr(false, fileSize), texts::kBytes);
    if (mpeg) {
        AppendStreamLines(body, *mpeg);
    } else {
        AppendLine(body, texts::kLength, NumToStr(false, playerLengthSeconds), texts::kPlayerSeconds);
    }
    return body;
}

InfoText FileInfoText(std::string_view path, int64_t fileSize, const TMPEG* mpeg, int64_t playerLengthSeconds) {
    return InfoText{InfoKind::FileInfo, false, texts::kFileInfoCaption,
                    FileInfoBody(path, fileSize, mpeg, playerLengthSeconds)};
}

std::optional<InfoText> FileInformation(const std::string& path, int64_t playerLengthSeconds,
                                        const ErrorReporter& onError, TMPEG* mpegOut) {
    std::optional<int64_t> size = ListedFileSize(path);
    if (!size) return std::nullopt;
    if (!IsMP3Name(path)) return FileInfoText(path, *size, nullptr, playerLengthSeconds);
    TMPEG mpeg = AnalyzeMPEG(path, onError);
    mpeg.FileSize = *size;  // also when the analysis could not open the file
    InfoText info = FileInfoText(path, *size, &mpeg, playerLengthSeconds);
    if (mpegOut) *mpegOut = std::move(mpeg);
    return info;
}

std::string ID3v1Caption(const TID3v1Tag& tag) { return tag.Track.empty() ? texts::kID3v1Caption : texts::kID3v11Caption; }

std::string ID3v2Caption(const TID3v2Tag& tag) {
    return texts::kID3v2CaptionStart + NumToStr(false, tag.Version[0]) + "." + NumToStr(false, tag.Version[1]) +
           texts::kID3v2CaptionEnd;
}

InfoText TagInfoText(const TID3v1Tag& tag) { return InfoText{InfoKind::ID3v1, false, ID3v1Caption(tag), FormatID3v1(tag)}; }

InfoText TagInfoText(const TID3v2Tag& tag) { return InfoText{InfoKind::ID3v2, false, ID3v2Caption(tag), FormatID3v2(tag)}; }

InfoText ID3v1Information(const std::string& path, const ErrorReporter& /*onError*/, TID3v1Tag* tagOut) {
    // The ID3v1 test reports no failed open: the "no tag" text follows instead.
    if (!IsMP3Name(path)) return NotMP3();
    return ID3v1Text(path, tagOut).value_or(NoTag(InfoKind::ID3v1, texts::kNoID3v1));
}

InfoText ID3v2Information(const std::string& path, const ErrorReporter& onError, TID3v2Tag* tagOut) {
    if (!IsMP3Name(path)) return NotMP3();
    return ID3v2Text(path, onError, tagOut).value_or(NoTag(InfoKind::ID3v2, texts::kNoID3v2));
}

InfoText ID3AnyInformation(const std::string& path, const ErrorReporter& onError, TID3v1Tag* id3v1Out,
                           TID3v2Tag* id3v2Out) {
    if (!IsMP3Name(path)) return NotMP3();
    if (std::optional<InfoText> info = ID3v2Text(path, onError, id3v2Out)) return *info;
    return ID3v1Text(path, id3v1Out).value_or(NoTag(InfoKind::None, texts::kNoID3Any));
}

InformationTexts AllInformation(const std::string& path, int64_t playerLengthSeconds, const ErrorReporter& onError) {
    InformationTexts all;
    const bool mp3 = IsMP3Name(path);
    if (mp3) {
        all.id3v1 = NoTag(InfoKind::ID3v1, texts::kNoID3v1);
        all.id3v2 = NoTag(InfoKind::ID3v2, texts::kNoID3v2);
        all.id3Any = NoTag(InfoKind::None, texts::kNoID3Any);
    } else {
        all.id3v1 = all.id3v2 = all.id3Any = NotMP3();
    }
    // Any name is opened, so that the caller learns whether the file can be read; the
    // size comes with the open.
    int64_t size = -1;
    File file = File::OpenRead(path, Share::Read, &size);
    if (!file) {
        all.openError = LastFileError();
        // Path, name and size as the directory entry gives them, for an MP3 name the lines
        // of an empty analysis; a folder or a missing file has no information at all.
        if (std::optional<int64_t> listed = ListedFileSize(path)) {
            if (!mp3) {
                all.fileInfo = FileInfoText(path, *listed, nullptr, playerLengthSeconds);
                return all;
            }
            TMPEG none;
            none.FileSize = *listed;
            all.fileInfo = FileInfoText(path, *listed, &none, playerLengthSeconds);
            if (onError) onError(texts::kCannotOpen);
        }
        return all;
    }
    if (!mp3) {
        all.fileInfo = FileInfoText(path, size > 0 ? size : 0, nullptr, playerLengthSeconds);
        return all;
    }
    ByteReader reader(file, size, kInformationChunk);
    int64_t audioStart = 0;
    if (HasTag(reader, kTagID3v2)) all.id3v2 = all.id3Any = TagInfoText(ReadID3v2(reader, audioStart));
    TMPEG mpeg = AnalyzeMPEG(reader, audioStart);
    all.fileInfo = FileInfoText(path, mpeg.FileSize, &mpeg, playerLengthSeconds);
    if (HasTag(reader, kTagID3v1)) {
        all.id3v1 = TagInfoText(ReadID3v1(reader));
        if (all.id3Any.kind == InfoKind::None) all.id3Any = all.id3v1;
    }
    return all;
}

}  // namespace vemo
