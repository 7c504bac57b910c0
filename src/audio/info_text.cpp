#include "audio/info_text.h"

#include "audio/audio_texts.h"
#include "text/file_access.h"
#include "text/text.h"

namespace vemo {

namespace {

constexpr int64_t kHundredthsPerSecond = 100;
constexpr int64_t kHundredthsPerMinute = 6000;
constexpr int64_t kHundredthsPerHour = 360000;

// "250.77 sec.  (00:04:10.77)"
std::string LengthText(int64_t d) {
    std::string text = NumToStr(false, d / kHundredthsPerSecond) + "." + NumToStr(true, d % kHundredthsPerSecond);
    text += texts::kSeconds;
    text += NumToStr(true, d / kHundredthsPerHour) + ":" + NumToStr(true, d % kHundredthsPerHour / kHundredthsPerMinute) +
            ":" + NumToStr(true, d % kHundredthsPerMinute / kHundredthsPerSecond) + "." +
            NumToStr(true, d % kHundredthsPerSecond) + ")";
    return text;
}

void AppendStreamLines(std::string& body, const TMPEG& mpeg) {
    bool hasBitrate = mpeg.Bitrate != 0;
    body += std::string("\r") + texts::kHeaderFoundAt + mpeg.HeaderPos + texts::kBytes;
    body += std::string("\r") + texts::kLength + (hasBitrate ? LengthText(mpeg.Duration) : texts::kUndefined);
    body += std::string("\r") + texts::kMPEG + mpeg.Version + texts::kLayer + mpeg.Layer;
    body += std::string("\r") + texts::kBitrate;
    body += hasBitrate ? NumToStr(false, RoundHalfEven(mpeg.Bitrate)) + texts::kKbps : texts::kUndefined;
    if (mpeg.IsVBR) body += texts::kVBR;
    body += ", ";
    body += mpeg.Frames != 0 ? NumToStr(false, mpeg.Frames) : texts::kUndefinedNumberOf;
    body += texts::kFrames;
    if (mpeg.SampleRate != 0) body += std::string("\r") + texts::kSampleRate + NumToStr(false, mpeg.SampleRate) + texts::kHz;
    body += std::string("\r") + texts::kChannels + mpeg.Mode;
    body += std::string("\r") + texts::kCRCs + mpeg.CRC;
    body += std::string("\r") + texts::kCopyrighted + mpeg.Copyright;
    body += std::string("\r") + texts::kOriginal + mpeg.Original;
    body += std::string("\r") + texts::kEmphasis + mpeg.Emphasis;
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
    InfoText info{InfoKind::ID3v1, false, ID3v1Caption(*tag), FormatID3v1(*tag)};
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
    InfoText info{InfoKind::ID3v2, false, ID3v2Caption(*tag), FormatID3v2(*tag)};
    if (tagOut) *tagOut = std::move(*tag);
    return info;
}

}  // namespace

std::string FileInfoBody(std::string_view path, int64_t fileSize, const TMPEG* mpeg, int64_t playerLengthSeconds) {
    size_t separator = path.rfind(PathSeparator());
    std::string_view folder = separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
    std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);

    std::string body = std::string("\r") + texts::kPath;
    body += folder;
    body += std::string("\r") + texts::kFilename;
    body += name;
    body += std::string("\r") + texts::kSize + NumToStr(false, fileSize) + texts::kBytes;
    if (mpeg) {
        AppendStreamLines(body, *mpeg);
    } else {
        body += std::string("\r") + texts::kLength + NumToStr(false, playerLengthSeconds) + texts::kPlayerSeconds;
    }
    return body;
}

std::optional<InfoText> FileInformation(const std::string& path, int64_t playerLengthSeconds,
                                        const ErrorReporter& onError, TMPEG* mpegOut) {
    std::optional<int64_t> size = ListedFileSize(path);
    if (!size) return std::nullopt;
    InfoText info;
    info.kind = InfoKind::FileInfo;
    info.caption = texts::kFileInfoCaption;
    if (IsMP3Name(path)) {
        TMPEG mpeg = AnalyzeMPEG(path, onError);
        mpeg.FileSize = *size;  // also when the analysis could not open the file
        info.body = FileInfoBody(path, *size, &mpeg, playerLengthSeconds);
        if (mpegOut) *mpegOut = std::move(mpeg);
    } else {
        info.body = FileInfoBody(path, *size, nullptr, playerLengthSeconds);
    }
    return info;
}

std::string ID3v1Caption(const TID3v1Tag& tag) { return tag.Track.empty() ? texts::kID3v1Caption : texts::kID3v11Caption; }

std::string ID3v2Caption(const TID3v2Tag& tag) {
    return texts::kID3v2CaptionStart + NumToStr(false, tag.Version[0]) + "." + NumToStr(false, tag.Version[1]) +
           texts::kID3v2CaptionEnd;
}

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

}  // namespace vemo
